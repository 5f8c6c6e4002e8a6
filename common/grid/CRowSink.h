// Receiver of a result's rows while they are read: the result table keeps them, an export writes
// them out at once. The headings and column descriptions are in the result table before the first row.
#pragma once

#include <cstddef>
#include <string_view>

class CRowSink {
public:
    virtual ~CRowSink() = default;

    // Called once per load, after the headings and column descriptions are in place; false stops the
    // load before the first row.
    virtual bool BeginRows() = 0;
    // Row `index` (from 0): the texts of its first `count` result columns, the others empty. The texts
    // are valid during the call only. False stops the reading.
    virtual bool AddRow(int index, const std::string_view* texts, size_t count) = 0;
    // Called once per load after the last row, also when BeginRows or AddRow refused.
    virtual bool EndRows() = 0;
};
