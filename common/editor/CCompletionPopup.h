// The completion list shown under the caret: a list over the editor that never takes the keyboard
// focus from it. The editor moves its selection and asks for the chosen row; a click chooses too.
#pragma once

#include "CommonTypes.h"
#include "editor/CCompletion.h"

#include <QColor>
#include <QListWidget>

class CCompletionPopup final : public QListWidget {
    Q_OBJECT

public:
    // The rows shown at most; more scroll.
    static constexpr int kVisibleRows = 10;

    explicit CCompletionPopup(QWidget* parent);

    void SetCandidates(const CArray<CCompletion::Candidate>& candidates);
    // The editor's colours: background, text, keywords, selection and selected text.
    void SetColors(QColor back, QColor text, QColor keyword, QColor highlight, QColor highlightText);
    // Places the list below the point `below` of its parent, or above `above` when there is no room below.
    void Place(QPoint below, QPoint above);
    // Up, Down, Page Up and Page Down; false for any other key.
    bool MoveSelection(int key);

signals:
    // A row was clicked.
    void Chosen(int row);

private:
    QColor m_Keyword;
    QColor m_Detail;
};
