#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace lirako {

// The folder that holds the reader's data files, fixed once at start-up: "/tmp", replaced by
// the "Default Path" string of HKEY_CURRENT_USER "Software\Lirako", replaced by the folder of
// the program file when the program runs from its build tree (and can write there), else by
// the user's data folder: an installed copy, under any prefix, keeps nothing beside itself.
std::u16string FindDataFolder(Platform& platform);

// Moves the data files an earlier version kept beside the program, in a folder it could
// write (say ~/.local/bin), into `dataFolder` when that is elsewhere: the two record files,
// lirako.ini, the conversion table, the copies of damaged files and the chapter caches, under
// both folders' locks. A file `dataFolder` has already stays where it is; the old folder's
// lock file goes. False with the reasons in `err` when a file could not be moved.
bool MoveEarlierDataFiles(Platform& platform, const std::u16string& dataFolder, std::string* err);

// The program's folder when FindDataFolder passed it over because it is not writable: an
// installed copy may keep the files of earlier runs there. Empty otherwise.
std::u16string FindFallbackFolder(Platform& platform);

// The folder to read the data file `name` from: `folder`, unless it lacks the file and
// `fallback` (when not empty) holds it.
std::u16string FolderHolding(Platform& platform, const std::u16string& folder,
                             const std::u16string& fallback, std::u16string_view name);

// Removes what saves of the data files killed before their rename left in `folder`, under
// the folder's lock.
void RemoveStaleTemporaries(Platform& platform, const std::u16string& folder);

// folder + "/" + name.
std::u16string DataFilePath(std::u16string_view folder, std::u16string_view name);

// The part of `path` after its last "/", or the whole path when it holds none.
std::u16string FileNameOf(std::u16string_view path);

}  // namespace lirako
