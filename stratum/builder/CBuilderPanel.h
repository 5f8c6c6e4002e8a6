// The builder with what goes around it on its page: the statement built so far, read-only, under it,
// "<<< Back" shown only when there is a page to go back to, and the forward button ("&Next >>>", or
// "Finish" on a last page).
#pragma once

#include "CommonTypes.h"

#include <QWidget>

class Builder;
class CDB;
class QPlainTextEdit;
class QPushButton;

class CBuilderPanel : public QWidget {
    Q_OBJECT
public:
    explicit CBuilderPanel(QWidget* parent = nullptr, CDB* connection = nullptr);

    Builder* GetBuilder() const { return m_Builder; }
    QPlainTextEdit* Statement() const { return m_Statement; }
    QPushButton* BackButton() const { return m_Back; }
    QPushButton* ForwardButton() const { return m_Forward; }

    // Back to the first page with every list emptied (restart, or another connection).
    void Restart();
    // Brings the buttons and the statement box up to date with the builder.
    void UpdateState();

private:
    Builder* m_Builder;
    QPlainTextEdit* m_Statement;
    QPushButton* m_Back;
    QPushButton* m_Forward;
};
