// The caption of one kept result of a run, as its tab above the grid shows it: the statement's number,
// its first line cut to a fixed length, and its row count with a note when the rows were cut.
#pragma once

#include "CommonTypes.h"

#include <string_view>

class CResultTab {
public:
    // Characters of the statement's first line that a caption shows.
    static constexpr int kStatementChars = 40;

    // "1: select * from customers (50 rows)" for statement `number` (from 1) with `rows` rows; `cut`
    // says that only the first `rows` rows were kept. The count is of code points, never bytes.
    static CString Text(int number, std::string_view statement, int rows, bool cut);
};
