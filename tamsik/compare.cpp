// SPDX-License-Identifier: MIT
#include "tamsik/compare.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "tamsik/arguments.h"
#include "tamsik/existence.h"

#ifndef _WIN32
#include <csignal>
#endif

namespace {

bool FieldsEqual(const TCompareSettings& settings, const std::vector<std::string>& arguments) {
  if (arguments.size() != 2) return false;
  if (!NamesExistingFile(arguments[0]) || !NamesExistingFile(arguments[1])) return false;
  // The first path is always read first.
  TFileVersionInfo first, second;
  ReadFileVersionInfo(arguments[0], first, settings.Variant);
  ReadFileVersionInfo(arguments[1], second, settings.Variant);
  return first.*settings.ComparedField == second.*settings.ComparedField;
}

}  // namespace

std::string CompareVersionField(const TCompareSettings& settings,
                                const std::vector<std::string>& arguments) {
  return FieldsEqual(settings, arguments) ? "=" : "0";
}

namespace {

// The answer is the program's whole output: losing it must not look like success.
int WriteAnswer(const std::string& text) {
  errno = 0;
  bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  written = std::fflush(stdout) == 0 && written;
  if (written) return 0;
  int error = errno;
  std::fprintf(stderr, "cannot write the answer to standard output: %s\n",
               error ? std::strerror(error) : "write error");
  return 1;
}

// Ends a run that could not finish: a message and a line end on standard output, status 1.
int Abort(const char* message) {
  std::fprintf(stdout, "%s\n", message);
  std::fflush(stdout);
  return 1;
}

}  // namespace

int RunComparer(const TCompareSettings& settings, int argc, char** argv) {
#ifndef _WIN32
  // A closed pipe must surface as a write error that is reported, not as a silent death.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  try {
    return WriteAnswer(CompareVersionField(settings, ProgramArguments(argc, argv)));
  } catch (const std::bad_alloc&) {
    return Abort("Out of memory");
  } catch (const std::exception& error) {
    return Abort(error.what());
  }
}
