#include "screen/sharp_scale.h"

#include <algorithm>
#include <cmath>

namespace {

QImage::Format workingFormat(const QImage& picture) {
    return picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

} // namespace

bool isWholeFactor(qreal factor) {
    return std::abs(factor - std::round(factor)) < 1e-3;
}

QImage sharpScaled(const QImage& picture, qreal factor) {
    const QImage source = picture.convertToFormat(workingFormat(picture));
    const QSize size(qRound(source.width() * factor), qRound(source.height() * factor));
    if (isWholeFactor(factor) || factor < 0.5) {
        QImage scaled =
            source.scaled(size, Qt::IgnoreAspectRatio,
                          factor < 1 ? Qt::SmoothTransformation : Qt::FastTransformation);
        scaled.setDevicePixelRatio(factor);
        return scaled;
    }
    SharpScaler scaler;
    scaler.reset(source, factor);
    return scaler.scaled();
}

// Device pixel d covers the source interval [d / f, (d + 1) / f); each source pixel it
// meets weighs by the share of that interval it covers.
SharpScaler::Axis SharpScaler::axis(int sourceSize, int deviceSize) {
    Axis a;
    const double step = double(sourceSize) / deviceSize;
    for (int d = 0; d < deviceSize; ++d) {
        const double lo = d * step, hi = (d + 1) * step;
        const int first = std::clamp(int(std::floor(lo)), 0, sourceSize - 1);
        const int last = std::clamp(int(std::ceil(hi)) - 1, first, sourceSize - 1);
        std::array<int, 4> w{};
        int count = 0, sum = 0, biggest = 0;
        for (int i = first; i <= last && count < 4; ++i) {
            const double overlap = std::min<double>(i + 1, hi) - std::max<double>(i, lo);
            w[size_t(count)] = int(std::lround(256.0 * overlap / step));
            sum += w[size_t(count)];
            if (w[size_t(count)] > w[size_t(biggest)])
                biggest = count;
            ++count;
        }
        w[size_t(biggest)] += 256 - sum; // rounding: the weights sum to exactly 256
        // A pixel met only at the edge of the interval weighs nothing: drop it.
        int skip = 0;
        while (skip < count - 1 && w[size_t(skip)] == 0)
            ++skip;
        std::rotate(w.begin(), w.begin() + skip, w.end());
        count -= skip;
        while (count > 1 && w[size_t(count - 1)] == 0)
            --count;
        a.first.push_back(first + skip);
        a.count.push_back(count);
        a.weights.push_back(w);
    }
    return a;
}

void SharpScaler::reset(const QImage& picture, qreal factor) {
    factor_ = factor;
    sourceSize_ = picture.size();
    const QSize size(qRound(picture.width() * factor), qRound(picture.height() * factor));
    scaled_ = QImage(size, workingFormat(picture));
    scaled_.setDevicePixelRatio(factor);
    columns_ = axis(picture.width(), size.width());
    rows_ = axis(picture.height(), size.height());
    auto twoAtMost = [](const Axis& a) {
        return std::all_of(a.count.begin(), a.count.end(), [](int n) { return n <= 2; });
    };
    enlarged_ = twoAtMost(columns_) && twoAtMost(rows_);
    update(picture, picture.rect());
}

// The device pixels lo..hi (of one axis) whose source pixels meet from..to.
void SharpScaler::range(const Axis& a, int lo, int hi, int& from, int& to) {
    const int n = int(a.first.size());
    from = 0;
    while (from < n && a.first[size_t(from)] + a.count[size_t(from)] - 1 < lo)
        ++from;
    to = from;
    while (to < n && a.first[size_t(to)] <= hi)
        ++to;
    --to;
}

QRect SharpScaler::deviceRect(const QRect& sourceRect) const {
    const QRect r = sourceRect.intersected(QRect(QPoint(0, 0), sourceSize_));
    if (r.isEmpty())
        return QRect();
    int x0, x1, y0, y1;
    range(columns_, r.left(), r.right(), x0, x1);
    range(rows_, r.top(), r.bottom(), y0, y1);
    return QRect(QPoint(x0, y0), QPoint(x1, y1));
}

namespace {

// a * wa + b * wb for weights summing to 256, all four channels at once (two per
// 16-bit lane), rounded.
inline quint32 mix256(quint32 a, quint32 wa, quint32 b, quint32 wb) {
    const quint32 rb =
        (((a & 0x00ff00ffu) * wa + (b & 0x00ff00ffu) * wb + 0x00800080u) >> 8) & 0x00ff00ffu;
    const quint32 ag =
        (((a >> 8) & 0x00ff00ffu) * wa + ((b >> 8) & 0x00ff00ffu) * wb + 0x00800080u) & 0xff00ff00u;
    return rb | ag;
}

} // namespace

// Enlarging, a device pixel meets at most two pixels along each axis: the rows are
// scaled along x first (each source row once, kept while the next device rows need it),
// then mixed along y.
void SharpScaler::updateEnlarged(const QImage& source, const QRect& d) {
    const int width = d.width();
    std::vector<quint32> rows[2] = {std::vector<quint32>(size_t(width)),
                                    std::vector<quint32>(size_t(width))};
    int rowOf[2] = {-1, -1};
    auto scaledRow = [&](int sourceRow) -> const quint32* {
        for (int k = 0; k < 2; ++k)
            if (rowOf[k] == sourceRow)
                return rows[k].data();
        const int k = rowOf[0] < rowOf[1] ? 0 : 1; // the older one
        rowOf[k] = sourceRow;
        const auto* in = reinterpret_cast<const quint32*>(source.constScanLine(sourceRow));
        quint32* out = rows[k].data();
        for (int x = d.left(); x <= d.right(); ++x) {
            const size_t i = size_t(x);
            const quint32* p = in + columns_.first[i];
            out[x - d.left()] = columns_.count[i] == 1
                                    ? p[0]
                                    : mix256(p[0], quint32(columns_.weights[i][0]), p[1],
                                             quint32(columns_.weights[i][1]));
        }
        return out;
    };
    for (int y = d.top(); y <= d.bottom(); ++y) {
        const size_t j = size_t(y);
        auto* out = reinterpret_cast<quint32*>(scaled_.scanLine(y)) + d.left();
        const quint32* upper = scaledRow(rows_.first[j]);
        if (rows_.count[j] == 1) {
            std::copy(upper, upper + width, out);
            continue;
        }
        const quint32* lower = scaledRow(rows_.first[j] + 1);
        const quint32 wu = quint32(rows_.weights[j][0]), wl = quint32(rows_.weights[j][1]);
        for (int x = 0; x < width; ++x)
            out[x] = mix256(upper[x], wu, lower[x], wl);
    }
}

void SharpScaler::update(const QImage& picture, const QRect& sourceRect) {
    const QRect d = deviceRect(sourceRect);
    if (d.isEmpty() || picture.size() != sourceSize_)
        return;
    const QImage source =
        picture.format() == scaled_.format() ? picture : picture.convertToFormat(scaled_.format());
    if (enlarged_) {
        updateEnlarged(source, d);
        return;
    }
    for (int y = d.top(); y <= d.bottom(); ++y) {
        const int rowFirst = rows_.first[size_t(y)], rowCount = rows_.count[size_t(y)];
        const auto& rowWeights = rows_.weights[size_t(y)];
        auto* out = reinterpret_cast<QRgb*>(scaled_.scanLine(y));
        for (int x = d.left(); x <= d.right(); ++x) {
            const int colFirst = columns_.first[size_t(x)], colCount = columns_.count[size_t(x)];
            if (rowCount == 1 && colCount == 1) { // inside one pixel: its colour
                out[x] = reinterpret_cast<const QRgb*>(source.constScanLine(rowFirst))[colFirst];
                continue;
            }
            const auto& colWeights = columns_.weights[size_t(x)];
            std::uint32_t a = 0, r = 0, g = 0, b = 0;
            for (int j = 0; j < rowCount; ++j) {
                const auto* line =
                    reinterpret_cast<const QRgb*>(source.constScanLine(rowFirst + j)) + colFirst;
                for (int i = 0; i < colCount; ++i) {
                    const std::uint32_t w =
                        std::uint32_t(rowWeights[size_t(j)] * colWeights[size_t(i)]);
                    const QRgb p = line[i];
                    a += w * qAlpha(p);
                    r += w * qRed(p);
                    g += w * qGreen(p);
                    b += w * qBlue(p);
                }
            }
            out[x] = qRgba(int((r + 32768) >> 16), int((g + 32768) >> 16), int((b + 32768) >> 16),
                           int((a + 32768) >> 16));
        }
    }
}
