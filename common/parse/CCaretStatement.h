// Finds the statement a caret stands in, cut the way a whole run cuts the script, so that one
// statement of a scratch script can be run on its own.
#pragma once

#include <cstddef>
#include <string_view>

class CCaretStatement {
public:
    // Byte offsets [begin, end) into the script; empty when the script holds nothing to run.
    struct Range {
        size_t begin = 0;
        size_t end = 0;
        bool Empty() const { return begin >= end; }
    };

    // The statement holding the byte offset `caret`: its text from its first token to its last
    // non-blank character. A caret in the blanks, terminators or comments ahead of a statement
    // belongs to the statement above. With `noParse` the whole script is the one statement.
    static Range Find(std::string_view script, size_t caret, bool noParse = false);
    // Offset of the first character that is not a blank, a semicolon or a comment, from `from`.
    static size_t SkipLead(std::string_view text, size_t from);
    // Offset just after the last character before `end` that is not a blank.
    static size_t TrimEnd(std::string_view text, size_t begin, size_t end);
};
