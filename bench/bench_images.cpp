// SPDX-License-Identifier: MIT
#include "bench/bench_images.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "tests/support/image_builder.h"

namespace {

class TTempImages {
 public:
  ~TTempImages() {
    for (const auto& [image, path] : Paths_) std::remove(path.c_str());
  }

  const std::string& Get(TBenchImage image) {
    auto found = Paths_.find(image);
    if (found != Paths_.end()) return found->second;
    std::string path = (std::filesystem::temp_directory_path() /
                        ("tamsik-bench-" + std::to_string(getpid()) + "-" +
                         std::to_string(static_cast<int>(image)) + ".exe"))
                           .string();
    TBytes bytes = Build(image);
    WriteFile(path, bytes);
    if (image == TBenchImage::Pe32With3GiBOverlay)
      std::filesystem::resize_file(path, bytes.size() + (std::uintmax_t{3} << 30));
    return Paths_.emplace(image, path).first->second;
  }

 private:
  static TBytes Build(TBenchImage image) {
    TVersionLayout layout = TypicalVersion();
    switch (image) {
      case TBenchImage::Pe32:
      case TBenchImage::Pe32With3GiBOverlay:
        return ProgramWithVersion(BuildVersionTree(StandardTree(layout))).Bytes;
      case TBenchImage::Pe32Plus:
        return ProgramWithVersion(BuildVersionTree(StandardTree(layout)), TPeKind::Pe32Plus).Bytes;
      case TBenchImage::Ne: {
        TNeLayout ne;
        ne.Resources.push_back(
            {16, std::nullopt, 1, 0,
             BuildVersionTree(StandardTree(layout, TTreeFlavor::Narrow), TTreeFlavor::Narrow)});
        return BuildNe(ne).Bytes;
      }
    }
    throw std::logic_error("unknown image");
  }

  std::map<TBenchImage, std::string> Paths_;
};

}  // namespace

TVersionLayout TypicalVersion() {
  TVersionLayout layout;
  layout.Strings = {{"CompanyName", "Example Software Ltd."},
                    {"FileDescription", "Example Setup Helper"},
                    {"FileVersion", "2.4.1.1187"},
                    {"InternalName", "helper"},
                    {"LegalCopyright", "Copyright (C) 2024 Example Software Ltd."},
                    {"OriginalFilename", "helper.exe"},
                    {"ProductName", "Example Suite"},
                    {"ProductVersion", "2.4.1"}};
  return layout;
}

const std::string& BenchImagePath(TBenchImage image) {
  static TTempImages images;
  return images.Get(image);
}
