// SPDX-License-Identifier: MIT
#include "tests/hostile/short_reads.h"

#include <sys/types.h>

#include <optional>

extern "C" ssize_t __real_pread(int fd, void* buffer, std::size_t count, off_t offset);

namespace {
std::optional<std::size_t> gBudget;
}

void LimitReadsTo(std::size_t bytes) { gBudget = bytes; }
void UnlimitReads() { gBudget.reset(); }

extern "C" ssize_t __wrap_pread(int fd, void* buffer, std::size_t count, off_t offset) {
  if (gBudget && count > *gBudget) count = *gBudget;
  ssize_t got = __real_pread(fd, buffer, count, offset);
  if (gBudget && got > 0) *gBudget -= static_cast<std::size_t>(got);
  return got;
}
