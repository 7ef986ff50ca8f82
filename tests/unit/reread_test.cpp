// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/winver.h"
#include "tests/support/image_builder.h"
#include "tests/support/temp_folder.h"

namespace {

TBytes ProgramWith(const std::string& productVersion) {
  TVersionLayout layout;
  layout.Strings = {{"ProductVersion", productVersion}};
  return ProgramWithVersion(BuildVersionTree(StandardTree(layout))).Bytes;
}

std::string ProductVersionIn(std::vector<std::uint8_t>& buffer) {
  LPVOID value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), "\\StringFileInfo\\040904B0\\ProductVersion", &value, &length))
    return "<none>";
  return static_cast<const char*>(value);
}

const std::string kLongVersion = "1.0." + std::string(400, '7');

struct TChangeCase {
  const char* Name;
  std::function<void(const std::string& path)> Change;
  std::string Expected;  // after the change; "<read fails>" when the read must fail
};

// A reader asks for the size once and then reads the data again per string; what lies at the path
// when a read happens is what that read must see, however the path changed since the size call.
TEST(Reread, EachReadSeesTheFileThatThePathNamesNow) {
  TTempFolder folder;
  const std::string path = folder.PathOf("reread.exe");
  const std::vector<TChangeCase> cases = {
      {"unchanged", [](const std::string&) {}, "1.0"},
      {"replaced_by_rename",
       [](const std::string& p) {
         WriteFile(p + ".new", ProgramWith("2.0"));
         ASSERT_EQ(std::rename((p + ".new").c_str(), p.c_str()), 0);
       },
       "2.0"},
      // Same inode; the file grows, so the change shows even where timestamps are coarse.
      {"rewritten_in_place_larger",
       [](const std::string& p) { WriteFile(p, ProgramWith(kLongVersion)); }, kLongVersion},
      {"removed", [](const std::string& p) { unlink(p.c_str()); }, "<read fails>"},
      {"replaced_by_fifo",
       [](const std::string& p) {
         unlink(p.c_str());
         ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
       },
       "<read fails>"},
  };
  for (const TChangeCase& row : cases) {
    SCOPED_TRACE(row.Name);
    WriteFile(path, ProgramWith("1.0"));
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    // Room for the longest version below, as a caller that reuses its buffer might have.
    const DWORD room = size + 4 * static_cast<DWORD>(kLongVersion.size());
    std::vector<std::uint8_t> buffer(room);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), handle, room, buffer.data()));
    EXPECT_EQ(ProductVersionIn(buffer), "1.0");

    row.Change(path);
    std::vector<std::uint8_t> again(room);
    BOOL read = GetFileVersionInfoA(path.c_str(), handle, room, again.data());
    EXPECT_EQ(read ? ProductVersionIn(again) : "<read fails>", row.Expected);
    unlink(path.c_str());
  }
}

}  // namespace
