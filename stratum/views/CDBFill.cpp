#include "views/CDBFill.h"

#include <strings.h>

namespace CDBFill {
CString ComboTableText(const TABLE_DESC& table, const CString& owner, int ownerSupported) {
    if (!owner.empty() && ownerSupported)
        return table.owner + "." + table.name;
    return table.name;
}

CString ListTableText(const TABLE_DESC& table, const CString& owner, int ownerSupported) {
    if (owner.empty() && ownerSupported && !table.owner.empty())
        return table.owner + "." + table.name;
    return table.name;
}

CString FieldText(const FLD_DESC& field, const CString& table, int qualify) {
    return qualify ? table + "." + field.name : field.name;
}

CString QualifiedTable(const CString& table, const CString& owner, int ownerSupported) {
    return !owner.empty() && ownerSupported ? owner + "." + table : table;
}

CString JoinSelected(const CStringArray& texts, int* count, int lineBreaks) {
    CString joined;
    for (const CString& text : texts) {
        if (!joined.empty()) {
            joined += ", ";
            if (lineBreaks)
                joined += "\r\n";
        }
        joined += text;
        if (count)
            ++*count;
        if (text == "*")
            break;
    }
    return joined;
}

int FindPrefix(const CStringArray& texts, const CString& prefix) {
    for (size_t i = 0; i < texts.size(); ++i) {
        if (strncasecmp(texts[i].c_str(), prefix.c_str(), prefix.size()) == 0)
            return static_cast<int>(i);
    }
    return -1;
}
} // namespace CDBFill
