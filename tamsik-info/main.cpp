// SPDX-License-Identifier: MIT
// tamsik-info: why the comparers answer what they do. For each file, the record their reader
// fills and where the reading stopped; for inventories, whole trees, lists and every file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <span>
#include <string>

#include "tamsik-info/command_line.h"
#include "tamsik-info/inventory.h"

namespace {

constexpr char kHelp[] =
    "Usage: tamsik-info [OPTION]... [--] [FILE]...\n"
    "Shows, for each FILE, the version information that tamsik and tamsik-full read from it and\n"
    "where their reading stopped: file not found, not reported as an executable, no version\n"
    "information, no translation table, or read whole.\n"
    "\n"
    "  --full             read as tamsik-full does: FileVersion holds the \"Full Version\" string\n"
    "  --json             one JSON object per file and line instead of aligned text\n"
    "  --csv              CSV (RFC 4180) with a header row instead of aligned text\n"
    "  -r, --recursive    walk directories: their regular files, names in byte order\n"
    "  --files-from LIST  also the paths in LIST, one a line (\"-\": standard input)\n"
    "  -0, --null         paths in LIST are separated by NUL bytes instead\n"
    "  --any-file         read version data also from files the shell calls no program (DLLs)\n"
    "  -h, --help         show this help and exit\n"
    "  --version          show the version and exit\n"
    "  --                 end of options: every later argument is a FILE\n"
    "\n"
    "Exit status: 0 when every FILE was found, 1 when any was not (or a directory or LIST could\n"
    "not be read), 2 on a bad command line or when the output cannot be written.\n";

int WriteFailed() {
  int error = errno;
  std::fprintf(stderr, "tamsik-info: cannot write to standard output: %s\n",
               error ? std::strerror(error) : "write error");
  return kInfoTrouble;
}

int Run(int argc, char** argv) {
  TInfoCommand command = ParseInfoCommand(std::span<char*>(argv + 1, argc > 0 ? argc - 1 : 0));
  if (!command.Error.empty()) {
    std::fprintf(stderr, "tamsik-info: %s (see 'tamsik-info --help')\n", command.Error.c_str());
    return kInfoTrouble;
  }
  std::string text;
  if (command.Options.Help)
    text = kHelp;
  else if (command.Options.Version)
    text = "tamsik-info " TAMSIK_VERSION "\n";
  else
    return RunInventory(command);
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
    return WriteFailed();
  return kInfoAllFound;
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
  return kInfoTrouble;
}
