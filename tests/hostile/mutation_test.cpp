// SPDX-License-Identifier: MIT
// Mutants of sound images, crafted ones and real ones where Wine's are installed. Every mutant
// goes through the reader in this process; a sample of each kind of mutant also goes through
// both programs as processes, so argument handling, output and exit status are covered too, and
// a sanitizer report in a child shows up on its standard error. The reader is the same code in
// both places, and a process costs a thousand times more than a read, so the sample keeps the
// test within its time while every mutant still meets the reader under the sanitizers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>

#include "tests/hostile/mutants.h"
#include "tests/support/process.h"
#include "tests/support/temp_folder.h"
#include "versioninfo/versioninfo.h"

namespace {

constexpr std::uint32_t kSeed = 20240611;
// Mutants of each kind per image that also run through both programs: about 2000 processes in
// a plain build. A sanitized program takes seven times longer to start and end, so fewer there.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kProcessSample = 4;
#else
constexpr std::size_t kProcessSample = 40;
#endif

struct TSubject {
  std::string Name;
  TBytes Bytes;
};

std::string Extension(const std::string& name) {
  return std::filesystem::path(name).extension().string();
}

std::vector<std::string> TextsOf(const TFileVersionInfo& info) {
  std::vector<std::string> texts;
  for (const TStringKey& row : StringKeyTable) texts.push_back(info.*row.Field);
  return texts;
}

TFileVersionInfo Read(const std::string& path, VersionReaderVariant variant) {
  TFileVersionInfo info;
  ReadFileVersionInfo(path, info, variant);
  return info;
}

void ExpectAnswer(const std::string& program, const std::string& mutant,
                  const std::string& original, bool equal) {
  TProcessRequest request;
  request.Argv = {program, mutant, original};
  TProcessResult run = RunProcess(request);
  EXPECT_FALSE(run.TimedOut) << program;
  EXPECT_EQ(run.ExitStatus, 0) << program;
  EXPECT_EQ(run.Stdout, equal ? "=" : "0") << program;
  EXPECT_EQ(run.Stderr, "") << program;
}

void RunMutants(const TSubject& subject) {
  auto map = MapImage(subject.Bytes);
  ASSERT_TRUE(map) << subject.Name;
  TTempFolder folder;
  std::string extension = Extension(subject.Name);
  std::string original = folder.PathOf("original" + extension);
  WriteFile(original, subject.Bytes);
  TFileVersionInfo standard = Read(original, VersionReaderVariant::Standard);
  TFileVersionInfo full = Read(original, VersionReaderVariant::Full);
  ASSERT_FALSE(standard.ProductVersion.empty()) << subject.Name;

  std::vector<TMutation> mutations = Mutations(subject.Bytes, *map, kSeed);
  std::map<TMutationKind, std::size_t> counts, seen;
  for (const TMutation& mutation : mutations) ++counts[mutation.Kind];
  std::size_t wholeFrom =
      std::max({map->Headers.End, map->ResourceStructure.End, map->VersionData.End});

  std::size_t processes = 0;
  bool failedBefore = ::testing::Test::HasFailure();
  for (std::size_t i = 0; i < mutations.size(); ++i) {
    const TMutation& mutation = mutations[i];
    SCOPED_TRACE(subject.Name + ": " + Describe(mutation));
    std::string name = std::to_string(i);
    name += extension;
    std::string path = folder.PathOf(name);
    WriteFile(path, Apply(subject.Bytes, mutation));
    TFileVersionInfo info = Read(path, VersionReaderVariant::Standard);

    if (mutation.Kind == TMutationKind::Truncation && mutation.Offset >= wholeFrom) {
      EXPECT_EQ(info, standard);
    }
    if (mutation.Kind == TMutationKind::Truncation && mutation.Offset < map->VersionData.Begin) {
      for (const std::string& text : TextsOf(info)) EXPECT_EQ(text, "");
    }

    std::size_t stride = std::max<std::size_t>(1, counts[mutation.Kind] / kProcessSample);
    if (seen[mutation.Kind]++ % stride == 0) {
      ++processes;
      ExpectAnswer(TAMSIK_PROGRAM, path, original, info.ProductVersion == standard.ProductVersion);
      TFileVersionInfo fullInfo = Read(path, VersionReaderVariant::Full);
      ExpectAnswer(TAMSIK_FULL_PROGRAM, path, original, fullInfo.FileVersion == full.FileVersion);
    }
    unlink(path.c_str());
    if (!failedBefore && ::testing::Test::HasFailure()) break;
  }
  std::cout << subject.Name << ": " << mutations.size() << " mutants ("
            << counts[TMutationKind::Truncation] << " truncations, " << counts[TMutationKind::Flip]
            << " flips, " << counts[TMutationKind::Length] << " lengths, "
            << counts[TMutationKind::Loop] << " loops), " << processes
            << " through both programs\n";
}

TEST(Mutation, CraftedImages) {
  TVersionLayout layout;
  layout.Strings = {{"CompanyName", "Acme"},
                    {"FileVersion", "1.2.3.4"},
                    {"ProductVersion", "1.2"},
                    {"Full Version", "1.2.3 build 7"},
                    {"Comments", "\xC3\xA9t\xC3\xA9"}};
  TBytes wide = BuildVersionTree(StandardTree(layout));
  TPeLayout languages;
  languages.Resources = {{24, std::nullopt, 1, 0x0409, TBytes(40, 'x')},
                         {16, std::nullopt, 1, 0x0407, wide},
                         {16, std::nullopt, 1, 0x0409, wide}};
  TNeLayout ne;
  ne.Resources = {
      {2, std::nullopt, 1, 0, TBytes(24, 0x11)},
      {16, std::nullopt, 1, 0,
       BuildVersionTree(StandardTree(layout, TTreeFlavor::Narrow), TTreeFlavor::Narrow)}};
  const TSubject subjects[] = {
      {"pe32.exe", ProgramWithVersion(wide).Bytes},
      {"pe32plus.exe", ProgramWithVersion(wide, TPeKind::Pe32Plus).Bytes},
      {"pe32_languages.dll", BuildPe(languages).Bytes},
      {"ne.exe", BuildNe(ne).Bytes},
  };
  for (const TSubject& subject : subjects) RunMutants(subject);
}

// Per folder, the first program and the first library (by name) that are small and carry a
// version resource: which ones is fixed by the installed Wine, the mutants by the seed. The shell
// does not count a library as a program, so the reader would never look at its version data: a
// library is taken with its DLL flag cleared.
std::vector<TSubject> WineSubjects() {
  namespace fs = std::filesystem;
  constexpr std::uintmax_t kLargest = 128 * 1024;
  constexpr std::uint8_t kDllFlagHigh = 0x20;
  std::vector<TSubject> subjects;
  for (const char* folder : {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows",
                             "/usr/lib/i386-linux-gnu/wine/i386-windows"}) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) continue;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder, error))
      if (entry.is_regular_file() && entry.file_size() <= kLargest) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const char* wanted : {".exe", ".dll"})
      for (const fs::path& file : files) {
        if (file.extension() != wanted) continue;
        std::ifstream in(file, std::ios::binary);
        TBytes bytes{std::istreambuf_iterator<char>(in), {}};
        auto map = MapImage(bytes);
        if (!map || map->Ne) continue;
        std::size_t peHeader = bytes.at(0x3C) | (bytes.at(0x3D) << 8) | (bytes.at(0x3E) << 16);
        bytes.at(peHeader + 23) &= static_cast<std::uint8_t>(~kDllFlagHigh);  // characteristics
        TTempFolder scratch;
        WriteFile(scratch.PathOf("probe.exe"), bytes);
        if (Read(scratch.PathOf("probe.exe"), VersionReaderVariant::Standard)
                .ProductVersion.empty())
          continue;
        subjects.push_back(
            {(file.parent_path().filename() / file.filename()).string(), std::move(bytes)});
        break;
      }
  }
  return subjects;
}

TEST(Mutation, WineImages) {
  std::vector<TSubject> subjects = WineSubjects();
  if (subjects.empty()) GTEST_SKIP() << "Wine's Windows images are not installed";
  for (const TSubject& subject : subjects) RunMutants(subject);
}

}  // namespace
