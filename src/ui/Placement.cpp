#include "ui/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace ui {

namespace {

// Squared distance between two rectangles; 0 when they touch or overlap.
qint64 distance2(const QRect& a, const QRect& b)
{
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

qint64 area(const QRect& r) { return r.isEmpty() ? 0 : qint64(r.width()) * r.height(); }

// Moves [start, start + length) just far enough to lie within [low, low + room), keeping start
// at low when it cannot fit.
int clampSpan(int start, int length, int low, int room)
{
    return std::max(low, std::min(start, low + room - length));
}

// Places its window once, on the first show event, which comes after the window's native twin
// and its final size exist and before it is mapped. A separate object, so that a window's own
// showEvent or eventFilter cannot skip it.
class FirstShowPlacer final : public QObject {
public:
    FirstShowPlacer(QWidget* window, QPoint place, Reach reach)
        : QObject(window)
        , m_place(place)
        , m_reach(reach)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            auto* window = static_cast<QWidget*>(watched);
            QPoint place = m_place;
            if (m_reach == Reach::OntoScreen) {
                const QRect frame(place, window->size().grownBy(kAssumedFrame));
                place = reachablePlace(frame, kAssumedFrame.top(), availableAreas());
            }
            placeFrame(window, place);
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QPoint m_place;
    Reach m_reach;
};

} // namespace

QPoint reachablePlace(const QRect& frame, int titleBarHeight, const QList<QRect>& available)
{
    if (available.isEmpty())
        return frame.topLeft();
    QRegion screens;
    for (const QRect& area : available)
        screens += area;
    const QRect titleBar(frame.topLeft(), QSize(frame.width(), std::max(1, titleBarHeight)));
    if (QRegion(titleBar).subtracted(screens).isEmpty())
        return frame.topLeft();

    const QRect* nearest = &available.front();
    qint64 bestOverlap = -1;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const QRect& area : available) {
        const qint64 overlap = ui::area(area.intersected(frame));
        const qint64 away = distance2(area, frame);
        if (overlap > bestOverlap || (overlap == bestOverlap && away < bestDistance)) {
            nearest = &area;
            bestOverlap = overlap;
            bestDistance = away;
        }
    }
    return {clampSpan(frame.left(), frame.width(), nearest->left(), nearest->width()),
            clampSpan(frame.top(), frame.height(), nearest->top(), nearest->height())};
}

QList<QRect> availableAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

void placeFrame(QWidget* window, QPoint topLeft)
{
    window->move(topLeft);
    // Once the window exists, its native twin takes the position as the frame's. Qt keeps that
    // meaning until something sets the geometry again, as showing does when the twin's size
    // differs from the window's: so the size is brought in line first.
    if (QWindow* handle = window->windowHandle()) {
        handle->resize(window->size());
        handle->setFramePosition(topLeft);
    }
}

void placeOnFirstShow(QWidget* window, QPoint place, Reach reach)
{
    window->move(place);
    new FirstShowPlacer(window, place, reach);
}

} // namespace ui
