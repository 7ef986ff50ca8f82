// SPDX-License-Identifier: MIT
// Writes the fuzzers' starting corpora from the test builders: sound images and version data of
// each kind, so the fuzzers begin deep inside the formats instead of guessing signatures.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/image_builder.h"

namespace {

namespace fs = std::filesystem;

TVersionLayout Sample() {
  TVersionLayout layout;
  layout.Strings = {{"CompanyName", "Acme"},        {"FileVersion", "1.2.3.4"},
                    {"ProductVersion", "1.2"},      {"Full Version", "1.2.3 build 7"},
                    {"LegalCopyRight", "(c) Acme"}, {"Comments", "\xC3\xA9t\xC3\xA9"}};
  layout.Fixed.Flags = 0x21;
  return layout;
}

std::vector<std::pair<std::string, TBytes>> Images() {
  TVersionLayout layout = Sample();
  TBytes wide = BuildVersionTree(StandardTree(layout));
  TBytes narrow = BuildVersionTree(StandardTree(layout, TTreeFlavor::Narrow), TTreeFlavor::Narrow);
  std::vector<std::pair<std::string, TBytes>> images;

  images.push_back({"pe32.exe", ProgramWithVersion(wide).Bytes});
  images.push_back({"pe32plus.exe", ProgramWithVersion(wide, TPeKind::Pe32Plus).Bytes});

  TPeLayout gui;
  gui.Subsystem = 2;
  gui.Resources = {{24, std::nullopt, 1, 0x0409, TBytes(40, 'x')},
                   {16, std::nullopt, 1, 0x0407, wide},
                   {16, std::nullopt, 1, 0x0409, wide}};
  images.push_back({"pe32_gui_languages.exe", BuildPe(gui).Bytes});

  TPeLayout dll;
  dll.Kind = TPeKind::Pe32Plus;
  dll.Dll = true;
  dll.Resources = {{16, std::string("VERSION"), 1, 0, wide}};
  images.push_back({"pe32plus_named.dll", BuildPe(dll).Bytes});

  TPeLayout bare;
  bare.WithResourceDirectory = false;
  images.push_back({"pe32_no_resources.exe", BuildPe(bare).Bytes});

  TVersionLayout several = layout;
  several.Translations = {0x04E40407, 0x04B00409};
  several.TableName = "040704E4";
  images.push_back(
      {"pe32_translations.exe", ProgramWithVersion(BuildVersionTree(StandardTree(several))).Bytes});

  for (std::uint16_t shift : {4, 9}) {
    TNeLayout ne;
    ne.AlignShift = shift;
    ne.Resources = {{2, std::nullopt, 1, 0, TBytes(24, 0x11)}, {16, std::nullopt, 1, 0, narrow}};
    images.push_back({"ne_shift" + std::to_string(shift) + ".exe", BuildNe(ne).Bytes});
  }
  images.push_back({"dos.com", BuildDosProgram()});
  return images;
}

// One byte n, n bytes of sub-block path, then the version data.
TBytes QueryInput(const std::string& path, const TBytes& data, bool shortBuffer) {
  TBytes out;
  out.push_back(static_cast<std::uint8_t>(path.size() | (shortBuffer ? 0x80 : 0)));
  out.insert(out.end(), path.begin(), path.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

std::vector<std::pair<std::string, TBytes>> Queries() {
  TVersionLayout layout = Sample();
  TBytes wide = BuildVersionTree(StandardTree(layout));
  TBytes narrow = BuildVersionTree(StandardTree(layout, TTreeFlavor::Narrow), TTreeFlavor::Narrow);
  const std::string paths[] = {"", "\\VarFileInfo\\Translation", "ProductVersion",
                               "\\StringFileInfo\\040904B0\\Comments", "\\\\stringfileinfo\\"};
  std::vector<std::pair<std::string, TBytes>> queries;
  for (std::size_t i = 0; i < std::size(paths); ++i) {
    queries.push_back({"wide" + std::to_string(i), QueryInput(paths[i], wide, false)});
    queries.push_back({"narrow" + std::to_string(i), QueryInput(paths[i], narrow, false)});
  }
  queries.push_back({"wide_short_buffer", QueryInput("Comments", wide, true)});
  return queries;
}

void WriteAll(const fs::path& folder, const std::vector<std::pair<std::string, TBytes>>& files) {
  fs::create_directories(folder);
  for (const auto& [name, bytes] : files) WriteFile((folder / name).string(), bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " CORPUS-FOLDER\n";
    return 2;
  }
  fs::path root = argv[1];
  WriteAll(root / "locate", Images());
  WriteAll(root / "reader", Images());
  WriteAll(root / "verquery", Queries());
  return 0;
}
