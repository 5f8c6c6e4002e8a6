#include "toolkit/CHistCBox.h"

#include "QtText.h"

#include <QLineEdit>

namespace {
// The shown text as bytes (item texts are Unicode and would lose bytes that are not UTF-8).
const int kShownRole = Qt::UserRole;
// The whole text, attached only to entries longer than what they show.
const int kFullRole = Qt::UserRole + 1;

QByteArray Bytes(const CString& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}
CString FromBytes(const QByteArray& b) {
    return CString(b.constData(), static_cast<size_t>(b.size()));
}

CString ValueName(int i) {
    return "value" + std::to_string(i);
}
} // namespace

CHistCBox::CHistCBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void CHistCBox::SetLimit(int n) {
    if (n > 0)
        m_Limit = n;
}

CString CHistCBox::CutChars(const CString& text, int limit) {
    int chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // Every byte that does not continue a multi-byte sequence starts a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == limit)
            return text.substr(0, i);
    }
    return text;
}

void CHistCBox::AddEntry(int index, const CString& text) {
    const CString shown = CutChars(text, kDisplayLimit);
    insertItem(index, ToQ(shown));
    setItemData(index, Bytes(shown), kShownRole);
    if (shown.size() != text.size())
        setItemData(index, Bytes(text), kFullRole);
}

CString CHistCBox::DisplayText(int index) const {
    QVariant v = itemData(index, kShownRole);
    return v.isValid() ? FromBytes(v.toByteArray()) : itemText(index).toStdString();
}

CString CHistCBox::FullText(int index) const {
    QVariant v = itemData(index, kFullRole);
    return v.isValid() ? FromBytes(v.toByteArray()) : DisplayText(index);
}

void CHistCBox::Load(const CString& section) {
    int count = 0;
    m_Reg.Read(section.c_str(), "Counter", &count, 0);
    if (m_Limit > 0 && count > m_Limit)
        count = m_Limit;
    // Adding to an empty box selects its first entry; only "Current" chooses here.
    const int before = currentIndex();
    bool haveEmpty = false;
    for (int i = 0; i < this->count(); ++i)
        haveEmpty = haveEmpty || FullText(i).empty();
    for (int i = 0; i < count; ++i) {
        CString text;
        m_Reg.Read(section.c_str(), ValueName(i).c_str(), &text, CString());
        if (text.empty()) {
            if (haveEmpty)
                continue;
            haveEmpty = true;
        } else {
            // Skip what an entry already begins with, ignoring case.
            const QString start = ToQ(CutChars(text, kDisplayLimit));
            bool known = false;
            for (int k = 0; k < this->count() && !known; ++k)
                known = ToQ(DisplayText(k)).startsWith(start, Qt::CaseInsensitive);
            if (known)
                continue;
        }
        AddEntry(this->count(), text);
    }
    int current = -1;
    m_Reg.Read(section.c_str(), "Current", &current, -1);
    if (current >= 0 && current < this->count()) {
        setCurrentIndex(current);
        m_LastActive = FullText(current);
    } else if (currentIndex() != before) {
        setCurrentIndex(before);
    }
}

void CHistCBox::Save(const CString& section) {
    int n = count();
    if (m_Limit > 0 && n > m_Limit)
        n = m_Limit;
    CSysReg::Batch batch;
    for (int i = 0; i < n; ++i)
        m_Reg.Save(section.c_str(), ValueName(i).c_str(), FullText(i));
    m_Reg.Save(section.c_str(), "Current", currentIndex());
    m_Reg.Save(section.c_str(), "Counter", n);
}

void CHistCBox::SetActiveOrAdd(const CString& text) {
    // Whole texts are compared, so a long string that is chosen again does not appear twice.
    for (int i = count() - 1; i >= 0; --i) {
        if (FullText(i) == text)
            removeItem(i);
    }
    if (m_Limit > 0 && count() >= m_Limit)
        removeItem(count() - 1);
    AddEntry(0, text);
    m_LastActive = text;
    setCurrentIndex(0);
}

void CHistCBox::Back() {
    SetActiveOrAdd(CString(m_LastActive));
}

CString CHistCBox::GetCurString(const CString&) {
    const int index = currentIndex();
    const QString typed = currentText();
    // The entry's own bytes unless the user has typed something else since it was chosen.
    if (index >= 0 && itemText(index) == typed)
        m_Current = FullText(index);
    else
        m_Current = typed.toStdString();
    return m_Current;
}

CString CHistCBox::StoredCurString(const CString& section) {
    CSysReg reg;
    int current = 0;
    reg.Read(section.c_str(), "Current", &current, 0);
    CString text;
    reg.Read(section.c_str(), ValueName(current).c_str(), &text, CString());
    return text;
}
