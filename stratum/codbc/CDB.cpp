#include "codbc/CDB.h"

#include "codbc/Charset.h"
#include "services/Helpers.h"

#include <dlfcn.h>
#include <strings.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

CLog CDB::log;

namespace {
const char* const kMonths[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                 "jul", "aug", "sep", "oct", "nov", "dec"};

// SQL type codes of the values GetView renders.
enum : int {
    kChar = 1,
    kNumeric = 2,
    kDecimal = 3,
    kInteger = 4,
    kSmallInt = 5,
    kFloat = 6,
    kReal = 7,
    kDouble = 8,
    kDate = 9,
    kTime = 10,
    kTimestamp = 11,
    kVarChar = 12,
    kLongVarChar = -1,
    kBinary = -2,
    kVarBinary = -3,
    kLongVarBinary = -4,
    kBigInt = -5,
    kTinyInt = -6,
    kBit = -7,
    kWChar = -8,
    kWVarChar = -9,
    kWLongVarChar = -10,
    kGuid = -11,
};

template <typename T> T Read(const char* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

CString Printf(const char* format, auto... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsPatternLetter(char c) {
    return c == 'D' || c == 'M' || c == 'Y' || c == 'n';
}
} // namespace

void CDB::CheckStmt(const CString& text) {
    static const char* const kKeywords[] = {"insert", "update", "delete", "create",
                                            "drop",   "alter",  "grant",  "revoke"};
    stmtType = STMT_ROWS;
    for (int i = 0; i < 8; ++i) {
        const size_t n = std::strlen(kKeywords[i]);
        if (text.size() >= n && strncasecmp(text.c_str(), kKeywords[i], n) == 0) {
            stmtType = i + 1;
            return;
        }
    }
}

void CDB::SetOwner(const char* name) {
    std::memset(owner, 0, sizeof owner);
    if (name)
        std::strncpy(owner, name, sizeof owner - 1);
}

int CDB::isEngName(const CString& name) {
    if (name.empty())
        return 1;
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!letter(name[0]))
        return 0;
    for (char c : name) {
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '_' && c != '$' && c != '#' && c != '@')
            return 0;
    }
    return 1;
}

const char* CDB::PrepareOwner(CString* ownerOut, CString* nameOut, CString defaultOwner, CString objectName,
                              int quote) {
    const size_t dot = objectName.rfind('.');
    if (dot != CString::npos && dot > 0) {
        *nameOut = objectName.substr(dot + 1);
        *ownerOut = objectName.substr(0, dot);
    } else {
        *ownerOut = defaultOwner;
        *nameOut = objectName;
    }
    if (quote) {
        auto quoted = [this](const CString& s) {
            CString text;
            if (quoteOpen)
                text += quoteOpen;
            text += s;
            if (quoteClose)
                text += quoteClose;
            return text;
        };
        if (!isEngName(*ownerOut))
            *ownerOut = quoted(*ownerOut);
        if (!isEngName(*nameOut))
            *nameOut = quoted(*nameOut);
    }
    if (!ownerSupported)
        ownerOut->clear();
    return ownerSupported && !ownerOut->empty() ? ownerOut->c_str() : nullptr;
}

bool CDB::IsMySqlName(const CString& dbmsName) {
    return strncasecmp(dbmsName.c_str(), "MySQL", 5) == 0 || strncasecmp(dbmsName.c_str(), "MariaDB", 7) == 0;
}

int CDB::DbmsKindOf(const CString& dbmsName) {
    const char* name = dbmsName.c_str();
    int kind = DBMS_OTHER;
    if (strcasecmp(name, "DBASE") == 0)
        kind = DBMS_XBASE;
    if (strcasecmp(name, "FoxPro") == 0)
        kind = DBMS_XBASE;
    if (strcasecmp(name, "Microsoft SQL Server") == 0)
        kind = DBMS_MSSQL;
    if (strcasecmp(name, "ACCESS") == 0)
        kind = DBMS_ACCESS;
    if (strcasecmp(name, "EXCEL") == 0)
        kind = DBMS_EXCEL;
    if (strncasecmp(name, "ORACLE", 6) == 0)
        kind = DBMS_ORACLE;
    return kind;
}

void* CDB::LinkProc(const char* name) {
    return hLibrary ? dlsym(hLibrary, name) : nullptr;
}

int CDB::ExtractTimestamp(const char* data, short* day, short* month, short* year) {
    return ExtractDate(data, day, month, year);
}

