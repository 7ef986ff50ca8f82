// SPDX-License-Identifier: MIT
// Makes file reads come back short, as when another process truncates a file between the size
// check and the read. The test program links with -Wl,--wrap=pread, so every pread of the
// platform layer passes through here; reads are untouched until a test sets a budget.
#pragma once

#include <cstddef>

// From now on reads deliver at most bytes in total, then report the end of the file.
void LimitReadsTo(std::size_t bytes);

// Reads behave normally again.
void UnlimitReads();
