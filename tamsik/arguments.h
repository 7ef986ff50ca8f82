// SPDX-License-Identifier: MIT
// The two paths a comparer is given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a whole command line as the comparers always have: bytes 1 to 32 separate arguments; a
// double quote opens a quoted run that the next quote (or the end) closes, and the quotes are
// dropped; there is no escape character; pairs of quotes before an argument are dropped; the
// first argument that comes out empty ends the list. The program's own name comes first.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments after the program's name. On Windows they are split from the command line; where
// they arrive split already, empty ones (what a lone pair of quotes becomes) are not counted.
std::vector<std::string> ProgramArguments(int argc, char** argv);
