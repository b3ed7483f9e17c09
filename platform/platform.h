#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "platform/file_watch.h"
#include "platform/folder_lock.h"
#include "platform/registry.h"
#include "platform/surface.h"
#include "platform/write_access.h"

namespace lirako {

// The one interface to the operating system and the toolkit. Paths are UTF-16 with "/".
class Platform {
 public:
  virtual ~Platform() = default;

  // Opens an existing regular file for reading, shared with readers, without waiting; null
  // when it cannot be opened (a FIFO, socket, device or folder neither), with the reason in
  // `err` when given.
  virtual std::unique_ptr<File> OpenForReading(const std::u16string& path,
                                               std::string* err = nullptr) = 0;
  // Creates a file for writing; the old file is replaced only when the new one is closed
  // after complete writes (FailureReason says why a Close failed). A symbolic link is
  // followed and its target replaced, keeping its mode. Null, with the reason in `err`, when
  // it cannot be created or CheckWriteAccess refuses.
  virtual std::unique_ptr<File> CreateForWriting(const std::u16string& path, std::string* err) = 0;
  // Whether CreateForWriting may replace `path` now: a file that cannot be read or is
  // read-only is never replaced.
  virtual WriteAccess CheckWriteAccess(const std::u16string& path) = 0;
  // True when something exists at `path` (a dangling symbolic link too).
  virtual bool Exists(const std::u16string& path) = 0;
  // Removes the temporary files that saves of `path` killed before their rename left behind;
  // only under LockFolder, so that no save is running.
  virtual void RemoveSaveTemporaries(const std::u16string& path) = 0;
  // Watches the file at `path`: `changed` runs on the user-interface thread after each
  // change of it, until the watch goes. Null when the file cannot be watched.
  virtual std::unique_ptr<FileWatch> WatchFile(const std::u16string& path,
                                               FileWatch::Changed changed) = 0;
  // The advisory lock of `folder` held by a copy of the reader while it saves there; null
  // when it cannot be had.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::u16string& folder) = 0;
  // Full path of the running program, or empty.
  virtual std::u16string ProgramPath() = 0;
  // True when files can be created in `folder`.
  virtual bool IsWritableFolder(const std::u16string& folder) = 0;
  // True when `folder` belongs to a CMake build tree (it or a folder above it holds
  // CMakeCache.txt) and is no "bin" folder, where installs put their programs.
  virtual bool IsBuildTree(const std::u16string& folder) = 0;
  // The per-user data folder, created when needed; used by every copy not run from its build
  // tree.
  virtual std::u16string UserDataFolder() = 0;

  // The freedesktop base folders, not created here: $XDG_CONFIG_HOME (~/.config),
  // $XDG_DATA_HOME (~/.local/share), and $XDG_DATA_DIRS (/usr/local/share:/usr/share) in
  // order of preference.
  virtual std::u16string ConfigHome() = 0;
  virtual std::u16string DataHome() = 0;
  virtual std::vector<std::u16string> DataDirs() = 0;
  // True when something (file or folder) exists at `path`.
  virtual bool PathExists(const std::u16string& path) = 0;
  // Creates `folder` with its parents; true when it exists afterwards.
  virtual bool MakeFolder(const std::u16string& folder) = 0;
  // The names of the entries of `folder` (without "." and ".."); empty when it cannot be read.
  virtual std::vector<std::u16string> FolderEntries(const std::u16string& folder) = 0;
  // Moves the file `from` to `to` (a rename, or across file systems a complete copy and the
  // removal of `from`); never replaces an existing `to`. False with the reason in `err`.
  virtual bool MoveFile(const std::u16string& from, const std::u16string& to, std::string* err) = 0;
  // Removes the file `path`; true when it is gone.
  virtual bool RemoveFile(const std::u16string& path) = 0;
  // Runs `program` (looked up in PATH) with `arguments`, its output discarded, and waits;
  // false when it cannot be run or does not exit with status 0.
  virtual bool RunProgram(const std::u16string& program,
                          const std::vector<std::u16string>& arguments) = 0;
  // Adds `path`, opened at `now`, to the desktop's recently used files
  // ($XDG_DATA_HOME/recently-used.xbel) as GTK programs do; false with the reason in `err`.
  virtual bool AddRecentlyUsed(const std::u16string& path,
                               std::chrono::system_clock::time_point now, std::string* err) = 0;

  // The time now on a clock that never goes back (the test double's moves when told).
  virtual std::chrono::steady_clock::time_point Now() = 0;

  virtual Registry& registry() = 0;

  // True when code page 949 text can be converted.
  virtual bool HasCodePage949() = 0;
  // Converts code page 949 bytes to UTF-16, one unit per character (see IsCp949Pair);
  // a byte that starts no character and a pair without a mapping give U+FFFD.
  virtual std::u16string Cp949ToUtf16(std::string_view bytes) = 0;

  // Folds `text` to one case in place: at least ASCII letters, to lower case; Hangul stays
  // unchanged, and no other character becomes an ASCII letter.
  virtual void FoldCase(std::u16string& text) = 0;
  // Index of the first occurrence of `needle` in `text` at or after `from`, or -1.
  virtual ptrdiff_t FindText(std::u16string_view text, std::u16string_view needle, size_t from) = 0;

  virtual std::unique_ptr<Font> CreateFont(const FontSpec& fontSpec) = 0;
  // The logical dots per inch of the screen the reader shows on: the pixels (of the layout,
  // not the device) that make an inch of text.
  virtual int LogicalDpi() = 0;
  // A memory surface compatible with `screen`, with a bitmap of the given size.
  virtual std::unique_ptr<Surface> CreateMemorySurface(Surface& screen, int width, int height) = 0;
  // The memory surface a page is drawn on. `*kept` tells whether it still holds what the
  // last page surface held when it was released (a platform may keep one image from paint to
  // paint); otherwise its pixels are not known.
  virtual std::unique_ptr<Surface> CreatePageSurface(Surface& screen, int width, int height,
                                                     bool* kept) {
    *kept = false;
    return CreateMemorySurface(screen, width, height);
  }
  // A surface over a second page image of the last page surface's size and density, to draw
  // a page ahead into; null when the platform keeps no such image.
  virtual std::unique_ptr<Surface> CreateSpareSurface() { return nullptr; }
  // Exchanges the spare image and the page image, so that the next page surface holds what
  // was drawn ahead (and is kept); false, changing nothing, when the spare is missing, of
  // another size, or either image is being drawn on.
  virtual bool TakeSparePage() { return false; }
};

}  // namespace lirako
