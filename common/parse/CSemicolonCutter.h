// Cuts an SQL script after each ";" and at lines holding GO alone, skipping quotes, comments and
// dollar-quoted bodies, and keeping the BEGIN ... END body of a routine or trigger whole.
#pragma once

#include <string_view>
#include <vector>

class CSemicolonCutter {
public:
    // The statements as views into the script, without their ";" or GO line, without the comments
    // before them and the blanks around them; pieces of nothing but blanks and comments are dropped.
    static std::vector<std::string_view> Cut(std::string_view script);
};
