#include "store/settings_file.h"

#include "platform/utf.h"
#include "store/damaged_copy.h"
#include "store/dat_file.h"
#include "store/data_folder.h"
#include "store/record_string.h"
#include "store/set_param_format.h"

namespace lirako {
namespace {

using set_param::kMaxStringUnits;

// Reads each fixed field in turn; a field the file lacks keeps its value.
struct FieldReader {
  CDatFile& file;

  void operator()(int64_t, int32_t& value) { file.ReadInt32(&value); }
  void operator()(int64_t, BarMode& mode) {
    int32_t raw = 0;
    if (file.ReadInt32(&raw)) mode = static_cast<BarMode>(raw);
  }
  void operator()(int64_t, uint32_t& value) {
    int32_t raw = 0;
    if (file.ReadInt32(&raw)) value = static_cast<uint32_t>(raw);
  }
  void operator()(int64_t, std::array<char16_t, ReaderSettings::kFontFaceUnits>& face) {
    uint8_t bytes[2 * ReaderSettings::kFontFaceUnits];
    if (!file.ReadBytes(bytes, sizeof bytes)) return;
    for (size_t i = 0; i < face.size(); ++i)
      face[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  void operator()(int64_t offset, std::array<int32_t, ReaderSettings::kButtonFunctionCount>& all) {
    for (int32_t& function : all)
      (*this)(offset, function);
  }
};

// Writes each fixed field in turn; `ok` turns false at the first short write.
struct FieldWriter {
  CDatFile& file;
  bool ok = true;

  void operator()(int64_t, int32_t value) { ok = file.WriteInt32(value) && ok; }
  void operator()(int64_t, BarMode mode) { ok = file.WriteInt32(static_cast<int32_t>(mode)) && ok; }
  void operator()(int64_t, uint32_t value) {
    ok = file.WriteInt32(static_cast<int32_t>(value)) && ok;
  }
  void operator()(int64_t, const std::array<char16_t, ReaderSettings::kFontFaceUnits>& face) {
    uint8_t bytes[2 * ReaderSettings::kFontFaceUnits];
    for (size_t i = 0; i < face.size(); ++i) {
      bytes[2 * i] = static_cast<uint8_t>(face[i] & 0xFF);
      bytes[2 * i + 1] = static_cast<uint8_t>(face[i] >> 8);
    }
    ok = file.WriteBytes(bytes, sizeof bytes) && ok;
  }
  void operator()(int64_t offset,
                  const std::array<int32_t, ReaderSettings::kButtonFunctionCount>& all) {
    for (int32_t function : all)
      (*this)(offset, function);
  }
};

// Replaces `list` by the strings stored next. When the file ends inside the list, the
// strings read whole stay and the rest are not added.
RecordRead ReadStringList(CDatFile& file, std::vector<std::u16string>& list) {
  list.clear();
  int32_t count = 0;
  RecordRead r = ReadRecordCount(file, &count);
  for (int32_t i = 0; r == RecordRead::kOk && i < count; ++i) {
    std::u16string text;
    r = ReadRecordString(file, kMaxStringUnits, &text);
    if (r == RecordRead::kOk) list.push_back(std::move(text));
  }
  return r;
}

RecordRead ReadPairList(CDatFile& file, std::vector<SavedFileClass>& list) {
  list.clear();
  int32_t count = 0;
  RecordRead r = ReadRecordCount(file, &count);
  for (int32_t i = 0; r == RecordRead::kOk && i < count; ++i) {
    SavedFileClass pair;
    r = ReadRecordString(file, kMaxStringUnits, &pair.extension);
    if (r == RecordRead::kOk) r = ReadRecordString(file, kMaxStringUnits, &pair.fileClass);
    if (r == RecordRead::kOk) list.push_back(std::move(pair));
  }
  return r;
}

bool WriteStringList(CDatFile& file, const std::vector<std::u16string>& list) {
  int32_t count = 0;
  for (const std::u16string& text : list)
    count += FitsRecordString(text, kMaxStringUnits);
  bool ok = file.WriteInt32(count);
  for (const std::u16string& text : list) {
    if (FitsRecordString(text, kMaxStringUnits)) ok = WriteRecordString(file, text) && ok;
  }
  return ok;
}

bool Fits(const SavedFileClass& pair) {
  return FitsRecordString(pair.extension, kMaxStringUnits) &&
         FitsRecordString(pair.fileClass, kMaxStringUnits);
}

bool WritePairList(CDatFile& file, const std::vector<SavedFileClass>& list) {
  int32_t count = 0;
  for (const SavedFileClass& pair : list)
    count += Fits(pair);
  bool ok = file.WriteInt32(count);
  for (const SavedFileClass& pair : list) {
    if (!Fits(pair)) continue;
    ok = WriteRecordString(file, pair.extension) && ok;
    ok = WriteRecordString(file, pair.fileClass) && ok;
  }
  return ok;
}

}  // namespace

SettingsFileStatus ReadSettingsFile(Platform& platform, const std::u16string& path,
                                    ReaderSettings& settings) {
  SettingsFileStatus status;
  CDatFile file(platform);
  status.opened = file.Open(CDatFile::kRead, path);
  if (!status.opened) {
    status.state = platform.Exists(path) ? LoadState::kUnreadable : LoadState::kMissing;
    status.error = "the file is missing or cannot be opened";
    return status;
  }
  status.state = LoadState::kDamaged;
  file.GetHeader(nullptr, &status.version);
  if (status.version != set_param::kVersion) {
    status.error = "version " + std::to_string(status.version) + ", not " +
                   std::to_string(set_param::kVersion);
    return status;
  }

  ReaderSettings read = settings;
  set_param::ForEachFixedField(read, FieldReader{file});
  status.used = true;
  // Each list is taken only when it was read within the format; after one that was not,
  // where the next begins is unknown. Once the file has ended every later read fails, so the
  // remaining lists come out empty.
  std::vector<std::u16string> unlinked;
  std::vector<std::u16string> linked;
  std::vector<SavedFileClass> pairs;
  RecordRead r = ReadStringList(file, unlinked);
  if (r != RecordRead::kRefused) {
    read.unlinkedExtensions = std::move(unlinked);
    r = ReadStringList(file, linked);
  }
  if (r != RecordRead::kRefused) {
    read.linkedExtensions = std::move(linked);
    r = ReadPairList(file, pairs);
  }
  if (r != RecordRead::kRefused) read.savedFileClasses = std::move(pairs);
  settings = std::move(read);
  if (r == RecordRead::kRefused) {
    status.error = "a list holds a count or a string outside the format";
  } else if (r == RecordRead::kEnded) {
    status.error = "the file ends before its lists do";
  } else if (file.BytesLeft() != 0) {
    status.error = "bytes follow the last list";
  } else {
    status.state = LoadState::kClean;
  }
  return status;
}

bool WriteSettingsFile(Platform& platform, const std::u16string& path, const ReaderSettings& s,
                       std::string* err) {
  CDatFile file(platform);
  file.SetHeader(set_param::kHeaderName, set_param::kVersion);
  if (!file.Open(CDatFile::kWrite, path, err)) return false;
  FieldWriter fields{file};
  set_param::ForEachFixedField(s, fields);
  bool ok = fields.ok;
  ok = WriteStringList(file, s.unlinkedExtensions) && ok;
  ok = WriteStringList(file, s.linkedExtensions) && ok;
  ok = WritePairList(file, s.savedFileClasses) && ok;
  return file.Close(err) && ok;
}

bool LoadSettings(Platform& platform, const std::u16string& dataFolder, ReaderSettings& settings,
                  std::string* err) {
  SettingsFileStatus status =
      ReadSettingsFile(platform, DataFilePath(dataFolder, set_param::kFileName), settings);
  if (!status.used && err) *err = status.error;
  return status.used;
}

bool SaveSettings(Platform& platform, const std::u16string& dataFolder,
                  const ReaderSettings& settings, std::string* err) {
  std::u16string path = DataFilePath(dataFolder, set_param::kFileName);
  // Without the lock (a folder that admits no lock file) the save still goes ahead.
  std::unique_ptr<FolderLock> lock = platform.LockFolder(dataFolder);
  ReaderSettings onDisk;
  LoadState state = ReadSettingsFile(platform, path, onDisk).state;
  if (state == LoadState::kUnreadable) {
    if (err) *err = ToUtf8(path) + ": cannot be read, so it is kept as it is";
    return false;
  }
  if (state == LoadState::kDamaged && !KeepDamagedCopy(platform, path, err)) return false;
  return WriteSettingsFile(platform, path, settings, err);
}

}  // namespace lirako
