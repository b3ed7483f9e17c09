#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "store/reader_store.h"

namespace lirako {

// The desktop's side of linking an extension, beside the registry store that no Linux
// program reads: the reader becomes the default application of the extension's MIME type in
// $XDG_CONFIG_HOME/mimeapps.list ("[Default Applications]"), and unlinking restores the
// default it had before. The type linked is kept in the reader store
// ("association.EXT.type"); the default replaced is kept where every running copy sees it,
// in $XDG_CONFIG_HOME/lirako/replaced-defaults.list (a "[Default Applications]" group of the
// same form), written before mimeapps.list and under the lock of that folder, so that a
// second link (another window, or after the reader was killed) never takes the reader itself
// for the previous default. An extension the shared MIME database does not know gets a
// type of its own, "text/x-lirako-EXT" (a kind of plain text), from a glob in
// $XDG_DATA_HOME/mime/packages; without an installed desktop entry of the reader one is
// written to $XDG_DATA_HOME/applications. System files are only read; every write is atomic.
class DesktopAssociation {
 public:
  static constexpr char kDesktopId[] = "io.github.lirako.Lirako.desktop";

  // `programPath` is the reader program a written desktop entry starts.
  DesktopAssociation(Platform& platform, ReaderStore& store, std::u16string programPath);

  // Makes the reader the default of the extension's type; false with the reason in `err`
  // when a file could not be written (nothing half-written is left behind).
  bool Link(const std::u16string& extension, std::string* err);
  // Puts back the default remembered when the extension was linked, or removes the reader's
  // default when there was none; a default the user has changed since to another program
  // stays. False with the reason in `err`.
  bool Unlink(const std::u16string& extension, std::string* err);

  // The MIME type of "*EXT" in the shared MIME database (user's first), or empty.
  std::string KnownMimeType(const std::u16string& extension);
  // The type given to an extension the database does not know.
  static std::string OwnMimeType(const std::u16string& extension);
  // The reader-store key part that stands for an extension: lower-case letters, digits and
  // "-" as they are, every other byte of its UTF-8 as "_" and two hexadecimal digits.
  static std::string StoreKeyOf(const std::u16string& extension);

  std::u16string MimeAppsPath() { return platform_.ConfigHome() + u"/mimeapps.list"; }
  std::u16string ReplacedDefaultsPath() {
    return platform_.ConfigHome() + u"/lirako/replaced-defaults.list";
  }

 private:
  // The lock of $XDG_CONFIG_HOME/lirako, held while the desktop's defaults are changed; null
  // with the reason in `err` when it cannot be had.
  std::unique_ptr<FolderLock> LockSharedFolder(std::string* err);
  bool EnsureDesktopEntry(std::string* err);
  bool AddMimeGlob(const std::u16string& extension, const std::string& mimeType, std::string* err);
  // Reads mimeapps.list and the remembered defaults (either empty when missing); false with
  // the reason when one exists but cannot be read, so that it is left alone, not replaced.
  bool ReadDefaults(std::string* mimeApps, std::string* replaced, std::string* err);
  // Makes the reader the default of `mimeType`, first remembering the default it replaces
  // (when that is the reader already, what is remembered stays, or `legacy` is remembered).
  bool TakeDefault(const std::string& mimeType, const std::optional<std::string>& legacy,
                   std::string* err);
  // Puts back the remembered default of `mimeType` (`legacy`, a value an earlier version
  // kept in the reader store, when none is remembered) while the default is still the
  // reader's, and forgets it.
  bool GiveBackDefault(const std::string& mimeType, const std::optional<std::string>& legacy,
                       std::string* err);

  Platform& platform_;
  ReaderStore& store_;
  std::u16string programPath_;
};

}  // namespace lirako
