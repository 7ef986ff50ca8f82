// SPDX-License-Identifier: MIT
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <stdexcept>

#include "tests/support/image_builder.h"

TTempFolder::TTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tamsik-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  Path_ = pattern;
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Path_, ignored);
}

std::string TTempFolder::Write(const std::string& name, const TBytes& bytes) const {
  std::string path = (Path_ / name).string();
  WriteFile(path, bytes);
  return path;
}
