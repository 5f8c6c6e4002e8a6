#include "toolkit/CWindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <climits>

namespace {
// The part of a window's top edge that must lie on a screen for the user to reach it.
constexpr int kGripWidth = 64;
constexpr int kGripHeight = 24;

long long Distance(const QRect& a, const QRect& b) {
    const long long dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const long long dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

// The screen that holds most of `rect`, or the closest one when none holds any of it.
QRect Nearest(const QRect& rect, const QList<QRect>& screens) {
    QRect best = screens.front();
    long long bestArea = -1, bestDistance = LLONG_MAX;
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(rect);
        const long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        const long long distance = Distance(rect, screen);
        if (area > bestArea || (area == bestArea && distance < bestDistance)) {
            best = screen;
            bestArea = area;
            bestDistance = distance;
        }
    }
    return best;
}

QRect Inside(QRect rect, const QRect& screen) {
    rect.setWidth(std::min(rect.width(), screen.width()));
    rect.setHeight(std::min(rect.height(), screen.height()));
    rect.moveLeft(std::clamp(rect.left(), screen.left(), screen.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), screen.top(), screen.bottom() - rect.height() + 1));
    return rect;
}
} // namespace

QRect CWindowPlacement::OnScreen(const QRect& rect, const QList<QRect>& screens) {
    if (screens.isEmpty() || rect.isEmpty())
        return rect;
    const QRect grip(rect.left(), rect.top(), rect.width(), std::min(rect.height(), kGripHeight));
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(grip);
        if (!common.isEmpty() && common.width() >= std::min(rect.width(), kGripWidth) &&
            common.height() >= grip.height())
            return rect;
    }
    return Inside(rect, Nearest(rect, screens));
}

QRect CWindowPlacement::Centred(const QSize& size, const QRect& owner, const QList<QRect>& screens) {
    const QRect area = !owner.isEmpty() ? owner : (screens.isEmpty() ? QRect() : screens.front());
    QRect rect(QPoint(0, 0), size);
    rect.moveCenter(area.center());
    return screens.isEmpty() ? rect : Inside(rect, Nearest(rect, screens));
}

QList<QRect> CWindowPlacement::Screens() {
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        areas.push_back(primary->availableGeometry());
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas.push_back(screen->availableGeometry());
    return areas;
}
