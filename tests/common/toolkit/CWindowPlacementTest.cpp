#include "toolkit/CWindowPlacement.h"

#include <gtest/gtest.h>

namespace {
// Two screens side by side: 1280 x 1024 on the left, 1920 x 1080 on its right.
const QList<QRect> kScreens = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};

struct OnScreenCase {
    const char* what;
    QRect stored;
    QRect expected;
};

TEST(CWindowPlacement, StoredPlacementsStayWhereTheyCanBeReachedAndComeBackOtherwise) {
    const OnScreenCase cases[] = {
        {"wholly on the first screen", {100, 80, 600, 500}, {100, 80, 600, 500}},
        {"across both screens", {1000, 100, 600, 500}, {1000, 100, 600, 500}},
        {"mostly off the right edge, its top still reachable", {3100, 200, 600, 500}, {3100, 200, 600, 500}},
        {"far beyond every screen", {5000, 5000, 600, 500}, {2600, 580, 600, 500}},
        {"above the screens, title bar out of reach", {200, -400, 600, 500}, {200, 0, 600, 500}},
        {"left of the screens", {-900, 300, 600, 500}, {0, 300, 600, 500}},
        {"larger than the screen it comes back to", {-3000, 10, 1500, 1200}, {0, 0, 1280, 1024}},
    };
    for (const OnScreenCase& c : cases)
        EXPECT_EQ(c.expected, CWindowPlacement::OnScreen(c.stored, kScreens)) << c.what;
    // Without screens nothing is known, and nothing is changed.
    EXPECT_EQ(QRect(5000, 5000, 10, 10), CWindowPlacement::OnScreen(QRect(5000, 5000, 10, 10), {}));
}

TEST(CWindowPlacement, CentredOnTheOwnerWithinTheScreen) {
    // Centred on a window in the middle of the first screen.
    EXPECT_EQ(QRect(340, 262, 400, 300),
              CWindowPlacement::Centred(QSize(400, 300), QRect(240, 162, 600, 500), kScreens));
    // An owner at the screen's corner: the dialog stays wholly on that screen.
    EXPECT_EQ(QRect(0, 0, 400, 300),
              CWindowPlacement::Centred(QSize(400, 300), QRect(-100, -50, 300, 200), kScreens));
    // No owner: the middle of the first screen.
    EXPECT_EQ(QRect(440, 362, 400, 300), CWindowPlacement::Centred(QSize(400, 300), QRect(), kScreens));
}
} // namespace
