#include <string>
#include <vector>

#include "engine/code_table.h"
#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "tools/command.h"

namespace lirako::tool {
namespace {

// Appends the little-endian unit that code page 949 gives the pair lead, trail.
void AppendPair(Platform& platform, int lead, int trail, std::string* out) {
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  std::u16string unit = platform.Cp949ToUtf16(std::string_view(pair, 2));
  char16_t u = unit.empty() ? u'\uFFFD' : unit[0];
  out->push_back(static_cast<char>(u & 0xFF));
  out->push_back(static_cast<char>(u >> 8));
}

int Run(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    return Fail("usage: lirakotool hantable OUT");
  }
  HeadlessPlatform platform;
  if (!platform.HasCodePage949()) return Fail("this system cannot convert code page 949");
  std::string table;
  table.reserve(kCodeTableBytes);
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail)
      AppendPair(platform, lead, trail, &table);
  }
  for (int lead = 0x81; lead <= 0xC5; ++lead) {
    for (int trail = 0x41; trail <= 0xA0; ++trail)
      AppendPair(platform, lead, trail, &table);
  }
  std::string err;
  auto file = platform.CreateForWriting(PathFromBytes(args[0]), &err);
  if (!file) return Fail("cannot create " + err);
  bool written = file->Write(table.data(), table.size()) == table.size();
  if (!file->Close() || !written)
    return Fail("cannot write " + args[0] + ": " + file->FailureReason());
  return 0;
}

const CommandRegistration kRegistration({
    "hantable",
    "  hantable OUT                    write the code page 949 table hantable.dat to OUT",
    Run,
});

}  // namespace
}  // namespace lirako::tool
