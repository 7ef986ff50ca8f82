// SPDX-License-Identifier: MIT
// The command line of tamsik-info: options anywhere before "--", paths everywhere else.
#pragma once

#include <span>
#include <string>

struct TInfoOptions {
  bool Full = false;  // read as tamsik-full does: FileVersion holds "Full Version"
  bool Json = false;
  bool Help = false;
  bool Version = false;
};

struct TInfoCommand {
  TInfoOptions Options;
  std::string Error;            // one line without a line end; empty when the command is good
  std::span<char* const> Paths;  // in the order given
};

// Parses the arguments after the program's name. The arguments are reordered in place, options
// first and paths last, so the paths need no storage of their own however many there are. An
// argument is an option when it starts with "-", is not "-" itself and comes before "--".
TInfoCommand ParseInfoCommand(std::span<char*> arguments);
