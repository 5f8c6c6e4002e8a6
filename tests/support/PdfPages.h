// Reads back a printed PDF with poppler's tools: its page count and the text of one page.
#pragma once

#include <string>

namespace PdfPages {
// -1 when the file cannot be read.
int Count(const std::string& path);
// The text of page `page` (from 1), laid out as on the page.
std::string Text(const std::string& path, int page);
} // namespace PdfPages
