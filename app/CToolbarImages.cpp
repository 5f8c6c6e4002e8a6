#include "CToolbarImages.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>
#include <QToolBar>

#include <algorithm>
#include <vector>

void CToolbarImages::Apply(QToolBar* bar, std::initializer_list<const char*> themeNames, const char* strip) {
    std::vector<QAction*> buttons;
    for (QAction* action : bar->actions())
        if (!action->isSeparator())
            buttons.push_back(action);
    const bool themed = themeNames.size() >= buttons.size() &&
                        std::all_of(themeNames.begin(), themeNames.end(), [](const char* name) {
                            return QIcon::hasThemeIcon(QString::fromLatin1(name));
                        });
    const QPixmap images(QString::fromLatin1(strip));
    bar->setIconSize(QSize(kWidth, kHeight));
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (themed) {
            buttons[i]->setIcon(QIcon::fromTheme(QString::fromLatin1(themeNames.begin()[i])));
        } else if (static_cast<int>(i + 1) * kWidth <= images.width()) {
            buttons[i]->setIcon(QIcon(images.copy(static_cast<int>(i) * kWidth, 0, kWidth, kHeight)));
        }
    }
}
