#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/command.h"

namespace lirako::tool {
namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

}  // namespace

CommandRegistration::CommandRegistration(Command command) {
  Registry().push_back(command);
}

const std::vector<Command>& Commands() {
  return Registry();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "lirakotool: %s\n", message.c_str());
  return 2;
}

namespace {

void PrintUsage(FILE* out) {
  std::fprintf(
      out,
      "usage: lirakotool COMMAND ARGS...\n       lirakotool --help | --version\n\ncommands:\n");
  for (const Command& c : Commands())
    std::fprintf(out, "%s\n", c.usage);
}

}  // namespace

}  // namespace lirako::tool

int main(int argc, char** argv) {
  using namespace lirako::tool;
  // A file-size limit fails a write instead of killing the tool.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    PrintUsage(args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version") {
    std::printf("lirakotool %s\n", LIRAKO_VERSION);
    return 0;
  }
  if (args[0].starts_with("-"))
    return Fail("unknown option '" + args[0] + "' (see lirakotool --help)");
  for (const Command& c : Commands()) {
    if (args[0] == c.name) {
      std::vector<std::string> rest(args.begin() + 1, args.end());
      if (!rest.empty() && (rest[0] == "--help" || rest[0] == "-h")) {
        std::printf("usage:\n%s\n", c.usage);
        return 0;
      }
      return c.run(rest);
    }
  }
  return Fail("unknown command '" + args[0] + "' (see lirakotool --help)");
}
