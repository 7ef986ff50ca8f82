// SPDX-License-Identifier: MIT
// Reading a list of paths (--files-from): one a line, or separated by NUL bytes (-0).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class TPathList {
 public:
  // Reads from stream, which the caller opened and closes, bufferBytes at a time.
  TPathList(std::FILE* stream, bool nulSeparated, std::size_t bufferBytes = 64 * 1024)
      : Stream_(stream),
        Separator_(nulSeparated ? '\0' : '\n'),
        Buffer_(bufferBytes ? bufferBytes : 1) {}

  enum class TNext { Path, TooLong, End, Error };

  // The next path. Empty entries are passed over and the last path needs no separator after it.
  // In line mode a carriage return before the line end is dropped, for lists written on Windows.
  // A path longer than maxBytes is not kept: TooLong, and the list goes on after it.
  TNext Next(std::string& path, std::size_t maxBytes);

 private:
  bool Fill();

  std::FILE* Stream_;
  char Separator_;
  std::vector<char> Buffer_;
  std::size_t Start_ = 0, End_ = 0;
  bool Failed_ = false, AtEnd_ = false;
};
