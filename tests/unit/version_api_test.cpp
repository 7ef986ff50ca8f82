// SPDX-License-Identifier: MIT
// The platform functions as a caller sees them: sizes, copies and queries over files on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "platform/winver.h"
#include "tests/support/image_builder.h"
#include "tests/support/temp_folder.h"

namespace {

struct TQuery {
  bool Found = false;
  std::string Bytes;  // the value's bytes, length as the platform gave it
  const void* Pointer = nullptr;
};

class TVersionData {
 public:
  explicit TVersionData(const std::string& path) {
    DWORD handle = 1;
    Size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    Buffer.assign(Size, 0xCC);
    Read = Size > 0 && GetFileVersionInfoA(path.c_str(), 0, Size, Buffer.data());
  }
  TQuery Query(const char* path) const {
    LPVOID pointer = nullptr;
    UINT length = 0;
    TQuery query;
    query.Found = VerQueryValueA(Buffer.data(), path, &pointer, &length);
    if (!query.Found) return query;
    query.Pointer = pointer;
    query.Bytes.assign(static_cast<const char*>(pointer), length);
    return query;
  }
  DWORD Size = 0;
  bool Read = false;
  std::vector<std::uint8_t> Buffer;
};

TBytes StandardImage(std::vector<std::pair<std::string, std::string>> strings) {
  TVersionLayout layout;
  layout.Strings = std::move(strings);
  return ProgramWithVersion(BuildVersionTree(StandardTree(layout))).Bytes;
}

constexpr const char* kProductVersion = "\\StringFileInfo\\040904B0\\ProductVersion";

TEST(VersionInfoApi, TextValuesAreTerminatedNarrowText) {
  TTempFolder folder;
  TVersionData data(folder.Write("a.exe", StandardImage({{"ProductVersion", "1.2.0"},
                                                         {"Comments", "\xce\xb2 \xf0\x9f\x98\x80"},
                                                         {"Empty", ""}})));
  ASSERT_TRUE(data.Read);
  TQuery version = data.Query(kProductVersion);
  EXPECT_TRUE(version.Found);
  EXPECT_EQ(version.Bytes, std::string("1.2.0", 6));  // length counts the terminator
  EXPECT_EQ(data.Query("\\StringFileInfo\\040904B0\\Comments").Bytes,
            std::string("\xce\xb2 \xf0\x9f\x98\x80", 8));
  TQuery empty = data.Query("\\StringFileInfo\\040904B0\\Empty");
  EXPECT_TRUE(empty.Found);
  EXPECT_STREQ(static_cast<const char*>(empty.Pointer), "");
  TQuery block = data.Query("\\StringFileInfo");
  EXPECT_TRUE(block.Found);
  EXPECT_EQ(block.Bytes.size(), 0u);
  EXPECT_EQ(data.Query("\\VarFileInfo\\Translation").Bytes, std::string("\x09\x04\xb0\x04", 4));
  EXPECT_EQ(data.Query("").Bytes.size(), 52u);
  EXPECT_EQ(data.Query("\\").Bytes.size(), 52u);
  EXPECT_FALSE(data.Query("\\StringFileInfo\\040904B0\\Missing").Found);
}

TEST(VersionInfoApi, EarlierAnswersStayIntact) {
  TTempFolder folder;
  TVersionData data(
      folder.Write("a.exe", StandardImage({{"CompanyName", "Acme"}, {"ProductVersion", "1.2.0"}})));
  TQuery company = data.Query("\\StringFileInfo\\040904B0\\CompanyName");
  TQuery version = data.Query(kProductVersion);
  data.Query("\\StringFileInfo\\040904B0\\CompanyName");
  EXPECT_STREQ(static_cast<const char*>(company.Pointer), "Acme");
  EXPECT_STREQ(static_cast<const char*>(version.Pointer), "1.2.0");
  // Every answer points into the caller's buffer.
  for (const TQuery& query : {company, version}) {
    EXPECT_GE(static_cast<const std::uint8_t*>(query.Pointer), data.Buffer.data());
    EXPECT_LT(static_cast<const std::uint8_t*>(query.Pointer),
              data.Buffer.data() + data.Buffer.size());
  }
}

TEST(VersionInfoApi, NarrowDataIsGivenAsItIs) {
  TTempFolder folder;
  TVersionLayout layout;
  layout.Strings = {{"ProductVersion", "1.2.0"}, {"Comments", "caf\xe9"}};
  TNeLayout ne;
  ne.Resources.push_back(
      {16, std::nullopt, 1, 0,
       BuildVersionTree(StandardTree(layout, TTreeFlavor::Narrow), TTreeFlavor::Narrow)});
  TVersionData data(folder.Write("ne.exe", BuildNe(ne).Bytes));
  ASSERT_TRUE(data.Read);
  EXPECT_STREQ(static_cast<const char*>(data.Query(kProductVersion).Pointer), "1.2.0");
  EXPECT_STREQ(static_cast<const char*>(data.Query("\\StringFileInfo\\040904B0\\Comments").Pointer),
               "caf\xe9");
  EXPECT_EQ(data.Query("\\VarFileInfo\\Translation").Bytes, std::string("\x09\x04\xb0\x04", 4));
}

TEST(VersionInfoApi, UnterminatedNarrowTextRunsOn) {
  TTempFolder folder;
  TBlockLayout root = StandardTree(
      {{}, "040904B0", {{"ProductVersion", "1.2.0"}, {"Next", "zzzz"}}}, TTreeFlavor::Narrow);
  TBlockLayout& string = root.Children[0].Children[0].Children[0];
  string.Value = {'1', '.', '2', '.'};  // no terminator, and the block ends right after it
  string.ValueLength = 4;
  TNeLayout ne;
  ne.Resources.push_back({16, std::nullopt, 1, 0, BuildVersionTree(root, TTreeFlavor::Narrow)});
  TVersionData data(folder.Write("ne.exe", BuildNe(ne).Bytes));
  // As on the platform, the text is given in place and runs on into the next block, whose length
  // (0x11, for "Next") comes next and whose high byte ends it.
  EXPECT_STREQ(static_cast<const char*>(data.Query(kProductVersion).Pointer), "1.2.\x11");
}

TEST(VersionInfoApi, NothingForFilesWithoutVersionData) {
  TTempFolder folder;
  std::string fifo = (folder.Path() / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  TPeLayout bare;
  for (const std::string& path :
       {folder.Write("text.txt", {'M', 'Z'}), folder.Write("bare.exe", BuildPe(bare).Bytes), fifo,
        folder.Path().string(), std::string("/dev/zero"), (folder.Path() / "missing").string()}) {
    DWORD handle = 7;
    EXPECT_EQ(GetFileVersionInfoSizeA(path.c_str(), &handle), 0u) << path;
    EXPECT_EQ(handle, 0u);
    std::vector<std::uint8_t> buffer(256);
    EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, 256, buffer.data())) << path;
  }
  EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, nullptr), 0u);
}

