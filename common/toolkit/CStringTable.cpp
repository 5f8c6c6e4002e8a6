#include "toolkit/CStringTable.h"

#include <map>

namespace {
std::map<int, CString>& Table() {
    static std::map<int, CString> table;
    return table;
}

// The first `limit` characters (code points) of a UTF-8 text.
CString FirstChars(const CString& text, int limit) {
    int chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == limit)
            return text.substr(0, i);
    }
    return text;
}
} // namespace

void CStringTable::Set(int id, const CString& text) {
    Table()[id] = text;
}

void CStringTable::Remove(int id) {
    Table().erase(id);
}

bool CStringTable::Load(int id, CString* out) {
    auto it = Table().find(id);
    if (it == Table().end())
        return false;
    if (out)
        *out = it->second;
    return true;
}

CString CStringTable::TipText(int id) {
    CString text;
    if (!Load(id, &text))
        return CString();
    return FirstChars(text, kTipLimit);
}
