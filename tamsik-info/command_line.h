// SPDX-License-Identifier: MIT
// The command line of tamsik-info: options anywhere before "--", paths everywhere else.
#pragma once

#include <span>
#include <string>
#include <vector>

enum class TOutputForm { Text, Json, Csv };

struct TInfoOptions {
  bool Full = false;  // read as tamsik-full does: FileVersion holds "Full Version"
  TOutputForm Form = TOutputForm::Text;
  bool Recursive = false;  // walk directory arguments instead of calling them missing
  bool Null = false;       // lists separate their paths with NUL bytes instead of line ends
  bool AnyFile = false;    // read version data whatever the shell's executable test says
  std::vector<const char*> FilesFrom =
      {};  // lists of paths, "-" for standard input, in order given
  bool Help = false;
  bool Version = false;
};

struct TInfoCommand {
  TInfoOptions Options;
  std::string Error;             // one line without a line end; empty when the command is good
  std::span<char* const> Paths;  // in the order given
};

// Parses the arguments after the program's name. The paths are gathered in place at the front
// of arguments, so they need no storage of their own however many there are. An argument is an
// option when it starts with "-", is not "-" itself and comes before "--"; long options are
// taken only when spelt out in full, so adding an option never changes what a script meant.
TInfoCommand ParseInfoCommand(std::span<char*> arguments);
