// SPDX-License-Identifier: MIT
// The numeric versions and the translation table of a file, asked of the platform's version
// functions (the root block "\" and "\VarFileInfo\Translation"), never read from the file here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tamsik-info/look_up.h"

// Fills the two version numbers and the translations of extras from the file's version data;
// leaves them empty when there is none. buffer is the caller's, reused from file to file.
void ReadVersionExtras(const std::string& path, TInfoExtras& extras,
                       std::vector<std::uint8_t>& buffer);

// "a.b.c.d" from the two 32-bit halves of a fixed version: the high words first.
std::string VersionNumberText(std::uint32_t mostSignificant, std::uint32_t leastSignificant);
