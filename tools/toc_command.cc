#include <cstdio>
#include <string>
#include <vector>

#include "engine/chapter_outline.h"
#include "engine/chapter_scanner.h"
#include "engine/encoding_detection.h"
#include "engine/rule_census.h"
#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "tools/command.h"
#include "tools/engine_session.h"
#include "tools/json_text.h"

namespace lirako::tool {
namespace {

int Run(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::string encodingName = "auto";
  std::string rule;
  bool listRules = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--rules") {
      listRules = true;
    } else if (a == "--encoding" || a == "--rule") {
      if (i + 1 >= args.size()) return Fail(a + " needs a value");
      (a == "--encoding" ? encodingName : rule) = args[++i];
    } else if (a.rfind("--", 0) == 0) {
      return Fail("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 1)
    return Fail("usage: lirakotool toc FILE [--encoding E] [--rule REGEX] [--rules]");
  HeadingRules rules;
  std::string error;
  if (!rules.SetUserRule(rule, &error)) return Fail("invalid rule: " + error);
  HeadlessPlatform platform;
  const std::u16string path = PathFromBytes(positional[0]);
  std::optional<TextEncoding> chosen;
  if (!ParseEncodingOption(encodingName, &chosen)) {
    return Fail("unknown encoding '" + encodingName + "'");
  }
  EncodingGuess guess;
  if (!chosen && !DetectTextEncoding(platform, path, &guess, &error)) {
    return Fail(error + ": " + positional[0]);
  }
  const TextEncoding encoding = chosen.value_or(guess.encoding);
  std::string reason;
  std::unique_ptr<File> file = platform.OpenForReading(path, &reason);
  if (!file) return Fail("cannot open " + positional[0] + ": " + reason);
  if (listRules) {
    RuleCensus census;
    if (!RuleCensus::Take(*file, rules, encoding, Cp949Snapshot::Take(platform), {}, &census,
                          &error)) {
      return Fail(error + ": " + positional[0]);
    }
    for (const auto& [name, count] : census.counts) {
      std::printf("{\"rule\": %s, \"chapters\": %zu}\n", JsonString(FromUtf8(name)).c_str(), count);
    }
    return 0;
  }
  ChapterScanner scanner(rules, encoding, Cp949Snapshot::Take(platform));
  ChapterScanner::Callbacks callbacks;
  std::vector<Chapter> headings;
  callbacks.found = [&headings](Chapter&& chapter) { headings.push_back(std::move(chapter)); };
  if (!scanner.Scan(*file, callbacks, &error)) return Fail(error + ": " + positional[0]);
  std::vector<Chapter> chapters = ChapterOutline::Compose(std::move(headings), scanner.titled());
  if (chapters.empty()) chapters = scanner.sections();
  for (const Chapter& chapter : chapters) {
    std::printf("{\"position\": %d, \"title\": %s, \"rule\": %s, \"level\": %d}\n",
                chapter.position, JsonString(FromUtf8(chapter.title)).c_str(),
                JsonString(FromUtf8(chapter.rule)).c_str(), chapter.level);
  }
  return 0;
}

const CommandRegistration kRegistration({
    "toc",
    "  toc FILE [--encoding auto|cp949|utf-8|utf-16le|utf-16be] [--rule REGEX] [--rules]\n"
    "                                  list the chapter headings of FILE, one JSON line each,\n"
    "                                  with one more heading rule (RE2) when given; --rules\n"
    "                                  lists the rules FILE could use and their chapters",
    Run,
});

}  // namespace
}  // namespace lirako::tool
