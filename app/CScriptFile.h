// Reading and writing script files: the whole file as bytes, and a save that keeps the previous
// version as ".bak" and never leaves a half-written script behind.
#pragma once

#include "CommonTypes.h"

class CScriptFile {
public:
    // Bytes asked for by each read.
    static constexpr int kBlockSize = 10239;
    // U+2400 SYMBOL FOR NULL, in UTF-8.
    static constexpr const char* kNulSymbol = "\xE2\x90\x80";

    // `path` with the extension of its file name replaced by ".bak" ("a.sql" -> "a.bak"); a file
    // name without "." gets ".bak" appended, whatever dots its folders hold.
    static CString BackupName(const CString& path);

    // Writes `text` to a temporary file beside `path` and only then moves an existing `path` to
    // its backup name (deleting an older backup) and the new file to `path`. On failure `path`
    // and its backup are as before. With `ownerOnly` (copies of scripts the program keeps for
    // itself) the new file and the backup are readable by their owner only; otherwise the new
    // file keeps the old one's mode. 0 on success, -1 on failure.
    static int Write(const CString& path, const CString& text, bool ownerOnly = false);

    // Reads the whole file without a leading UTF-8 byte-order mark; a zero byte becomes the symbol
    // kNulSymbol, so it is seen and the text after it is kept. 0 on success, -1 when the file is
    // missing or unreadable (`out` then untouched).
    static int Read(const CString& path, CString* out);

    static bool Exists(const CString& path);
};
