#pragma once
// Where windows go on the screen. A window's place, as the settings file and the window designs
// give it, is the top-left corner of its frame, title bar included. Qt places the client area
// of a window shown for the first time unless told that the position includes the frame, so
// the windows pass their place through placeOnFirstShow.

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace ui {

// The frame a window manager is assumed to draw before it has said what it draws: 3-pixel
// borders and a 22-pixel title bar.
inline constexpr QMargins kAssumedFrame{3, 25, 3, 3};

// The place for a window whose frame would cover frame, given the available areas of the
// screens: frame's own place when its title bar (the top titleBarHeight rows) lies wholly
// within them; otherwise the place nearest to it that puts the whole window on the screen it
// overlaps most (or, overlapping none, the nearest one), its top-left corner kept on that
// screen when the window is larger than the screen.
QPoint reachablePlace(const QRect& frame, int titleBarHeight, const QList<QRect>& available);

// The available areas of all attached screens.
QList<QRect> availableAreas();

// Puts window's frame at topLeft. Before the window is first mapped the window system is told
// that the position includes the frame, so the title bar lands at topLeft and not above it.
void placeFrame(QWidget* window, QPoint topLeft);

enum class Reach {
    AsGiven,   // the place is used as it is
    OntoScreen // a place that leaves the title bar out of reach is moved onto a screen
};

// Moves window to place now and, when it is first shown, puts its frame there (by reach, once
// its size is known).
void placeOnFirstShow(QWidget* window, QPoint place, Reach reach);

} // namespace ui
