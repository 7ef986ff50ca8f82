// SPDX-License-Identifier: MIT
// Files that change while they are read: another process may rewrite, replace or truncate a file
// between the size query and any of the reads that follow.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/winver.h"
#include "tests/support/temp_folder.h"
#include "tests/hostile/short_reads.h"
#include "tests/support/image_builder.h"
#include "versioninfo/versioninfo.h"

namespace {

constexpr const char* kProductVersionPath = "\\StringFileInfo\\040904B0\\ProductVersion";

// A program whose version resource follows padding bytes of other resource data, so images
// with different padding keep their version data at different offsets.
TBytes VersionImage(const std::string& productVersion, std::size_t padding,
                    const std::string& comment = "") {
  TVersionLayout layout;
  layout.Strings = {{"ProductVersion", productVersion}, {"Comments", comment}};
  TPeLayout pe;
  if (padding > 0) pe.Resources.push_back({24, std::nullopt, 1, 0x0409, TBytes(padding, 0x5A)});
  pe.Resources.push_back({16, std::nullopt, 1, 0x0409, BuildVersionTree(StandardTree(layout))});
  return BuildPe(pe).Bytes;
}

std::string QueryText(const std::vector<std::uint8_t>& buffer, const char* path) {
  LPVOID value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), path, &value, &length)) return "<none>";
  auto at = static_cast<const std::uint8_t*>(value);
  EXPECT_TRUE(at >= buffer.data() && at + length <= buffer.data() + buffer.size());
  return static_cast<const char*>(value);
}

struct TRewriteCase {
  const char* Name;
  TBytes Then;
  std::string Expected;  // ProductVersion read through the size found before the rewrite
};

TEST(Rewrite, SizeFromOneFileDataFromTheNext) {
  TTempFolder folder;
  std::string path = folder.PathOf("changing.exe");
  TRewriteCase cases[] = {
      {"moved_version_data", VersionImage("2.0", 3000), "2.0"},
      {"other_strings", VersionImage("2.0.0.1", 0, "second"), "2.0.0.1"},
      {"no_longer_an_image", TBytes(4000, 'x'), "<none>"},
      {"emptied", TBytes{}, "<none>"},
      {"cut_inside_the_headers", VersionImage("2.0", 0), "<none>"},
  };
  cases[4].Then.resize(300);
  for (const TRewriteCase& rewrite : cases) {
    SCOPED_TRACE(rewrite.Name);
    WriteFile(path, VersionImage("1.0", 0, std::string(200, 'f')));
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> buffer(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), handle, size, buffer.data()));
    ASSERT_EQ(QueryText(buffer, kProductVersionPath), "1.0");

    WriteFile(path, rewrite.Then);
    bool read = GetFileVersionInfoA(path.c_str(), handle, size, buffer.data());
    EXPECT_EQ(read, rewrite.Expected != "<none>");
    EXPECT_EQ(QueryText(buffer, kProductVersionPath), rewrite.Expected);
  }
}

// A read that comes back short leaves a buffer that answers nothing, never the half-read bytes
// of a file whose version data would not fit the buffer.
TEST(Rewrite, ShortReadLeavesNoVersionData) {
  TTempFolder folder;
  std::string path = folder.PathOf("shrinking.exe");
  WriteFile(path, VersionImage("1.0", 0));
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  std::vector<std::uint8_t> buffer(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), handle, size, buffer.data()));

  // The file is replaced by one whose version data would not fit, and that file's location is
  // already known when its read comes back short.
  WriteFile(path, VersionImage("2.0", 0, std::string(4000, 'c')));
  ASSERT_GT(GetFileVersionInfoSizeA(path.c_str(), &handle), size);
  for (std::size_t delivered : {2, 64, 500}) {
    SCOPED_TRACE(delivered);
    LimitReadsTo(delivered);
    BOOL read = GetFileVersionInfoA(path.c_str(), handle, size, buffer.data());
    UnlimitReads();
    EXPECT_FALSE(read);
    LPVOID value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(buffer.data(), "", &value, &length));
    EXPECT_FALSE(VerQueryValueA(buffer.data(), kProductVersionPath, &value, &length));
  }
}

TEST(Rewrite, BufferTooSmallForAnyDataIsNotWritten) {
  TTempFolder folder;
  std::string path = folder.PathOf("small.exe");
  WriteFile(path, VersionImage("1.0", 0));
  for (DWORD length : {1u, 2u, 19u}) {
    std::vector<std::uint8_t> buffer(length, 0xEE);
    EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, length, buffer.data()));
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(length, 0xEE));
  }
}

// Another thread replaces the file again and again while it is read. Each replacement is a
// rename, so every open sees one whole file; the variants differ in size and in where their
// version data lies, so a location kept from one variant never serves another.
TEST(Rewrite, ReplacedWhileReading) {
  TTempFolder folder;
  std::string path = folder.PathOf("replaced.exe");
  const std::string versions[] = {"1.1.1", "2.2.2", "3.3.3"};
  std::vector<TBytes> variants;
  for (std::size_t i = 0; i < 3; ++i) variants.push_back(VersionImage(versions[i], 1000 * i));
  WriteFile(path, variants[0]);

  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (std::size_t round = 0; !stop; ++round) {
      std::string next = folder.PathOf("next" + std::to_string(round % 2));
      WriteFile(next, variants[round % 3]);
      std::rename(next.c_str(), path.c_str());
    }
  });
  for (int i = 0; i < 150; ++i) {
    TFileVersionInfo info;
    ReadFileVersionInfo(path, info);
    EXPECT_TRUE(info.ProductVersion == versions[0] || info.ProductVersion == versions[1] ||
                info.ProductVersion == versions[2])
        << info.ProductVersion;
  }
  stop = true;
  writer.join();
}

// Rewritten in place, half at a time, with truncations between: a read may see any mix of the
// variants' bytes, even within one version string, so what it finds is not foreseeable; it must
// still end, stay inside its buffers and keep the record consistent.
TEST(Rewrite, TornWhileReading) {
  TTempFolder folder;
  std::string path = folder.PathOf("torn.exe");
  std::vector<TBytes> variants = {VersionImage("1.1.1", 0), VersionImage("2.2.2", 700),
                                  VersionImage("3.3.3", 0, std::string(900, 'c'))};
  WriteFile(path, variants[0]);

  std::atomic<bool> stop{false};
  std::thread writer([&] {
    int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    for (std::size_t round = 0; !stop; ++round) {
      const TBytes& bytes = variants[round % 3];
      std::size_t half = bytes.size() / 2;
      if (round % 2 == 0) {
        ASSERT_EQ(ftruncate(fd, static_cast<off_t>(half)), 0);
      }
      ASSERT_EQ(pwrite(fd, bytes.data(), half, 0), static_cast<ssize_t>(half));
      ASSERT_EQ(pwrite(fd, bytes.data() + half, bytes.size() - half, static_cast<off_t>(half)),
                static_cast<ssize_t>(bytes.size() - half));
      ASSERT_EQ(ftruncate(fd, static_cast<off_t>(bytes.size())), 0);
    }
    close(fd);
  });
  for (int i = 0; i < 300; ++i) {
    TFileVersionInfo info;
    TReadStop stop = ReadFileVersionInfoTraced(path, info, VersionReaderVariant::Standard);
    EXPECT_EQ(info.ProductVersion.find('\0'), std::string::npos);
    if (stop != TReadStop::Complete) {
      EXPECT_EQ(info.ProductVersion, "");
    }
  }
  stop = true;
  writer.join();
}

}  // namespace
