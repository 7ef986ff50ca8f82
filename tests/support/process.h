// SPDX-License-Identifier: MIT
// Runs a program to its end and collects what it wrote, for tests of whole programs.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

enum class TStdout { Capture, DevFull, ClosedPipe };

struct TProcessResult {
  bool Started = false;
  bool TimedOut = false;
  int ExitStatus = -1;  // -1 when the process ended on a signal
  int Signal = 0;
  std::string Stdout;
  std::string Stderr;
};

struct TProcessRequest {
  std::vector<std::string> Argv;
  std::string WorkingDirectory;
  TStdout Stdout = TStdout::Capture;
  std::chrono::seconds Timeout{30};
  std::optional<unsigned> RunAsUser;  // a user id to switch to before starting, when root
  std::string StdinFile;              // relative to WorkingDirectory; empty: /dev/null
};

// Never hangs: a process still running at the timeout is killed and reported as timed out.
TProcessResult RunProcess(const TProcessRequest& request);
