// SPDX-License-Identifier: MIT
// What tamsik-info says about where a read stopped: a token for JSON, plain words and a hint for
// people. The hints use only the stop, the record and the file's name: no second reader.
#pragma once

#include <string_view>

#include "tamsik-info/look_up.h"

// "NotFound", "NotExecutable", "NoVersionInfo", "NoTranslation" or "Complete".
std::string_view StopToken(TInfoStop stop);

std::string_view StopWords(TInfoStop stop);

// Why the comparers would see empty strings in the file at path, or the empty text when nothing
// needs explaining.
std::string_view StopHint(TInfoStop stop, const TFileVersionInfo& info, std::string_view path);
