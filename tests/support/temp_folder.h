// SPDX-License-Identifier: MIT
// A folder of its own for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/version_tree.h"

class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return Path_; }
  // The path a file of that name in the folder has.
  std::string PathOf(const std::string& name) const { return (Path_ / name).string(); }
  // Writes bytes to a file in the folder and gives its path.
  std::string Write(const std::string& name, const TBytes& bytes) const;

 private:
  std::filesystem::path Path_;
};
