// The helpers of _Settings that bind dialog controls to settings; they live with the widgets.
#include "services/_Settings.h"

#include "toolkit/CDataExchange.h"
#include "toolkit/ControlId.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

#include <optional>

namespace {
// The text a control shows, or nullopt for a control that holds no text.
std::optional<QString> ControlText(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText();
    if (auto* t = qobject_cast<QTextEdit*>(w))
        return t->toPlainText();
    if (auto* s = qobject_cast<QSpinBox*>(w))
        return QString::number(s->value());
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    return std::nullopt;
}

void SetControlText(QWidget* w, const QString& text) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->isEditable()) {
            c->setEditText(text);
        } else {
            int i = c->findText(text);
            if (i >= 0)
                c->setCurrentIndex(i);
        }
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        p->setPlainText(text);
    } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
        t->setPlainText(text);
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
        s->setValue(CSysReg::LeadingInt(text.toStdString()));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(text);
    }
}
} // namespace

void _Settings::sDDX_Check(CDataExchange* dx, int control, const char* name) {
    auto* button = dx ? qobject_cast<QAbstractButton*>(FindControl(dx->m_Dialog, control)) : nullptr;
    if (!button) {
        Failure("_Settings::sDDX_Check(" + std::to_string(control) + ")", __LINE__);
        return;
    }
    auto* box = qobject_cast<QCheckBox*>(button);
    if (dx->m_SaveAndValidate) {
        int state = button->isChecked() ? 1 : 0;
        if (box && box->checkState() == Qt::PartiallyChecked)
            state = 2;
        setInt(name, state);
    } else {
        int state = getInt(name);
        if (box && state == 2) {
            box->setTristate(true);
            box->setCheckState(Qt::PartiallyChecked);
        } else {
            button->setChecked(state == 1);
        }
    }
}

void _Settings::sDDX_Text(CDataExchange* dx, int control, const char* name) {
    QWidget* w = dx ? FindControl(dx->m_Dialog, control) : nullptr;
    if (!w || !ControlText(w)) {
        Failure("_Settings::sDDX_Text(" + std::to_string(control) + ")", __LINE__);
        return;
    }
    if (dx->m_SaveAndValidate) {
        QString text = *ControlText(w);
        int i = IndexFor(name);
        // An unchanged text keeps its stored bytes, even those that are not valid UTF-8.
        if (i >= 0 && QString::fromUtf8(m_Entries[i].strValue.c_str(),
                                        static_cast<qsizetype>(m_Entries[i].strValue.size())) == text)
            return;
        QByteArray bytes = text.toUtf8();
        setStr(name, CString(bytes.constData(), static_cast<size_t>(bytes.size())));
    } else {
        CString value = getStr(name);
        SetControlText(w, QString::fromUtf8(value.c_str(), static_cast<qsizetype>(value.size())));
    }
}

void _Settings::sDDX_Int(CDataExchange* dx, int control, const char* name) {
    QWidget* w = dx ? FindControl(dx->m_Dialog, control) : nullptr;
    if (!w || !ControlText(w)) {
        Failure("_Settings::sDDX_Int(" + std::to_string(control) + ")", __LINE__);
        return;
    }
    if (dx->m_SaveAndValidate)
        setInt(name, CSysReg::LeadingInt(ControlText(w)->toStdString()));
    else
        SetControlText(w, QString::number(getInt(name)));
}
