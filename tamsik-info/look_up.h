// SPDX-License-Identifier: MIT
// One file as the comparers see it: their existence test, then their reader, and where it stopped.
#pragma once

#include <string>

#include "versioninfo/versioninfo.h"

enum class TInfoStop {
  NotFound,       // the comparers' existence test fails: they answer "0" without reading
  NotExecutable,  // the shell does not report the file as a program
  NoVersionInfo,
  NoTranslation,
  Complete,
};

// Fills info exactly as the comparers' reader does; a file that is not found leaves it cleared.
TInfoStop LookUpFile(const std::string& path, TFileVersionInfo& info, VersionReaderVariant variant);
