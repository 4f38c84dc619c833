#include "platform/window_placement.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int minimumVisibleWidth = 100; // enough to see where it is and drag it

std::optional<bool>& knownOverride() {
    static std::optional<bool> known;
    return known;
}

// How far apart two rectangles are (0 when they meet).
qint64 distance(const QRect& a, const QRect& b) {
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

qint64 area(const QRect& r) {
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

} // namespace

QPoint visibleWindowPosition(QPoint stored, QSize frame, int handleHeight,
                             const QList<QRect>& screens) {
    if (screens.isEmpty())
        return stored;
    // The strip counts where a screen holds its whole height; the parts on screens side
    // by side add up.
    const QRect handle(stored, QSize(frame.width(), std::max(1, handleHeight)));
    int seen = 0;
    for (const QRect& s : screens)
        if (s.top() <= handle.top() && handle.bottom() <= s.bottom())
            seen += (s & handle).width();
    if (seen >= std::min(handle.width(), minimumVisibleWidth))
        return stored;

    const QRect window(stored, frame);
    const QRect* nearest = &screens.first();
    for (const QRect& s : screens) {
        const qint64 d = distance(window, s), best = distance(window, *nearest);
        if (d < best || (d == best && area(window & s) > area(window & *nearest)))
            nearest = &s;
    }
    const QRect& s = *nearest;
    return QPoint(std::max(s.left(), std::min(stored.x(), s.right() + 1 - frame.width())),
                  std::max(s.top(), std::min(stored.y(), s.bottom() + 1 - frame.height())));
}

void placeWindowFrame(QWidget* window, QPoint framePosition) {
    window->move(framePosition);
    // Under X11 a position from move() asks the window manager to put the client area
    // there (static gravity), below a title bar that then reads back higher. Only the
    // frame position asks for the frame's corner (north-west gravity), and a change of
    // the window's geometry before it is shown takes that back: the size is settled
    // first, then the native window made and its frame position set.
    window->ensurePolished();
    if (QLayout* layout = window->layout())
        layout->activate();
    window->winId();
    if (QWindow* handle = window->windowHandle())
        handle->setFramePosition(framePosition);
}

QList<QRect> screenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

bool windowPositionsKnown() {
    if (knownOverride())
        return *knownOverride();
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void setWindowPositionsKnown(std::optional<bool> known) {
    knownOverride() = known;
}
