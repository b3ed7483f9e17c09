#include "store/settings_file.h"

#include "store/dat_file.h"
#include "store/data_folder.h"
#include "store/record_string.h"
#include "store/set_param_format.h"

namespace lirako {
namespace {

using set_param::kMaxStringUnits;

bool ReadUnsigned(CDatFile& file, uint32_t* value) {
  int32_t raw = 0;
  if (!file.ReadInt32(&raw)) return false;
  *value = static_cast<uint32_t>(raw);
  return true;
}

// Reads fields 1 to 21; each one the file lacks keeps its value.
void ReadFixedFields(CDatFile& file, ReaderSettings& s) {
  ReadUnsigned(file, &s.stateFlags);
  file.ReadInt32(&s.marginX);
  file.ReadInt32(&s.marginY);
  file.ReadInt32(&s.lineGap);
  file.ReadInt32(&s.sharedLines);
  file.ReadInt32(&s.fontSize);
  file.ReadInt32(&s.fontBold);
  ReadUnsigned(file, &s.textColor);
  ReadUnsigned(file, &s.backColor);
  file.ReadInt32(&s.clearType);
  file.ReadInt32(&s.landscape);
  file.ReadInt32(&s.barMode);
  file.ReadInt32(&s.screenKeys);
  file.ReadInt32(&s.justify);
  uint8_t face[set_param::kFontFaceBytes];
  if (file.ReadBytes(face, sizeof face)) {
    for (size_t i = 0; i < s.fontFace.size(); ++i) {
      s.fontFace[i] = static_cast<char16_t>(face[2 * i] | (face[2 * i + 1] << 8));
    }
  }
  file.ReadInt32(&s.hardwareButtons);
  for (int32_t& function : s.buttonFunctions)
    file.ReadInt32(&function);
  file.ReadInt32(&s.smoothRefresh);
  file.ReadInt32(&s.refreshInterval);
  file.ReadInt32(&s.tableConversion);
  file.ReadInt32(&s.dialDevice);
}

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
  if (!status.opened) return status;
  file.GetHeader(nullptr, &status.version);
  if (status.version != set_param::kVersion) return status;

  ReaderSettings read = settings;
  ReadFixedFields(file, read);
  // Once the file has ended every later read fails, so the remaining lists come out empty.
  if (ReadStringList(file, read.unlinkedExtensions) == RecordRead::kRefused ||
      ReadStringList(file, read.linkedExtensions) == RecordRead::kRefused ||
      ReadPairList(file, read.savedFileClasses) == RecordRead::kRefused) {
    return status;
  }
  settings = std::move(read);
  status.used = true;
  return status;
}

bool WriteSettingsFile(Platform& platform, const std::u16string& path, const ReaderSettings& s) {
  CDatFile file(platform);
  file.SetHeader(set_param::kHeaderName, set_param::kVersion);
  if (!file.Open(CDatFile::kWrite, path)) return false;
  bool ok = true;
  for (int32_t value : {static_cast<int32_t>(s.stateFlags), s.marginX, s.marginY, s.lineGap,
                        s.sharedLines, s.fontSize, s.fontBold, static_cast<int32_t>(s.textColor),
                        static_cast<int32_t>(s.backColor), s.clearType, s.landscape, s.barMode,
                        s.screenKeys, s.justify}) {
    ok = file.WriteInt32(value) && ok;
  }
  uint8_t face[set_param::kFontFaceBytes];
  for (size_t i = 0; i < s.fontFace.size(); ++i) {
    face[2 * i] = static_cast<uint8_t>(s.fontFace[i] & 0xFF);
    face[2 * i + 1] = static_cast<uint8_t>(s.fontFace[i] >> 8);
  }
  ok = file.WriteBytes(face, sizeof face) && ok;
  ok = file.WriteInt32(s.hardwareButtons) && ok;
  for (int32_t function : s.buttonFunctions)
    ok = file.WriteInt32(function) && ok;
  for (int32_t value : {s.smoothRefresh, s.refreshInterval, s.tableConversion, s.dialDevice}) {
    ok = file.WriteInt32(value) && ok;
  }
  ok = WriteStringList(file, s.unlinkedExtensions) && ok;
  ok = WriteStringList(file, s.linkedExtensions) && ok;
  ok = WritePairList(file, s.savedFileClasses) && ok;
  return file.Close() && ok;
}

bool LoadSettings(Platform& platform, const std::u16string& dataFolder, ReaderSettings& settings) {
  return ReadSettingsFile(platform, DataFilePath(dataFolder, set_param::kFileName), settings).used;
}

bool SaveSettings(Platform& platform, const std::u16string& dataFolder,
                  const ReaderSettings& settings) {
  return WriteSettingsFile(platform, DataFilePath(dataFolder, set_param::kFileName), settings);
}

}  // namespace lirako
