// SPDX-License-Identifier: MIT
#include "platform/posix/file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

std::optional<TRegularFile> TRegularFile::Open(const char* path) {
  if (!path) return std::nullopt;
  // O_NONBLOCK keeps open() from waiting for a FIFO's writer; regular files ignore it.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  return TRegularFile(fd, status);
}

TRegularFile::TRegularFile(TRegularFile&& other) noexcept : Fd_(other.Fd_), Status_(other.Status_) {
  other.Fd_ = -1;
}

TRegularFile::~TRegularFile() {
  if (Fd_ >= 0) close(Fd_);
}

std::size_t TRegularFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
  std::size_t done = 0;
  while (done < buffer.size()) {
    if (offset + done > static_cast<std::uint64_t>(INT64_MAX)) break;
    ssize_t got =
        pread(Fd_, buffer.data() + done, buffer.size() - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

namespace {
constexpr std::size_t kPage = 4096;
}

std::optional<TByteView> TFileWindow::Bytes(std::uint64_t offset, std::size_t length) {
  if (offset >= Start_ && offset - Start_ <= Filled_ && length <= Filled_ - (offset - Start_))
    return TByteView(Buffer_.data() + (offset - Start_), length);
  // Nothing past the end of the file is ever allocated for: a length the file cannot hold fails
  // before any buffer grows.
  std::uint64_t size = File_.Size();
  if (offset > size || length > size - offset) return std::nullopt;
  std::uint64_t start = offset - offset % kPage;
  std::uint64_t want = (offset - start) + length;
  want = ((want + kPage - 1) / kPage) * kPage;
  if (want > size - start) want = size - start;
  Buffer_.resize(static_cast<std::size_t>(want));
  Start_ = start;
  Filled_ = File_.ReadAt(start, Buffer_);
  if (offset - start > Filled_ || length > Filled_ - (offset - start)) return std::nullopt;
  return TByteView(Buffer_.data() + (offset - start), length);
}