void CDB::PrepareDate(CString& text, const char* pattern, int day, int month, int year) {
    text.clear();
    if (!pattern)
        return;
    CString field;
    auto flush = [&] {
        if (field.empty())
            return;
        switch (field[0]) {
        case 'D':
            text += Printf("%02d", day);
            break;
        case 'M':
            text += Printf("%02d", month);
            break;
        case 'Y':
            text += field.size() == 4 ? Printf("%04d", year) : Printf("%02d", year % 100);
            break;
        case 'n':
            text += month >= 1 && month <= 12 ? kMonths[month - 1] : "???";
            break;
        }
        field.clear();
    };
    for (const char* p = pattern;; ++p) {
        const char c = *p;
        if (IsPatternLetter(c) && (field.empty() || field[0] == c)) {
            field += c;
            continue;
        }
        flush();
        if (c == '\0')
            break;
        if (IsPatternLetter(c))
            field += c; // a different letter right after a field starts the next field
        else
            text += c;
    }
}

void CDB::GetView(const char* data, CString& text, int sqlType, int conversion, const char* datePattern) {
    if (!data) {
        text.clear();
        return;
    }
    switch (sqlType) {
    case kChar:
    case kVarChar:
    case kLongVarChar:
    case kWChar:
    case kWVarChar:
    case kWLongVarChar:
    case kNumeric:
    case kDecimal: {
        text.clear();
        for (const char* p = data; *p; ++p) {
            text += *p;
            if (*p == '\'')
                text += '\'';
        }
        while (!text.empty() && IsBlank(text.back()))
            text.pop_back();
        if (conversion > 0)
            text = AnsiToOem(text);
        else if (conversion < 0)
            text = OemToAnsi(text);
        break;
    }
    case kBit:
        text = Printf("%d", data[0] & 1);
        break;
    case kTinyInt:
        text = Printf("%d", static_cast<unsigned char>(data[0]));
        break;
    case kSmallInt:
        text = Printf("%d", Read<int16_t>(data));
        break;
    case kInteger:
        text = Printf("%ld", static_cast<long>(Read<int32_t>(data)));
        break;
    case kReal:
        text = Printf("%g", static_cast<double>(Read<float>(data)));
        break;
    case kFloat:
    case kDouble:
        text = Printf("%g", Read<double>(data));
        break;
    case kDate:
    case kTimestamp: {
        short day = 0, month = 0, year = 0;
        int rc = 0;
        if (sqlType == kTimestamp) {
            rc = ExtractTimestamp(data, &day, &month, &year);
            if (rc != 0)
                rc = ExtractDate(data, &day, &month, &year);
        } else {
            rc = ExtractDate(data, &day, &month, &year);
        }
        if (rc != 0)
            break;
        if (datePattern && *datePattern)
            PrepareDate(text, datePattern, day, month, year);
        else
            text = Printf("%02d.%02d.%d", day, month, year);
        break;
    }
    case kTime:
        text = "<TIME>";
        break;
    case kGuid:
        text = "<GUID>";
        break;
    case kBigInt:
        text = "<BIG INTEGER>";
        break;
    case kBinary:
        text = "<BINARY DATA>";
        break;
    case kVarBinary:
        text = "<VAR BINARY DATA>";
        break;
    case kLongVarBinary: {
        const size_t length = std::strlen(data);
        const size_t limit = binaryLimit > 0 ? static_cast<size_t>(binaryLimit) : 0;
        const size_t n = length < limit ? length : limit;
        text.clear();
        for (size_t i = 0; i < n; ++i) {
            const unsigned char byte = static_cast<unsigned char>(data[i]);
            if (blobAsText)
                text += byte > 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
            else
                text += Printf("%02X ", byte);
        }
        if (n == limit)
            text += "...";
        break;
    }
    default:
        text = Printf("<DATA TYPE %d not supported>", sqlType);
        break;
    }
}

void CDB::RecordsetToClipBoard() {
    int count = 0;
    if (NumResultCols(&count) != 0)
        count = 0;
    CArray<short> types(count > 0 ? count : 0, 0);
    for (int c = 0; c < count; ++c) {
        CString name, typeName;
        short sqlType = 0, digits = 0, nullable = 0;
        unsigned long size = 0;
        DescribeCol(c, &name, &sqlType, &size, &digits, &nullable, &typeName);
        types[c] = sqlType;
    }
    CString all, value, field;
    long indicator = 0;
    while (Fetch() == 0) {
        for (int c = 0; c < count; ++c) {
            field.clear();
            if (GetData(c, value, &indicator) == 0 && indicator != -1)
                GetView(value.c_str(), field, types[c], 0, nullptr);
            all += field;
            all += '\t';
        }
        all += "\r\n";
    }
    CopyToClipBoard(all);
}
