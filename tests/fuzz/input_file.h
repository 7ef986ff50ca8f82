// SPDX-License-Identifier: MIT
// Gives each fuzz input a file of its own: the reader under test opens paths, never buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TInputFile {
 public:
  TInputFile() = default;
  TInputFile(const TInputFile&) = delete;
  TInputFile& operator=(const TInputFile&) = delete;
  ~TInputFile();

  // Stores the bytes in a new memory file and gives its path. The previous file is closed only
  // after the new one is open, so consecutive inputs never share a path: nothing the platform
  // layer keeps for one path can serve the next input.
  const std::string& Write(const std::uint8_t* data, std::size_t size);

 private:
  int Fd_ = -1;
  std::string Path_;
};
