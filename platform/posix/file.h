// SPDX-License-Identifier: MIT
// Read access to one regular file by position. Opening never blocks and refuses anything that is
// not a regular file, so a FIFO, a device or a socket is answered at once and never read.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/byte_view.h"

class TRegularFile {
 public:
  static std::optional<TRegularFile> Open(const char* path);

  TRegularFile(TRegularFile&& other) noexcept;
  TRegularFile& operator=(TRegularFile&&) = delete;
  TRegularFile(const TRegularFile&) = delete;
  ~TRegularFile();

  std::uint64_t Size() const { return static_cast<std::uint64_t>(Status_.st_size); }
  const struct stat& Status() const { return Status_; }

  // Fills buffer from offset; gives the number of bytes read, short at the end of the file or
  // on a read error.
  std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const;

 private:
  TRegularFile(int fd, const struct stat& status) : Fd_(fd), Status_(status) {}
  int Fd_ = -1;
  struct stat Status_ {};
};

// Small structures scattered over the head of an image, read through one cached window: walking
// headers and directories costs a few system calls instead of one per field.
class TFileWindow {
 public:
  explicit TFileWindow(const TRegularFile& file) : File_(file) {}

  // The bytes [offset, offset + length), or nothing when the file does not hold them all. The
  // view is valid until the next call.
  std::optional<TByteView> Bytes(std::uint64_t offset, std::size_t length);

  // A structure by value, or nothing when the file does not hold it all. Unlike a view, the
  // value outlives the next call.
  template <CFileStructure T>
  std::optional<T> Read(std::uint64_t offset) {
    auto bytes = Bytes(offset, sizeof(T));
    if (!bytes) return std::nullopt;
    return bytes->template Read<T>(0);
  }

  const TRegularFile& File() const { return File_; }

 private:
  const TRegularFile& File_;
  std::vector<std::uint8_t> Buffer_;
  std::uint64_t Start_ = 0;
  std::size_t Filled_ = 0;
};
