#include "codbc/KeyNames.h"

#include <algorithm>
#include <map>

CString PrimaryKeyName(const PK_DESC& key, const CString& table) {
    if (!key.keyName.empty())
        return key.keyName;
    const size_t dot = table.rfind('.');
    return "pk_" + (dot != CString::npos && dot > 0 ? table.substr(dot + 1) : table);
}

std::vector<ForeignKeyRow> ForeignKeyRows(const CArray<FK_DESC>& keys) {
    std::vector<ForeignKeyRow> rows(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        const FK_DESC& k = keys[i];
        const FK_DESC* previous = i > 0 ? &keys[i - 1] : nullptr;
        const bool starts = !previous || (k.keySeq > 0 && k.keySeq <= previous->keySeq) ||
                            k.fkTable != previous->fkTable || k.pkTable != previous->pkTable ||
                            k.fkName != previous->fkName;
        rows[i].first = starts ? i : rows[i - 1].first;
    }
    // Unnamed keys between the same two tables are numbered by their columns in order of appearance.
    std::map<CString, CStringArray> seen;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (rows[i].first != i)
            continue;
        const FK_DESC& k = keys[i];
        CString name = k.fkName;
        if (name.empty()) {
            CString columns;
            for (size_t j = i; j < keys.size() && rows[j].first == i; ++j)
                columns += keys[j].fkColumn + '\n' + keys[j].pkColumn + '\n';
            const CString base = "fk_" + k.fkTable + "_" + k.pkTable;
            CStringArray& signatures = seen[base];
            auto at = std::find(signatures.begin(), signatures.end(), columns);
            if (at == signatures.end())
                at = signatures.insert(signatures.end(), columns);
            const size_t number = static_cast<size_t>(at - signatures.begin()) + 1;
            name = number == 1 ? base : base + "_" + std::to_string(number);
        }
        for (size_t j = i; j < keys.size() && rows[j].first == i; ++j)
            rows[j].name = name;
    }
    return rows;
}
