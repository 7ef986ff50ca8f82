// SPDX-License-Identifier: MIT
// Writes the tamsik-info fixtures into a folder, for runs outside the test suite (the benchmark).
#include <cstdio>
#include <exception>

#include "tests/info/fixtures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: tamsik_info_fixtures FOLDER\n", stderr);
    return 2;
  }
  try {
    for (const TInfoFixture& fixture : WriteInfoFixtures(argv[1]))
      std::printf("%s %s\n", fixture.Name.c_str(), fixture.Stop.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
