// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/posix/blocks.h"
#include "platform/posix/utf8.h"
#include "tests/support/version_tree.h"

namespace {

TBlockLayout SampleTree() {
  TVersionLayout layout;
  layout.TableName = "040904b0";
  layout.Strings = {{"LegalCopyright", "(c) Acme"},
                    {"ProductVersion", "1.2.0"},
                    {"ProductVersion", "9.9"},
                    {"ProductVersionX", "x"},
                    {"Empty", ""}};
  return StandardTree(layout);
}

// The text a path leads to: a wide text value as UTF-8, "<block>" for a block without a value,
// "<n bytes>" for a binary value, "<none>" when the path leads nowhere.
std::string Lookup(const TBytes& data, std::string_view path,
                   TVersionFlavor flavor = TVersionFlavor::Wide) {
  TByteView view(data.data(), data.size());
  auto block = FindBlock(view, flavor, path);
  if (!block) return "<none>";
  if (flavor == TVersionFlavor::Narrow || !block->IsText) {
    TByteView value = DeclaredValue(view, *block);
    if (flavor == TVersionFlavor::Narrow && value.Size() > 0 &&
        *value.ReadU8(value.Size() - 1) == 0)
      return std::string(reinterpret_cast<const char*>(value.At(0)), value.Size() - 1);
    return "<" + std::to_string(value.Size()) + " bytes>";
  }
  if (block->ValueLength == 0) return "<block>";
  return Utf16ToUtf8(WideText(view, *block));
}

struct TPathCase {
  const char* Name;
  const char* Path;
  const char* Expected;
};

class SubBlockPath : public testing::TestWithParam<TPathCase> {};

TEST_P(SubBlockPath, LeadsToItsValue) {
  TBytes data = BuildVersionTree(SampleTree());
  EXPECT_EQ(Lookup(data, GetParam().Path), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SubBlockPath,
    testing::Values(
        TPathCase{"root_by_empty_path", "", "<52 bytes>"},
        TPathCase{"root_by_backslash", "\\", "<52 bytes>"},
        TPathCase{"string", "\\StringFileInfo\\040904b0\\ProductVersion", "1.2.0"},
        TPathCase{"table_name_in_upper_case_matches", "\\StringFileInfo\\040904B0\\ProductVersion",
                  "1.2.0"},
        TPathCase{"key_in_other_case_matches", "\\StringFileInfo\\040904B0\\LegalCopyRight",
                  "(c) Acme"},
        TPathCase{"leading_backslash_is_optional", "StringFileInfo\\040904B0\\ProductVersion",
                  "1.2.0"},
        TPathCase{"doubled_and_trailing_backslashes_are_ignored",
                  "\\\\StringFileInfo\\\\040904B0\\ProductVersion\\\\", "1.2.0"},
        TPathCase{"slash_is_no_separator", "/StringFileInfo/040904B0/ProductVersion", "<none>"},
        TPathCase{"key_must_match_whole", "\\StringFileInfo\\040904B0\\ProductVers", "<none>"},
        TPathCase{"longer_key_is_another_key", "\\StringFileInfo\\040904B0\\ProductVersionX", "x"},
        TPathCase{"first_of_duplicate_keys_wins", "\\StringFileInfo\\040904B0\\productversion",
                  "1.2.0"},
        TPathCase{"block_itself", "\\StringFileInfo", "<block>"},
        TPathCase{"table_itself", "\\StringFileInfo\\040904B0", "<block>"},
        TPathCase{"empty_value", "\\StringFileInfo\\040904B0\\Empty", ""},
        TPathCase{"translation", "\\VarFileInfo\\Translation", "<4 bytes>"},
        TPathCase{"missing_table", "\\StringFileInfo\\04070000\\ProductVersion", "<none>"},
        TPathCase{"path_below_a_string", "\\StringFileInfo\\040904B0\\ProductVersion\\x",
                  "<none>"}),
    [](const testing::TestParamInfo<TPathCase>& info) { return info.param.Name; });

TBlockLayout& Strings(TBlockLayout& root) { return root.Children[0].Children[0]; }
constexpr const char* kProductVersion = "\\StringFileInfo\\040904B0\\ProductVersion";

TEST(VersionBlocks, ZeroLengthChildEndsWalk) {
  TBlockLayout root = SampleTree();
  TBlockLayout stop = TextBlock("Stop", "x");
  stop.LengthOverride = 0;
  Strings(root).Children.insert(Strings(root).Children.begin(), stop);
  EXPECT_EQ(Lookup(BuildVersionTree(root), kProductVersion), "<none>");
}

TEST(VersionBlocks, VarFileInfoMayComeFirst) {
  TBlockLayout root = SampleTree();
  std::swap(root.Children[0], root.Children[1]);
  TBytes data = BuildVersionTree(root);
  EXPECT_EQ(Lookup(data, kProductVersion), "1.2.0");
  EXPECT_EQ(Lookup(data, "\\VarFileInfo\\Translation"), "<4 bytes>");
}

TEST(VersionBlocks, ChildrenAreBoundedByTheirParent) {
  // A table whose stored length ends before its strings: they are outside it, so not found.
  TBlockLayout root = SampleTree();
  Strings(root).LengthOverride = 24;
  EXPECT_EQ(Lookup(BuildVersionTree(root), kProductVersion), "<none>");
  // A string claiming to run past the end of the data is cut at the end, not read beyond it.
  TBlockLayout last = SampleTree();
  Strings(last).Children = {TextBlock("ProductVersion", "1.2.0")};
  Strings(last).Children[0].LengthOverride = 0xFFFF;
  last.Children.pop_back();
  EXPECT_EQ(Lookup(BuildVersionTree(last), kProductVersion), "1.2.0");
}

TEST(VersionBlocks, WrongValueLengthsStillGiveTheWholeText) {
  for (std::uint16_t stored : {1, 3, 6, 12, 500}) {
    TBlockLayout root = SampleTree();
    for (TBlockLayout& string : Strings(root).Children) string.ValueLength = stored;
    EXPECT_EQ(Lookup(BuildVersionTree(root), kProductVersion), "1.2.0") << stored;
  }
}

TEST(VersionBlocks, TextWithoutTerminatorEndsWithTheBlock) {
  TBlockLayout root = SampleTree();
  TBlockLayout& string = Strings(root).Children[1];
  string.Value = Utf16FromUtf8("1.2.0", false);
  TBytes data = BuildVersionTree(root);
  EXPECT_EQ(Lookup(data, kProductVersion), "1.2.0");
}

TEST(VersionBlocks, UnterminatedKeyNeverMatches) {
  TBlockLayout root = SampleTree();
  TBlockLayout& table = Strings(root);
  table.Children = {BinaryBlock("", {})};
  TBytes data = BuildVersionTree(root);
  // Overwrite the key's terminator and everything after it inside the string block.
  TByteView view(data.data(), data.size());
  auto block = FindBlock(view, TVersionFlavor::Wide, "\\StringFileInfo\\040904B0");
  ASSERT_TRUE(block);
  for (std::size_t at = block->ChildrenStart + 6; at < block->End; ++at) data[at] = 'A';
  EXPECT_EQ(Lookup(data, "\\StringFileInfo\\040904B0\\AAAA"), "<none>");
}

TEST(VersionBlocks, TruncatedDataFindsNothingPastItsEnd) {
  TBytes data = BuildVersionTree(SampleTree());
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{5}, data.size() / 2}) {
    TBytes cut(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_EQ(Lookup(cut, kProductVersion), "<none>") << size << " of " << data.size();
  }
}

TEST(VersionBlocks, NarrowDataHasEightBitKeysAndText) {
  TVersionLayout layout;
  layout.Strings = {{"ProductVersion", "1.2.0"}, {"Comments", "caf\xe9"}};
  TBytes data = BuildVersionTree(StandardTree(layout, TTreeFlavor::Narrow), TTreeFlavor::Narrow);
  TByteView view(data.data(), data.size());
  EXPECT_EQ(DetectFlavor(view), TVersionFlavor::Narrow);
  EXPECT_EQ(Lookup(data, "\\stringfileinfo\\040904b0\\PRODUCTVERSION", TVersionFlavor::Narrow),
            "1.2.0");
  EXPECT_EQ(Lookup(data, "\\StringFileInfo\\040904B0\\Comments", TVersionFlavor::Narrow),
            "caf\xe9");
  EXPECT_EQ(Lookup(data, "\\VarFileInfo\\Translation", TVersionFlavor::Narrow), "<4 bytes>");
  auto root = FindBlock(view, TVersionFlavor::Narrow, "\\");
  ASSERT_TRUE(root);
  EXPECT_EQ(DeclaredValue(view, *root).Size(), 52u);
}

TEST(VersionBlocks, WideDataIsToldFromNarrow) {
  TBytes wide = BuildVersionTree(SampleTree());
  EXPECT_EQ(DetectFlavor(TByteView(wide.data(), wide.size())), TVersionFlavor::Wide);
  EXPECT_EQ(DetectFlavor(TByteView()), TVersionFlavor::Wide);
}

}  // namespace