// The string lies near the end of the data, the fixed information at its start: a buffer too
// small for the whole data keeps its leading part, so the one is found before the other.
TEST(VersionInfoApi, SmallBufferGetsTheLeadingPartOnly) {
  TTempFolder folder;
  std::string path = folder.Write("a.exe", StandardImage({{"ProductVersion", "1.2.0"}}));
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
  ASSERT_GT(size, 120u);
  struct TRow {
    DWORD Size;
    const char* Fixed;    // what the root query finds: "<n bytes>", "<none>", "<read fails>"
    const char* Product;  // the ProductVersion found
  };
  const TRow rows[] = {
      {8, "<read fails>", "<read fails>"},  // too small for any data: not read at all
      {20, "<none>", "<none>"},             // room for the trailer only
      {64, "<8 bytes>", "<none>"},          // the fixed information cut at the data's end
      {120, "<52 bytes>", "<none>"},
      {size / 2, "<52 bytes>", "<none>"},
      {size, "<52 bytes>", "1.2.0"},
  };
  for (const TRow& row : rows) {
    std::vector<std::uint8_t> buffer(row.Size + 16, 0xCC);
    BOOL read = GetFileVersionInfoA(path.c_str(), 0, row.Size, buffer.data());
    // Never more than the buffer's size is written.
    for (std::size_t i = row.Size; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xCC) << row.Size;
    LPVOID pointer = nullptr;
    UINT length = 0;
    std::string fixed = "<read fails>", product = "<read fails>";
    if (read) {
      fixed = VerQueryValueA(buffer.data(), "\\", &pointer, &length)
                  ? "<" + std::to_string(length) + " bytes>"
                  : "<none>";
      product = VerQueryValueA(buffer.data(), kProductVersion, &pointer, &length)
                    ? static_cast<const char*>(pointer)
                    : "<none>";
    }
    EXPECT_EQ(fixed, row.Fixed) << row.Size << " of " << size;
    EXPECT_EQ(product, row.Product) << row.Size << " of " << size;
  }
}

