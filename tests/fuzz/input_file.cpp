// SPDX-License-Identifier: MIT
#include "tests/fuzz/input_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

TInputFile::~TInputFile() {
  if (Fd_ >= 0) close(Fd_);
}

const std::string& TInputFile::Write(const std::uint8_t* data, std::size_t size) {
  int fd = memfd_create("fuzz-input", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    ssize_t wrote = write(fd, data + done, size - done);
    if (wrote <= 0) std::abort();
    done += static_cast<std::size_t>(wrote);
  }
  if (Fd_ >= 0) close(Fd_);
  Fd_ = fd;
  Path_ = "/proc/self/fd/" + std::to_string(fd);
  return Path_;
}
