// SPDX-License-Identifier: MIT
#include "tamsik-info/progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

TProgress::TProgress() : Enabled_(isatty(fileno(stderr)) != 0 && isatty(fileno(stdout)) == 0) {}

void TProgress::Tick() {
  auto now = TClock::now();
  std::chrono::duration<double> elapsed = now - Start_;
  if (elapsed.count() < 1.0 || now - LastShown_ < std::chrono::milliseconds(200)) return;
  LastShown_ = now;
  Shown_ = true;
  std::fprintf(stderr, "\r%zu files, %.0f files/s ", Files_,
               static_cast<double>(Files_) / elapsed.count());
  std::fflush(stderr);
}

void TProgress::Clear() {
  if (!Shown_) return;
  Shown_ = false;
  // Blanks over the old line work on every terminal, Windows' console included.
  std::fprintf(stderr, "\r%40s\r", "");
  std::fflush(stderr);
}
