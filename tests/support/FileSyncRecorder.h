// Records the calls a writer makes to put a file in place, as "fsync <bytes of the file then>",
// "rename <to>" and "fsync-folder <folder>", for as long as it lives.
#pragma once

#include "services/FileSync.h"

#include <sys/stat.h>

#include <string>
#include <vector>

class FileSyncRecorder {
public:
    FileSyncRecorder() {
        m_Previous =
            FileSync::SetObserver([this](const char* call, int fd, const CString&, const CString& to) {
                std::string entry = call;
                if (entry == "fsync") {
                    struct stat st {};
                    ::fstat(fd, &st);
                    entry += " " + std::to_string(st.st_size);
                } else if (entry == "rename") {
                    entry += " " + to;
                } else {
                    struct stat st {};
                    ::fstat(fd, &st);
                    entry += S_ISDIR(st.st_mode) ? " folder" : " not a folder";
                }
                calls.push_back(entry);
            });
    }
    ~FileSyncRecorder() { FileSync::SetObserver(std::move(m_Previous)); }
    FileSyncRecorder(const FileSyncRecorder&) = delete;
    FileSyncRecorder& operator=(const FileSyncRecorder&) = delete;

    // The calls that put a file of `bytes` bytes in place at `target`, in the order they must come.
    static std::vector<std::string> Durable(size_t bytes, const CString& target) {
        return {"fsync " + std::to_string(bytes), "rename " + target, "fsync-folder folder"};
    }

    std::vector<std::string> calls;

private:
    FileSync::Observer m_Previous;
};
