// SPDX-License-Identifier: MIT
#include "tamsik-info/command_line.h"

#include <algorithm>
#include <string_view>

namespace {

bool IsOption(const char* argument) {
  std::string_view text(argument);
  return text.size() > 1 && text[0] == '-' && text != "--";
}

}  // namespace

TInfoCommand ParseInfoCommand(std::span<char*> arguments) {
  auto endOfOptions = std::find_if(arguments.begin(), arguments.end(),
                                   [](const char* a) { return std::string_view(a) == "--"; });
  auto optionsEnd = std::stable_partition(arguments.begin(), endOfOptions, IsOption);
  auto pathsBegin = optionsEnd;
  if (endOfOptions != arguments.end()) {
    // The "--" moves in front of the paths, out of their way.
    std::rotate(optionsEnd, endOfOptions, endOfOptions + 1);
    ++pathsBegin;
  }

  TInfoCommand command;
  command.Paths = std::span<char* const>(pathsBegin, arguments.end());
  for (auto option = arguments.begin(); option != optionsEnd; ++option) {
    std::string_view text(*option);
    if (text == "--full") {
      command.Options.Full = true;
    } else if (text == "--json") {
      command.Options.Json = true;
    } else if (text == "--help" || text == "-h") {
      command.Options.Help = true;
    } else if (text == "--version") {
      command.Options.Version = true;
    } else {
      command.Error = "unknown option '" + std::string(text) + "'";
      return command;
    }
  }
  if (command.Paths.empty() && !command.Options.Help && !command.Options.Version)
    command.Error = "no file given";
  return command;
}
