// Shared 8-bit text and array types used by every exported interface of the project.
#pragma once

#include <string>
#include <vector>

using CString = std::string;
using CStringArray = std::vector<std::string>;
template <typename T> using CArray = std::vector<T>;
