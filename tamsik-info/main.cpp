// SPDX-License-Identifier: MIT
// tamsik-info: why the comparers answer what they do. For each file, the record their reader
// fills and where the reading stopped.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <span>
#include <string>

#include "tamsik-info/command_line.h"
#include "tamsik-info/look_up.h"
#include "tamsik-info/report.h"

namespace {

constexpr int kAllFound = 0, kSomeNotFound = 1, kTrouble = 2;

constexpr char kHelp[] =
    "Usage: tamsik-info [--full] [--json] [--] FILE...\n"
    "Shows, for each FILE, the version information that tamsik and tamsik-full read from it and\n"
    "where their reading stopped: file not found, not reported as an executable, no version\n"
    "information, no translation table, or read whole.\n"
    "\n"
    "  --full     read as tamsik-full does: FileVersion holds the \"Full Version\" string\n"
    "  --json     one JSON object per file and line instead of aligned text\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         end of options: every later argument is a FILE\n"
    "\n"
    "Exit status: 0 when every FILE was found, 1 when any was not, 2 on a bad command line or\n"
    "when the output cannot be written.\n";

int WriteFailed() {
  int error = errno;
  std::fprintf(stderr, "tamsik-info: cannot write to standard output: %s\n",
               error ? std::strerror(error) : "write error");
  return kTrouble;
}

bool Write(const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// One file at a time: the record and the text buffer are reused, so memory does not grow with the
// number of files, and each report leaves as soon as it is made.
int ReportFiles(const TInfoCommand& command) {
  VersionReaderVariant variant =
      command.Options.Full ? VersionReaderVariant::Full : VersionReaderVariant::Standard;
  TFileVersionInfo info;
  std::string path, out;
  bool allFound = true;
  for (std::size_t i = 0; i < command.Paths.size(); ++i) {
    path = command.Paths[i];
    TInfoStop stop = LookUpFile(path, info, variant);
    allFound = allFound && stop != TInfoStop::NotFound;
    out.clear();
    if (command.Options.Json) {
      AppendJsonReport(out, path, stop, info);
    } else {
      if (i > 0) out += '\n';
      AppendTextReport(out, path, stop, info);
    }
    errno = 0;
    if (!Write(out)) return WriteFailed();
  }
  errno = 0;
  if (std::fflush(stdout) != 0) return WriteFailed();
  return allFound ? kAllFound : kSomeNotFound;
}

int Run(int argc, char** argv) {
  TInfoCommand command = ParseInfoCommand(std::span<char*>(argv + 1, argc > 0 ? argc - 1 : 0));
  if (!command.Error.empty()) {
    std::fprintf(stderr, "tamsik-info: %s (see 'tamsik-info --help')\n", command.Error.c_str());
    return kTrouble;
  }
  std::string text;
  if (command.Options.Help)
    text = kHelp;
  else if (command.Options.Version)
    text = "tamsik-info " TAMSIK_VERSION "\n";
  else
    return ReportFiles(command);
  errno = 0;
  if (!Write(text) || std::fflush(stdout) != 0) return WriteFailed();
  return kAllFound;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("tamsik-info: out of memory\n", stderr);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tamsik-info: %s\n", error.what());
  }
  return kTrouble;
}
