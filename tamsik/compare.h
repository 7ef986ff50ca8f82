// SPDX-License-Identifier: MIT
// The main sequence both comparers share: two paths in, one character out.
#pragma once

#include <string>
#include <vector>

#include "versioninfo/versioninfo.h"

// What a comparer reads and compares, fixed when the program is built.
struct TCompareSettings {
  VersionReaderVariant Variant;
  std::string TFileVersionInfo::*ComparedField;
};

// "=" when both arguments name existing files whose compared fields are equal byte for byte,
// "0" in every other case (wrong number of arguments, a missing file or a directory included).
std::string CompareVersionField(const TCompareSettings& settings,
                                const std::vector<std::string>& arguments);

// The whole program: takes the arguments from the platform, writes the answer without a line
// end, and gives the exit status: 0 when the answer was written, 1 when it could not be, or when
// the run ran out of memory (then a message and a line end go to standard output instead).
int RunComparer(const TCompareSettings& settings, int argc, char** argv);
