#include <cstdio>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "store/settings_file.h"
#include "tools/command.h"
#include "tools/json_text.h"

namespace lirako::tool {
namespace {

std::string Field(const char* name, long long value) {
  return std::string("\"") + name + "\": " + std::to_string(value);
}

std::string StringArray(const std::vector<std::u16string>& list) {
  std::string out = "[";
  for (size_t i = 0; i < list.size(); ++i)
    out += (i ? ", " : "") + JsonString(list[i]);
  return out + "]";
}

std::string SettingsJson(const ReaderSettings& s, const SettingsFileStatus& status) {
  std::vector<std::string> fields = {
      Field("version", status.version),
      std::string("\"loaded\": ") + (status.used ? "true" : "false"),
      Field("stateFlags", s.stateFlags),
      Field("marginX", s.marginX),
      Field("marginY", s.marginY),
      Field("lineGap", s.lineGap),
      Field("sharedLines", s.sharedLines),
      Field("fontSize", s.fontSize),
      Field("fontBold", s.fontBold),
      Field("textColor", s.textColor),
      Field("backColor", s.backColor),
      Field("clearType", s.clearType),
      Field("landscape", s.landscape),
      Field("barMode", static_cast<int32_t>(s.barMode)),
      Field("screenKeys", s.screenKeys),
      Field("justify", s.justify),
      "\"fontFace\": " + JsonString(s.FontFaceName()),
      Field("hardwareButtons", s.hardwareButtons),
  };
  std::string buttons = "\"buttonFunctions\": [";
  for (size_t i = 0; i < s.buttonFunctions.size(); ++i) {
    buttons += (i ? ", " : "") + std::to_string(s.buttonFunctions[i]);
  }
  fields.push_back(buttons + "]");
  fields.push_back(Field("smoothRefresh", s.smoothRefresh));
  fields.push_back(Field("refreshInterval", s.refreshInterval));
  fields.push_back(Field("tableConversion", s.tableConversion));
  fields.push_back(Field("dialDevice", s.dialDevice));
  fields.push_back("\"unlinkedExtensions\": " + StringArray(s.unlinkedExtensions));
  fields.push_back("\"linkedExtensions\": " + StringArray(s.linkedExtensions));
  std::string pairs = "\"savedFileClasses\": [";
  for (size_t i = 0; i < s.savedFileClasses.size(); ++i) {
    const SavedFileClass& p = s.savedFileClasses[i];
    pairs += (i ? ", [" : "[") + JsonString(p.extension) + ", " + JsonString(p.fileClass) + "]";
  }
  fields.push_back(pairs + "]");

  std::string out = "{";
  for (size_t i = 0; i < fields.size(); ++i)
    out += (i ? ", " : "") + fields[i];
  return out + "}";
}

int Run(const std::vector<std::string>& args) {
  HeadlessPlatform platform;
  if (args.size() == 2 && args[0] == "--write-defaults") {
    if (!WriteSettingsFile(platform, PathFromBytes(args[1]), ReaderSettings())) {
      return Fail("cannot write " + args[1]);
    }
    return 0;
  }
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    return Fail("usage: lirakotool settings [--write-defaults] FILE");
  }
  ReaderSettings settings;
  SettingsFileStatus status = ReadSettingsFile(platform, PathFromBytes(args[0]), settings);
  if (!status.opened) return Fail("cannot open " + args[0]);
  std::printf("%s\n", SettingsJson(settings, status).c_str());
  return 0;
}

const CommandRegistration kRegistration({
    "settings",
    "  settings FILE                   print the settings file FILE (SetParam.Dat) as JSON\n"
    "  settings --write-defaults FILE  write the settings file of a fresh reader",
    Run,
});

}  // namespace
}  // namespace lirako::tool
