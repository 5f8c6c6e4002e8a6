// UTF-8 helpers for the command-line companion: where a valid character ends in a byte string.
#pragma once

#include <cstddef>

// Length of the valid UTF-8 character at p (1 to 4), or 0 when the byte at p begins none.
// Overlong forms, surrogates and values above U+10FFFF are not valid.
size_t Utf8CharLength(const unsigned char* p, size_t available);
