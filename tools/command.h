#pragma once

#include <string>
#include <vector>

namespace lirako::tool {

// One subcommand of lirakotool: gets the arguments after its name, returns the exit code.
using CommandFunction = int (*)(const std::vector<std::string>& args);

struct Command {
  const char* name;
  const char* usage;  // one or more lines, shown by --help
  CommandFunction run;
};

// Each subcommand's file registers it with a static CommandRegistration.
struct CommandRegistration {
  explicit CommandRegistration(Command command);
};

const std::vector<Command>& Commands();

// Prints "lirakotool: MESSAGE" to standard error and returns 2.
int Fail(const std::string& message);

}  // namespace lirako::tool
