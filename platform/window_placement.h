#pragma once
// Where a window opens: at the position it was left, as long as its title bar and menu
// bar can be seen there, else inside the nearest screen. A stored position may lie off
// every screen: a monitor unplugged since, a hand-edited file.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

// A window of the given frame size whose top `handleHeight` pixels (title bar and menu
// bar) must be seen: `stored` itself when at least 100 pixels of that strip (or all of
// it, when narrower), over its whole height, lie on the screens; else the position that
// puts the window inside the screen nearest to it (its top left corner on the screen
// when it is larger). With no screens, `stored`.
QPoint visibleWindowPosition(QPoint stored, QSize frame, int handleHeight,
                             const QList<QRect>& screens);

// Moves a top-level window that is not shown yet so that its frame's top left corner
// lies at `framePosition`, where pos() then reads it back, also once a window manager
// has put a frame around it. move() alone places the client area there under X11.
void placeWindowFrame(QWidget* window, QPoint framePosition);

// The screens' areas for windows (panels and docks left out).
QList<QRect> screenAreas();

// Whether the platform tells a program where its windows are. Wayland does not: a
// window's position there is made up, and the compositor places the window itself.
bool windowPositionsKnown();
// Makes windowPositionsKnown() answer as given (tests); nullopt returns to the platform.
void setWindowPositionsKnown(std::optional<bool> known);
