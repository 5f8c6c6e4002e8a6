#include "CRunText.h"

#include "Utf8.h"

CString CRunText::Prepare(const CString& raw, int tabSize) {
    if (tabSize < 1)
        tabSize = 1;
    CString out;
    out.reserve(raw.size() + raw.size() / 16 + 2);
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
    const size_t size = raw.size();
    size_t column = 0;
    size_t i = 0;
    while (i < size) {
        const unsigned char c = bytes[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            i += (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ? 2 : 1;
            column = 0;
        } else if (c == '\t') {
            const size_t blanks = size_t(tabSize) - column % size_t(tabSize);
            out.append(blanks, ' ');
            column += blanks;
            ++i;
        } else {
            size_t length = Utf8CharLength(bytes + i, size - i);
            if (length == 0)
                length = 1;
            out.append(raw, i, length);
            i += length;
            ++column;
        }
    }
    if (!out.empty() && column != 0)
        out += "\r\n";
    return out;
}

CString CRunText::WithoutByteOrderMark(const CString& raw) {
    return raw.rfind("\xEF\xBB\xBF", 0) == 0 ? raw.substr(3) : raw;
}

size_t CRunText::NulLine(const CString& raw) {
    const size_t nul = raw.find('\0');
    if (nul == CString::npos)
        return 0;
    size_t line = 1;
    for (size_t i = 0; i < nul; ++i)
        if (raw[i] == '\n' || (raw[i] == '\r' && (i + 1 >= raw.size() || raw[i + 1] != '\n')))
            ++line;
    return line;
}
