#include "CJsonWriter.h"

#include "Utf8.h"

#include <cstdio>

namespace {
void AppendEscape(CString& out, unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04X", unsigned(c));
    out += text;
}
} // namespace

CString CJsonWriter::Quoted(const CString& text) {
    CString out;
    out.reserve(text.size() + 2);
    out += '"';
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    size_t i = 0;
    while (i < size) {
        const unsigned char c = bytes[i];
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                AppendEscape(out, c);
            } else if (c < 0x80) {
                out += char(c);
            } else if (const size_t length = Utf8CharLength(bytes + i, size - i)) {
                out.append(text, i, length);
                i += length;
                continue;
            } else {
                AppendEscape(out, c);
            }
        }
        ++i;
    }
    out += '"';
    return out;
}

CString CJsonWriter::Array(const CStringArray& texts) {
    CString out = "[";
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i)
            out += ", ";
        out += Quoted(texts[i]);
    }
    out += ']';
    return out;
}
