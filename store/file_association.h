#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"
#include "store/reader_settings.h"

namespace lirako {

// Makes the reader the program that opens files of chosen extensions: the file class
// "lirakofile" and the extension keys under HKEY_CLASSES_ROOT, with the extension lists and
// remembered previous classes kept in the settings. Registry failures are not reported.
class DesktopAssociation;

class FileAssociation {
 public:
  // What registering a typed extension did.
  enum class NewExtension { kAdded, kEmpty, kContainsDot, kAlreadyListed };

  // `dataFolder` is the data folder and `programPath` the running program (empty: unknown);
  // `settings` holds the lists. With `desktop`, linking and unlinking also change the
  // desktop's default application.
  FileAssociation(Registry& registry, std::u16string dataFolder, ReaderSettings& settings,
                  std::u16string programPath = {}, DesktopAssociation* desktop = nullptr);

  // Writes the "lirakofile" class keys again.
  void RegisterFileClass();
  // Points the extension (with its dot) at the class, remembering a previous class that
  // reads as a string of at most 99 characters.
  void LinkExtension(const std::u16string& extension);
  // Restores the first remembered class of the extension, or removes its key.
  void UnlinkExtension(const std::u16string& extension);

  // "◀": registers the class; with a selected not-linked extension, links it (in the
  // registry store and on the desktop) and moves it to the end of the linked list. False with
  // the reason in `err` when the desktop's files could not be changed; the registry and the
  // lists are changed all the same.
  bool LinkSelected(const std::optional<std::u16string>& selected, std::string* err = nullptr);
  // "▷": with a selected linked extension, unlinks it (registry store and desktop) and moves
  // it to the end of the not-linked list; false as for LinkSelected.
  bool UnlinkSelected(const std::optional<std::u16string>& selected, std::string* err = nullptr);
  // "등록": appends "." + `typed` to the not-linked list unless it is empty, holds a dot or is
  // listed already (case-sensitive). The registry is not touched.
  NewExtension RegisterExtension(const std::u16string& typed);

  // The open command of the class: "\"" + dataFolder + "/lirako\" %1" while the program
  // lies in the data folder; an installed copy (its data folder elsewhere) names its own
  // program path instead.
  std::u16string OpenCommand() const;

 private:
  Registry& registry_;
  std::u16string dataFolder_;
  ReaderSettings& settings_;
  std::u16string programPath_;
  DesktopAssociation* desktop_;
};

}  // namespace lirako
