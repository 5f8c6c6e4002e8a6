#include "ZipEntry.h"

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace {
uint32_t Le(const CString& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(s[at + size_t(i)]);
    return v;
}
} // namespace

CString ZipEntry(const CString& archive, const CString& name) {
    std::ifstream in(archive, std::ios::binary);
    std::stringstream buf;
    buf << in.rdbuf();
    const CString zip = buf.str();
    const size_t eocd = zip.rfind(CString("PK\x05\x06", 4));
    if (eocd == CString::npos || eocd + 22 > zip.size())
        return {};
    size_t at = Le(zip, eocd + 16, 4);
    const uint32_t entries = Le(zip, eocd + 10, 2);
    for (uint32_t i = 0; i < entries && at + 46 <= zip.size(); ++i) {
        const uint32_t method = Le(zip, at + 10, 2);
        const uint32_t packed = Le(zip, at + 20, 4), size = Le(zip, at + 24, 4);
        const uint32_t nameLen = Le(zip, at + 28, 2), extraLen = Le(zip, at + 30, 2),
                       commentLen = Le(zip, at + 32, 2);
        const uint32_t local = Le(zip, at + 42, 4);
        if (zip.compare(at + 46, nameLen, name) == 0 && nameLen == name.size()) {
            const size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
            if (method == 0)
                return zip.substr(data, size);
            CString out(size, '\0');
            z_stream z{};
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
                return {};
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            z.avail_in = packed;
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = size;
            const int rc = inflate(&z, Z_FINISH);
            inflateEnd(&z);
            return rc == Z_STREAM_END ? out : CString();
        }
        at += 46 + nameLen + extraLen + commentLen;
    }
    return {};
}
