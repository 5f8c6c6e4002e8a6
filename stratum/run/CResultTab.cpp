#include "run/CResultTab.h"

namespace {
// Length in bytes of the first `chars` UTF-8 characters of `text`; a byte that starts no valid
// sequence counts as one character.
size_t PrefixBytes(std::string_view text, int chars) {
    size_t pos = 0;
    for (int n = 0; n < chars && pos < text.size(); ++n) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        size_t len = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 1;
        if (pos + len > text.size())
            len = 1;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) {
                len = 1;
                break;
            }
        pos += len;
    }
    return pos;
}
} // namespace

CString CResultTab::Text(int number, std::string_view statement, int rows, bool cut) {
    // Leading blank lines and indentation say nothing about the statement.
    const size_t start = statement.find_first_not_of(" \t\r\n");
    statement = start == std::string_view::npos ? std::string_view() : statement.substr(start);
    std::string_view line = statement.substr(0, statement.find_first_of("\r\n"));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    const size_t shown = PrefixBytes(line, kStatementChars);
    CString text = std::to_string(number) + ": " + CString(line.substr(0, shown));
    if (shown < line.size() || line.size() < statement.find_last_not_of(" \t\r\n") + 1)
        text += "\xE2\x80\xA6"; // the statement goes on
    text += " (" + std::to_string(rows) + (rows == 1 ? " row" : " rows") + (cut ? ", cut)" : ")");
    return text;
}
