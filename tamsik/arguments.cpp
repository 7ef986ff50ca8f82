// SPDX-License-Identifier: MIT
#include "tamsik/arguments.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

bool IsSeparator(unsigned char byte) { return byte >= 1 && byte <= 32; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  // A zero byte ends the command line as it ends the platform's text.
  commandLine = commandLine.substr(0, commandLine.find('\0'));
  std::vector<std::string> arguments;
  std::size_t at = 0, end = commandLine.size();
  for (;;) {
    for (;;) {
      while (at < end && IsSeparator(static_cast<unsigned char>(commandLine[at]))) ++at;
      if (at + 1 < end && commandLine[at] == '"' && commandLine[at + 1] == '"')
        at += 2;
      else
        break;
    }
    std::string argument;
    while (at < end && !IsSeparator(static_cast<unsigned char>(commandLine[at]))) {
      if (commandLine[at] != '"') {
        argument += commandLine[at++];
        continue;
      }
      std::size_t close = commandLine.find('"', at + 1);
      if (close == std::string_view::npos) close = end;
      argument.append(commandLine.substr(at + 1, close - at - 1));
      at = close < end ? close + 1 : end;
    }
    if (argument.empty()) return arguments;
    arguments.push_back(std::move(argument));
  }
}

std::vector<std::string> ProgramArguments([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
  std::vector<std::string> arguments = SplitCommandLine(GetCommandLineA());
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
#else
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] != '\0') arguments.emplace_back(argv[i]);
  return arguments;
#endif
}