TEST(VersionInfoApi, QueriesRefuseForeignOrMissingBuffers) {
  std::vector<std::uint8_t> zeros(1024, 0);
  LPVOID pointer = nullptr;
  UINT length = 0;
  EXPECT_FALSE(VerQueryValueA(zeros.data(), "", &pointer, &length));
  EXPECT_FALSE(VerQueryValueA(nullptr, "", &pointer, &length));
  EXPECT_FALSE(VerQueryValueA(zeros.data(), nullptr, &pointer, &length));
}

TEST(VersionInfoApi, ARewrittenFileIsReadAfresh) {
  TTempFolder folder;
  std::string path = folder.Write("a.exe", StandardImage({{"ProductVersion", "1.2.0"}}));
  TVersionData first(path);
  EXPECT_STREQ(static_cast<const char*>(first.Query(kProductVersion).Pointer), "1.2.0");
  // A different layout under the same name: the data must come from where the new file has it.
  TVersionLayout layout;
  layout.Strings = {{"CompanyName", "A much longer company name that moves things"},
                    {"ProductVersion", "2.0"}};
  TPeLayout pe;
  pe.Resources = {{3, std::nullopt, 1, 0x409, TBytes(100, 1)},
                  {16, std::nullopt, 1, 0x409, BuildVersionTree(StandardTree(layout))}};
  WriteFile(path, BuildPe(pe).Bytes);
  TVersionData second(path);
  EXPECT_STREQ(static_cast<const char*>(second.Query(kProductVersion).Pointer), "2.0");
}

struct TTypeNameCase {
  const char* Name;
  const char* File;
  const char* Expected;
};

class ShellTypeName : public testing::TestWithParam<TTypeNameCase> {};

TEST_P(ShellTypeName, ComesFromTheName) {
  TTempFolder folder;
  std::filesystem::create_directory(folder.Path() / "dir.d");
  std::string path = folder.Write(GetParam().File, {'x'});
  SHFILEINFOA info{};
  ASSERT_NE(SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_TYPENAME), 0u);
  EXPECT_STREQ(info.szTypeName, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShellTypeName,
    testing::Values(TTypeNameCase{"program", "a.exe", "Application"},
                    TTypeNameCase{"program_in_capitals", "A.EXE", "Application"},
                    TTypeNameCase{"library", "a.Dll", "Application extension"},
                    TTypeNameCase{"other_extension", "notes.txt", "TXT File"},
                    TTypeNameCase{"last_extension_counts", "a.tar.gz", "GZ File"},
                    TTypeNameCase{"no_extension", "README", "File"},
                    TTypeNameCase{"trailing_dot", "a.", "File"},
                    TTypeNameCase{"dotted_folder", "dir.d/plain", "File"}),
    [](const testing::TestParamInfo<TTypeNameCase>& info) { return info.param.Name; });

TEST(ShellTypeNameOf, FoldersMissingFilesAndLongExtensions) {
  TTempFolder folder;
  SHFILEINFOA info{};
  ASSERT_NE(SHGetFileInfoA(folder.Path().c_str(), 0, &info, sizeof info, SHGFI_TYPENAME), 0u);
  EXPECT_STREQ(info.szTypeName, "File folder");
  EXPECT_EQ(
      SHGetFileInfoA((folder.Path() / "missing").c_str(), 0, &info, sizeof info, SHGFI_TYPENAME),
      0u);
  // The field holds 80 bytes: a long extension is cut at a character boundary and terminated.
  std::string extension;
  for (int i = 0; i < 40; ++i) extension += "\xce\xb2";
  std::string path = folder.Write("a." + extension, {'x'});
  ASSERT_NE(SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_TYPENAME), 0u);
  EXPECT_EQ(std::strlen(info.szTypeName), 78u);
  EXPECT_EQ(std::string(info.szTypeName), extension.substr(0, 78));
}

}  // namespace
