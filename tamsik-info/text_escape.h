// SPDX-License-Identifier: MIT
// How tamsik-info writes texts it did not make: paths from the command line and version strings
// from files may hold any bytes, and neither may break the line or the JSON around them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The length of the well-formed UTF-8 sequence that starts at text[at], or 0 when none does.
// Encoded surrogates (ED A0..BF ..) are not well-formed.
std::size_t WellFormedUtf8Length(std::string_view text, std::size_t at);

// Appends text as a JSON string, quotes included. Well-formed UTF-8 passes through unchanged;
// quote, backslash and control bytes take JSON's escapes. A byte outside well-formed UTF-8 becomes
// \udcXX, XX being the byte (the "surrogateescape" convention): well-formed text never yields
// those code points, so the original bytes can be recovered exactly.
void AppendJsonString(std::string& out, std::string_view text);

// Appends text for one line of a terminal: control characters (C0, DEL, C1) and bytes outside
// well-formed UTF-8 are shown as \xXX, one per byte; everything else passes through. For reading
// only: a literal "\x41" in the text looks the same as an escaped byte.
void AppendDisplayText(std::string& out, std::string_view text);

// Appends text as one field of a CSV row (RFC 4180). A field holding a comma, a quote, a line
// end, a blank, a tab or a byte outside well-formed UTF-8 is put in quotes, its quotes doubled.
// Such bytes pass through unchanged: a name or value replaced by U+FFFD could no longer be told
// from another, and an inventory must name every file exactly.
void AppendCsvText(std::string& out, std::string_view text);
