// "place FILE" and "library": what the reader's library remembers, read with the reader's own
// code.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/encoding_detection.h"
#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "store/data_folder.h"
#include "store/library.h"
#include "tools/command.h"
#include "tools/json_text.h"
#include "view/book_places.h"

namespace lirako::tool {
namespace {

constexpr char kEncodingKey[] = "encoding";

// The data folder the reader uses when it lies where this tool does: an installed copy's
// user folder, or in a build tree the folder of the reader beside the tool's own folder.
std::u16string ReaderDataFolder(Platform& platform) {
  std::u16string folder = FindDataFolder(platform);
  const std::filesystem::path tools(ToUtf8(folder));
  const std::filesystem::path reader = tools.parent_path() / "app";
  std::error_code ec;
  if (tools.filename() == "tools" && std::filesystem::exists(reader / "lirako", ec))
    return FromUtf8(reader.string());
  return folder;
}

// Takes "--data DIR" out of `args`; false with the reason when it is incomplete.
bool TakeDataFolder(std::vector<std::string>& args, std::u16string* folder, std::string* err) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--data") continue;
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      *err = "--data needs a folder";
      return false;
    }
    *folder = FromUtf8(args[i + 1]);
    args.erase(args.begin() + static_cast<ptrdiff_t>(i),
               args.begin() + static_cast<ptrdiff_t>(i) + 2);
    return true;
  }
  return true;
}

// Opens the library of `folder` without making one where there is none; false when there is
// none, or with the reason in `err` when it cannot be opened.
bool OpenLibrary(HeadlessPlatform& platform, const std::u16string& folder, Library& library,
                 std::string* err) {
  const std::u16string path = DataFilePath(folder, Library::kFileName);
  if (!platform.PathExists(path)) return false;
  return library.Open(ToUtf8(path), err) != Library::Opened::kFailed;
}

std::string IsoTime(int64_t milliseconds) {
  const std::time_t time = static_cast<std::time_t>(milliseconds / 1000);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char out[32];
  std::strftime(out, sizeof out, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return out;
}

int RunPlace(const std::vector<std::string>& given) {
  std::vector<std::string> args = given;
  HeadlessPlatform platform;
  std::u16string folder;
  std::string err;
  if (!TakeDataFolder(args, &folder, &err)) return Fail(err);
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-')
    return Fail("usage: lirakotool place FILE [--data DIR]");
  if (folder.empty()) folder = ReaderDataFolder(platform);
  const std::u16string path =
      FromUtf8(std::filesystem::absolute(args[0]).lexically_normal().string());
  std::string reason;
  if (!platform.OpenForReading(path, &reason))
    return Fail("cannot open " + args[0] + ": " + reason);
  Library library;
  BookPlace place;
  if (OpenLibrary(platform, folder, library, &err)) {
    // The encoding is found as the reader finds it: the one chosen for the book, else the
    // one its bytes show.
    std::optional<TextEncoding> encoding;
    if (std::optional<std::string> chosen = library.BookValue(path, kEncodingKey))
      encoding = EncodingFromName(*chosen);
    EncodingGuess guess;
    if (!encoding)
      encoding = DetectTextEncoding(platform, path, &guess, nullptr) ? guess.encoding
                                                                     : TextEncoding::kCp949;
    place = BookPlaces(platform, library).Find(path, *encoding);
  } else if (!err.empty()) {
    return Fail(err);
  }
  std::printf("{\"file\": %s, \"position\": %d, \"matched\": \"%s\"}\n", JsonString(path).c_str(),
              place.position, std::string(PlaceMatchName(place.matched)).c_str());
  return 0;
}

int RunLibrary(const std::vector<std::string>& given) {
  std::vector<std::string> args = given;
  HeadlessPlatform platform;
  std::u16string folder;
  std::string err;
  if (!TakeDataFolder(args, &folder, &err)) return Fail(err);
  if (!args.empty()) return Fail("usage: lirakotool library [--data DIR]");
  if (folder.empty()) folder = ReaderDataFolder(platform);
  Library library;
  if (!OpenLibrary(platform, folder, library, &err)) return err.empty() ? 0 : Fail(err);
  for (const LibraryBook& book : library.All()) {
    std::printf(
        "{\"file\": %s, \"size\": %lld, \"encoding\": %s, \"position\": %d, \"progress\": %.4f, "
        "\"last_read\": \"%s\"}\n",
        JsonString(book.path).c_str(), static_cast<long long>(book.size),
        JsonString(FromUtf8(book.encoding)).c_str(), book.position, book.progress,
        IsoTime(book.lastRead).c_str());
  }
  return 0;
}

const CommandRegistration kPlace({
    "place",
    "  place FILE [--data DIR]         print where the reader opens FILE and how its library\n"
    "                                  knew it (path, content, text or none), as JSON",
    RunPlace,
});

const CommandRegistration kLibrary({
    "library",
    "  library [--data DIR]            print every book the reader's library remembers, most\n"
    "                                  recently read first, one JSON line each",
    RunLibrary,
});

}  // namespace
}  // namespace lirako::tool
