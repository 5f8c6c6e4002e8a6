#include "codbc/Charset.h"

#include <iconv.h>

#include <cerrno>

namespace {
const char* kAnsi = "UTF-8";
const char* kOem = "IBM437";

CString Convert(const CString& text, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text;
    CString out;
    out.reserve(text.size() * 2 + 4);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char chunk[1024];
    while (inLeft > 0) {
        char* dst = chunk;
        size_t dstLeft = sizeof chunk;
        const size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(chunk, sizeof chunk - dstLeft);
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // An invalid or unconvertible sequence: mark it and go on with the next byte.
        out.push_back('?');
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = chunk;
    size_t dstLeft = sizeof chunk;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(chunk, sizeof chunk - dstLeft);
    iconv_close(cd);
    return out;
}
} // namespace

CString AnsiToOem(const CString& text) {
    return Convert(text, "IBM437//TRANSLIT", kAnsi);
}

CString OemToAnsi(const CString& text) {
    return Convert(text, kAnsi, kOem);
}
