// SPDX-License-Identifier: MIT
// The two forms of one file's report. Each appends to a caller's buffer, so a run over many files
// reuses one buffer and keeps nothing of the files before.
#pragma once

#include <string>
#include <string_view>

#include "tamsik-info/look_up.h"

// Aligned "Field: value" lines: Path, Read (where reading stopped), Hint when there is one, then
// the twenty fields in record order. A file that was not found shows no fields: the comparers
// never read it. Texts go through AppendDisplayText; flags are "yes" or "no".
void AppendTextReport(std::string& out, std::string_view path, TInfoStop stop,
                      const TFileVersionInfo& info);

// One JSON object and a line end: "Path", "Stop" (a StopToken) and the twenty fields by their
// record names, texts as strings and flags as booleans. Every line has every key.
void AppendJsonReport(std::string& out, std::string_view path, TInfoStop stop,
                      const TFileVersionInfo& info);
