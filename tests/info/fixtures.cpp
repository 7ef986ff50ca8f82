// SPDX-License-Identifier: MIT
#include "tests/info/fixtures.h"

#include "tests/support/image_builder.h"

namespace {

TVersionLayout ProgramVersion() {
  TVersionLayout layout;
  layout.Strings = {{"CompanyName", "Acme Ünïcode"},     {"FileDescription", "tab\there"},
                    {"FileVersion", "1.2.3.4"},          {"Full Version", "1.2.3.4 (build 77)"},
                    {"ProductName", "say \"hi\" C:\\x"}, {"ProductVersion", "1.2"}};
  layout.Fixed.Flags = 0x3;
  // Every part of the numeric versions tells its place: a swap or a lost high word shows.
  layout.Fixed.FileVersionMS = 0x00010002;
  layout.Fixed.FileVersionLS = 0x00030004;
  layout.Fixed.ProductVersionMS = 0xFFFF0005;
  layout.Fixed.ProductVersionLS = 0x00060007;
  layout.Translations = {0x04B00409, 0x00000407};
  return layout;
}

}  // namespace

std::vector<TInfoFixture> WriteInfoFixtures(const std::string& directory) {
  std::string at = directory + "/";
  TBytes programData = BuildVersionTree(StandardTree(ProgramVersion()));
  WriteFile(at + "program.exe", ProgramWithVersion(programData).Bytes);

  TPeLayout dll;
  dll.Dll = true;
  dll.Resources.push_back({16, std::nullopt, 1, 0x0409, programData});
  WriteFile(at + "library.dll", BuildPe(dll).Bytes);

  WriteFile(at + "plain.exe", BuildPe(TPeLayout{}).Bytes);

  TVersionLayout untranslated = ProgramVersion();
  untranslated.Translations.clear();
  WriteFile(at + "untranslated.exe",
            ProgramWithVersion(BuildVersionTree(StandardTree(untranslated))).Bytes);

  TVersionLayout elsewhere = ProgramVersion();
  elsewhere.TableName = "040704B0";
  WriteFile(at + "elsewhere.exe",
            ProgramWithVersion(BuildVersionTree(StandardTree(elsewhere))).Bytes);

  // Narrow version data is passed on byte for byte, so a string can hold bytes that are not UTF-8.
  TVersionLayout narrow;
  narrow.Strings = {{"ProductVersion", "1.0\xFF"}};
  TNeLayout ne;
  ne.Resources.push_back(
      {16, std::nullopt, 1, 0,
       BuildVersionTree(StandardTree(narrow, TTreeFlavor::Narrow), TTreeFlavor::Narrow)});
  WriteFile(at + "narrow.exe", BuildNe(ne).Bytes);

  WriteFile(at + "notes.txt", TBytes{'h', 'i', '\n'});

  return {{"program.exe", "Complete"},    {"library.dll", "NotExecutable"},
          {"plain.exe", "NoVersionInfo"}, {"untranslated.exe", "NoTranslation"},
          {"elsewhere.exe", "Complete"},  {"narrow.exe", "Complete"},
          {"notes.txt", "NotExecutable"}, {"missing.exe", "NotFound"}};
}
