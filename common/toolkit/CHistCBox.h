// A combo box that remembers the strings the user chose or typed, newest first, and keeps them
// across runs in a section of the settings store. Long strings show their first 512 characters
// but are kept whole.
#pragma once

#include "CommonTypes.h"
#include "services/CSysReg.h"

#include <QComboBox>

class CHistCBox : public QComboBox {
    Q_OBJECT
public:
    // Characters shown of a long entry.
    static constexpr int kDisplayLimit = 512;

    explicit CHistCBox(QWidget* parent = nullptr);

    // The largest number of entries kept; 0 and negative values leave the limit unchanged.
    void SetLimit(int n);
    int Limit() const { return m_Limit; }

    void Load(const CString& section);
    void Save(const CString& section);
    // Moves `text` to the top, adding it when absent, and selects it.
    void SetActiveOrAdd(const CString& text);
    // Brings back the last active string.
    void Back();
    // The full text of the current choice: the whole text of the selected entry, or the edit
    // field's text when the user typed something else.
    CString GetCurString(const CString& section = CString());
    // The current choice as the section stores it, for use where no box exists.
    static CString StoredCurString(const CString& section);

    const CString& LastActive() const { return m_LastActive; }
    // The whole text and the shown text of an entry.
    CString FullText(int index) const;
    CString DisplayText(int index) const;

    // The first `limit` characters (code points) of a UTF-8 text.
    static CString CutChars(const CString& text, int limit);

private:
    void AddEntry(int index, const CString& text);

    int m_Limit = 0;
    CString m_LastActive;
    CString m_Current;
    CSysReg m_Reg;
};
