// Integer control identifiers on Qt widgets: the key by which dialogs find their controls, anchor
// them, bind them to settings and look up their tips.
#pragma once

class QWidget;

// -1 means "no identifier".
void SetControlId(QWidget* widget, int id);
int ControlId(const QWidget* widget);
// The first descendant of `parent` that carries the identifier, or null.
QWidget* FindControl(const QWidget* parent, int id);
