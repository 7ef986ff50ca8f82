// A private folder for one test's files, removed with everything in it when the test ends.
#pragma once

#include <string>

class TScratchFolder {
 public:
  TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;
  ~TScratchFolder();

  std::string Path(const std::string& name) const { return Root_ + "/" + name; }

 private:
  std::string Root_;
};
