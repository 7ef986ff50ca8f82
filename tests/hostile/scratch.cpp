#include "tests/hostile/scratch.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TScratchFolder::TScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tamsik-hostile-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  Root_ = pattern;
}

TScratchFolder::~TScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Root_, ignored);
}
