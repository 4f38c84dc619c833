#include "screen/raster.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

namespace {

inline void combine(quint32* d, const quint32* s, int n, CopyMode mode) {
    switch (mode) {
    case CopyMode::SrcCopy:
        std::memmove(d, s, size_t(n) * 4);
        break;
    case CopyMode::SrcAnd:
        for (int i = 0; i < n; ++i)
            d[i] &= s[i];
        break;
    case CopyMode::SrcPaint:
        for (int i = 0; i < n; ++i)
            d[i] |= s[i];
        break;
    }
}

// AND and OR read each source pixel once before writing its destination, so within a
// row they are safe for overlap only when the destination lies left of the source or
// the ranges do not meet; rows are copied through a buffer when they overlap.
void copySameSize(QImage& dst, const QRect& dr, const QImage& src, const QRect& sr, CopyMode mode) {
    // Clip against both pictures, keeping the two rectangles aligned.
    int dx = dr.left(), dy = dr.top(), sx = sr.left(), sy = sr.top();
    int w = dr.width(), h = dr.height();
    auto clip = [&](int& d, int& s, int& len, int dLimit, int sLimit) {
        if (d < 0) {
            s -= d;
            len += d;
            d = 0;
        }
        if (s < 0) {
            d -= s;
            len += s;
            s = 0;
        }
        len = std::min({len, dLimit - d, sLimit - s});
    };
    clip(dx, sx, w, dst.width(), src.width());
    clip(dy, sy, h, dst.height(), src.height());
    if (w <= 0 || h <= 0)
        return;

    const bool same = dst.constBits() == src.constBits();
    const qsizetype dstride = dst.bytesPerLine(), sstride = src.bytesPerLine();
    uchar* dbase = dst.bits();
    const uchar* sbase = same ? dbase : src.constBits();
    std::vector<quint32> buffer;
    const bool downward = same && dy > sy;
    for (int i = 0; i < h; ++i) {
        const int row = downward ? h - 1 - i : i;
        auto* d = reinterpret_cast<quint32*>(dbase + (dy + row) * dstride) + dx;
        auto* s = reinterpret_cast<const quint32*>(sbase + (sy + row) * sstride) + sx;
        if (same && mode != CopyMode::SrcCopy && dy == sy && dx > sx && dx < sx + w) {
            buffer.assign(s, s + w);
            s = buffer.data();
        }
        combine(d, s, w, mode);
    }
}

void copyStretched(QImage& dst, const QRect& dr, const QImage& src, const QRect& sr,
                   CopyMode mode) {
    const QRect clipped = dr.intersected(dst.rect());
    if (clipped.isEmpty() || sr.isEmpty())
        return;
    const qint64 sw = sr.width(), sh = sr.height(), dw = dr.width(), dh = dr.height();
    std::vector<int> xmap(size_t(clipped.width()));
    for (int x = clipped.left(); x <= clipped.right(); ++x)
        xmap[size_t(x - clipped.left())] =
            sr.left() + int((2 * (x - dr.left()) + 1) * sw / (2 * dw));
    std::vector<quint32> row(size_t(clipped.width()));
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const int syy = sr.top() + int((2 * (y - dr.top()) + 1) * sh / (2 * dh));
        if (syy < 0 || syy >= src.height())
            continue;
        const auto* s = reinterpret_cast<const quint32*>(src.constScanLine(syy));
        auto* d = reinterpret_cast<quint32*>(dst.scanLine(y)) + clipped.left();
        int n = 0;
        for (int i = 0; i < clipped.width(); ++i) {
            const int sxx = xmap[size_t(i)];
            if (sxx < 0 || sxx >= src.width())
                continue;
            row[size_t(i)] = s[sxx];
            ++n;
        }
        if (n != clipped.width()) {
            // Some source columns lie outside the picture: copy pixel by pixel.
            for (int i = 0; i < clipped.width(); ++i) {
                const int sxx = xmap[size_t(i)];
                if (sxx >= 0 && sxx < src.width())
                    combine(d + i, &row[size_t(i)], 1, mode);
            }
        } else {
            combine(d, row.data(), clipped.width(), mode);
        }
    }
}

} // namespace

void copyRect(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect,
              CopyMode mode) {
    assert(dst.format() == QImage::Format_RGB32 && src.format() == QImage::Format_RGB32);
    if (dstRect.isEmpty() || srcRect.isEmpty())
        return;
    if (dstRect.size() == srcRect.size()) {
        copySameSize(dst, dstRect, src, srcRect, mode);
    } else if (dst.constBits() == src.constBits()) {
        const QImage source = src.copy(srcRect);
        copyStretched(dst, dstRect, source, source.rect(), mode);
    } else {
        copyStretched(dst, dstRect, src, srcRect, mode);
    }
}

QImage newPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(0xFF000000u);
    return image;
}
