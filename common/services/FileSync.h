// The calls a writer makes to put a finished file in place for good: forcing its data to the disk,
// renaming it over the target and forcing the folder's entry. Tests can watch their order.
#pragma once

#include "CommonTypes.h"

#include <functional>

namespace FileSync {
// fsync of an open file; true on success.
bool Sync(int fd);
// rename(2); true on success (errno tells why not).
bool Rename(const CString& from, const CString& to);
// fsync of the folder that holds `path`, so that a rename in it survives a power loss.
bool SyncFolder(const CString& path);

// Called before each of the calls above with its name ("fsync", "rename", "fsync-folder"), the
// descriptor (-1 for none) and the paths involved; empty for none. Returns the previous observer.
using Observer = std::function<void(const char* call, int fd, const CString& from, const CString& to)>;
Observer SetObserver(Observer observer);
} // namespace FileSync
