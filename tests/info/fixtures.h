// SPDX-License-Identifier: MIT
// A small set of files, one for each way tamsik-info can find a file, built from sources: shared
// by the end-to-end tests and the many-files benchmark.
#pragma once

#include <string>
#include <vector>

struct TInfoFixture {
  std::string Name;
  std::string Stop;  // what tamsik-info reports for it
};

// Writes every fixture into directory (which must exist) and lists them, in a fixed order. The
// last one, "missing.exe", is listed but never written.
std::vector<TInfoFixture> WriteInfoFixtures(const std::string& directory);
