// Gives a toolbar's buttons their images: the desktop's icon theme when it has one for every
// button, else the program's own strip, so that one toolbar never mixes two styles.
#pragma once

#include <initializer_list>

class QToolBar;

class CToolbarImages {
public:
    // Images of the strip's cells.
    static constexpr int kWidth = 17, kHeight = 15;

    // `themeNames` name the theme icons of the toolbar's buttons in order (separators skipped);
    // `strip` holds the program's images in the same order.
    static void Apply(QToolBar* bar, std::initializer_list<const char*> themeNames, const char* strip);
};
