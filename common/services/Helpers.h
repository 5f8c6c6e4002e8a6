// Small process-wide helpers: checksum, event pumping and the clipboard.
#pragma once

#include "CommonTypes.h"

#include <cstdint>

// Standard CRC-32 (reflected polynomial 0xEDB88320, initial all ones, final complement).
uint32_t CRC32(const char* data, int length);

// Dispatches the pending user-interface events once; does nothing without an application object.
void PumpMessage();

// Puts plain text on the clipboard.
void CopyToClipBoard(const CString& text);
