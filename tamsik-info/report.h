// SPDX-License-Identifier: MIT
// The three forms of one file's report. Each appends to a caller's buffer, so a run over many
// files reuses one buffer and keeps nothing of the files before.
#pragma once

#include <string>
#include <string_view>

#include "tamsik-info/look_up.h"

// Aligned "Field: value" lines: Path, Read (where reading stopped), Hint when there is one, then
// the fields in output order. A file that was not found shows no fields: the comparers never
// read it. Texts go through AppendDisplayText; flags are "yes" or "no"; translations are
// separated by blanks.
void AppendTextReport(std::string& out, std::string_view path, const TInfoRecord& record);

// One JSON object and a line end: "Path", "Stop" (a StopToken) and the fields by their names,
// texts as strings, flags as booleans, the translations as an array of strings. Every line has
// every key.
void AppendJsonReport(std::string& out, std::string_view path, const TInfoRecord& record);

// RFC 4180: the header row naming the columns, then one row a file with the columns of the JSON
// form in the same order; flags are "true" or "false", translations separated by blanks. Rows end
// in CR LF.
void AppendCsvHeader(std::string& out);
void AppendCsvReport(std::string& out, std::string_view path, const TInfoRecord& record);
