#include "toolkit/ControlId.h"

#include <QVariant>
#include <QWidget>

namespace {
const char* const kProperty = "varnelControlId";
}

void SetControlId(QWidget* widget, int id) {
    if (widget)
        widget->setProperty(kProperty, id);
}

int ControlId(const QWidget* widget) {
    if (!widget)
        return -1;
    bool ok = false;
    int id = widget->property(kProperty).toInt(&ok);
    return ok ? id : -1;
}

QWidget* FindControl(const QWidget* parent, int id) {
    if (!parent || id == -1)
        return nullptr;
    for (QWidget* child : parent->findChildren<QWidget*>()) {
        if (ControlId(child) == id)
            return child;
    }
    return nullptr;
}
