// Shared 8-bit text and array types used by every exported interface of the project.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using CString = std::string;
using CStringArray = std::vector<std::string>;
template <typename T> using CArray = std::vector<T>;

// Colour value: red in the lowest byte, then green, then blue, the highest byte 0.
using COLORREF = uint32_t;

constexpr COLORREF RGB(int red, int green, int blue) {
    return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
