#include "screen/raster.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>
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
    const int n = clipped.width();
    // Reused between calls: the gauge is stretched at every tick.
    static thread_local std::vector<int> xmap;
    static thread_local std::vector<quint32> row;
    xmap.resize(size_t(n));
    row.resize(size_t(n));
    bool allInside = true;
    for (int i = 0; i < n; ++i) {
        const int x = clipped.left() + i;
        const int sx = sr.left() + int((2 * (x - dr.left()) + 1) * sw / (2 * dw));
        xmap[size_t(i)] = sx;
        allInside = allInside && sx >= 0 && sx < src.width();
    }
    int lastSourceRow = -1;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const int sy = sr.top() + int((2 * (y - dr.top()) + 1) * sh / (2 * dh));
        if (sy < 0 || sy >= src.height())
            continue;
        auto* d = reinterpret_cast<quint32*>(dst.scanLine(y)) + clipped.left();
        if (!allInside) {
            // Some source columns lie outside the picture: copy pixel by pixel.
            const auto* s = reinterpret_cast<const quint32*>(src.constScanLine(sy));
            for (int i = 0; i < n; ++i) {
                const int sx = xmap[size_t(i)];
                if (sx >= 0 && sx < src.width())
                    combine(d + i, s + sx, 1, mode);
            }
            continue;
        }
        if (sy != lastSourceRow) { // rows repeat when stretching vertically
            const auto* s = reinterpret_cast<const quint32*>(src.constScanLine(sy));
            for (int i = 0; i < n; ++i)
                row[size_t(i)] = s[xmap[size_t(i)]];
            lastSourceRow = sy;
        }
        combine(d, row.data(), n, mode);
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
    void* pixels = std::calloc(size_t(width) * size_t(height), 4);
    if (!pixels)
        throw std::bad_alloc();
    return QImage(static_cast<uchar*>(pixels), width, height, width * 4, QImage::Format_RGB32,
                  std::free, pixels);
}
