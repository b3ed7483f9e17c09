#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"
#include "store/reader_settings.h"

namespace lirako {

// Makes the reader the program that opens files of chosen extensions: the file class
// "lirakofile" and the extension keys under HKEY_CLASSES_ROOT, with the extension lists and
// remembered previous classes kept in the settings. Registry failures are not reported.
class FileAssociation {
 public:
  // What registering a typed extension did.
  enum class NewExtension { kAdded, kEmpty, kContainsDot, kAlreadyListed };

  // `dataFolder` is where the program file lies; `settings` holds the lists.
  FileAssociation(Registry& registry, std::u16string dataFolder, ReaderSettings& settings);

  // Writes the "lirakofile" class keys again.
  void RegisterFileClass();
  // Points the extension (with its dot) at the class, remembering a previous class that
  // reads as a string of at most 99 characters.
  void LinkExtension(const std::u16string& extension);
  // Restores the first remembered class of the extension, or removes its key.
  void UnlinkExtension(const std::u16string& extension);

  // "◀": registers the class; with a selected not-linked extension, links it and moves it
  // to the end of the linked list.
  void LinkSelected(const std::optional<std::u16string>& selected);
  // "▷": with a selected linked extension, unlinks it and moves it to the end of the
  // not-linked list.
  void UnlinkSelected(const std::optional<std::u16string>& selected);
  // "등록": appends "." + `typed` to the not-linked list unless it is empty, holds a dot or is
  // listed already (case-sensitive). The registry is not touched.
  NewExtension RegisterExtension(const std::u16string& typed);

  // The open command of the class: "\"" + dataFolder + "/lirako\" %1".
  std::u16string OpenCommand() const;

 private:
  Registry& registry_;
  std::u16string dataFolder_;
  ReaderSettings& settings_;
};

}  // namespace lirako
