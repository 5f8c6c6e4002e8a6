// Where a window opens: centred on the window it belongs to, and never outside every screen, so
// a placement stored on a larger or another screen cannot hide the window.
#pragma once

#include <QList>
#include <QRect>

class CWindowPlacement {
public:
    // `rect` as it is while its top edge can be grabbed on one of `screens`; otherwise moved, and
    // shrunk where it is larger, onto the screen nearest to it.
    static QRect OnScreen(const QRect& rect, const QList<QRect>& screens);
    // A window of `size` centred on `owner` (on the first screen when `owner` is empty), kept
    // wholly on the screen it lands on.
    static QRect Centred(const QSize& size, const QRect& owner, const QList<QRect>& screens);
    // The available areas of the desktop's screens.
    static QList<QRect> Screens();
};
