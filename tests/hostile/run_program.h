// Runs a program to its end and collects what it wrote.
#pragma once

#include <string>
#include <vector>

struct TProgramRun {
  int Status = -1;  // the exit status, or 128 plus the signal that ended it
  std::string Output;
  std::string Errors;
};

// Standard error goes through errorsFile, so a long sanitizer report can never block the child.
TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& errorsFile);
