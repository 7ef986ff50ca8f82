// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

// Longer arguments are never cut short to fit: they name no file.
constexpr std::size_t kMaxArgumentBytes = 4096;

// True when path names an existing entry that is not a directory. Names are taken literally
// (wildcard characters are ordinary characters) and the entry's timestamps do not matter.
bool NamesExistingFile(const std::string& path);
