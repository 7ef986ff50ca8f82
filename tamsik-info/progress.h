// SPDX-License-Identifier: MIT
// The progress line of long runs: files done and files a second, on standard error, only when
// a person watches it there.
#pragma once

#include <chrono>
#include <cstddef>

class TProgress {
 public:
  // Shown only when standard error is a terminal and standard output is not the same screen
  // (the reports would break the line), and only once the run has taken a second.
  TProgress();
  ~TProgress() { Clear(); }

  void FileDone() {
    ++Files_;
    if (Enabled_ && (Files_ & 63) == 0) Tick();
  }
  // Takes the line away before another message goes to standard error, and at the end.
  void Clear();

 private:
  using TClock = std::chrono::steady_clock;
  void Tick();

  bool Enabled_ = false;
  bool Shown_ = false;
  std::size_t Files_ = 0;
  TClock::time_point Start_ = TClock::now();
  TClock::time_point LastShown_{};
};
