#pragma once

#include <memory>
#include <string>

#include "platform/file.h"
#include "platform/folder_lock.h"
#include "platform/write_access.h"

namespace lirako {

// Opens an existing regular file for reading (with a shared advisory lock) without ever
// waiting; null on failure, with the reason in `err` (when given). FIFOs, sockets, devices
// and folders are refused.
std::unique_ptr<File> OpenPosixFileForReading(const std::string& path, std::string* err = nullptr);

// The file that `path` names after following symbolic links (relative targets count from the
// link's folder); the target need not exist. Empty when the links go round in a loop.
std::string ResolveLinks(const std::string& path);
// Whether the file `path` resolves to could be replaced by CreateAtomicFile now.
WriteAccess CheckWriteAccess(const std::string& path);
// Creates a temporary file beside the file `path` resolves to; closing it after complete
// writes fsyncs it, renames it over that file (which keeps its mode) and fsyncs the folder.
// Null, with the reason in `err`, when the access check refuses or the file cannot be made.
std::unique_ptr<File> CreateAtomicFile(const std::string& path, std::string* err);
// Removes the temporary files CreateAtomicFile left beside the file `path` resolves to (a
// save that was killed before its rename).
void RemoveAtomicTemporaries(const std::string& path);
// Takes the advisory lock of `folder` (flock on its "lirako.lock"), waiting up to a few
// seconds for another copy to let go; null when it cannot be had.
std::unique_ptr<FolderLock> LockPosixFolder(const std::string& folder);

}  // namespace lirako
