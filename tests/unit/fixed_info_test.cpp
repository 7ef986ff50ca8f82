// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "tests/support/version_tree.h"
#include "versioninfo/fixed_info.h"

namespace {

TFixedFileInfoView View(const TBytes& bytes) { return {TByteView(bytes.data(), bytes.size())}; }

struct TTypeCase {
  std::uint32_t Type;
  std::uint32_t Subtype;
  const char* Text;
};

class FileTypeTextTable : public testing::TestWithParam<TTypeCase> {};

TEST_P(FileTypeTextTable, NamesTheType) {
  TBytes fixed = FixedInfoBytes({0x3F, 0, GetParam().Type, GetParam().Subtype});
  EXPECT_EQ(FileTypeText(View(fixed)), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Types, FileTypeTextTable,
    testing::Values(TTypeCase{0, 7, "Unknown"}, TTypeCase{1, 0, "Application"},
                    TTypeCase{1, 99, "Application"}, TTypeCase{2, 3, "DLL"},
                    TTypeCase{3, 0, "Unknown Driver"}, TTypeCase{3, 1, "Printer Driver"},
                    TTypeCase{3, 2, "Keyboard Driver"}, TTypeCase{3, 3, "Language Driver"},
                    TTypeCase{3, 4, "Display Driver"}, TTypeCase{3, 5, "Mouse Driver"},
                    TTypeCase{3, 6, "Network Driver"}, TTypeCase{3, 7, "System Driver"},
                    TTypeCase{3, 8, "InstallableDriver"}, TTypeCase{3, 9, "Sound Driver"},
                    TTypeCase{3, 10, "Communications Driver"}, TTypeCase{3, 11, ""},
                    TTypeCase{3, 0xFFFFFFFF, ""}, TTypeCase{4, 0, "Unknown Font"},
                    TTypeCase{4, 1, "Raster Font"}, TTypeCase{4, 2, "Vector Font"},
                    TTypeCase{4, 3, "Truetype Font"}, TTypeCase{4, 4, ""},
                    TTypeCase{5, 0x2A, "Virtual Defice Identifier = 0000002A"},
                    TTypeCase{5, 0xABCDEF12, "Virtual Defice Identifier = ABCDEF12"},
                    TTypeCase{6, 0, ""}, TTypeCase{7, 5, "Static-link Library"},
                    TTypeCase{8, 0, ""}, TTypeCase{0xFFFFFFFF, 0, ""}));

TEST(FileFlags, CountOnlyWhenDeclaredValidAndSet) {
  struct TFlagCase {
    std::uint32_t Mask, Flags;
    std::uint16_t Bit;
    bool Expected;
  };
  for (const TFlagCase& row : {TFlagCase{0x3F, 0x01, 0x1, true}, TFlagCase{0x3F, 0x20, 0x20, true},
                               TFlagCase{0x00, 0x3F, 0x1, false},  // set, but not declared valid
                               TFlagCase{0x3F, 0x00, 0x1, false},  // valid, but not set
                               TFlagCase{0x02, 0x03, 0x1, false}, TFlagCase{0x02, 0x03, 0x2, true},
                               TFlagCase{0xFFFFFFFF, 0xFFFF0004, 0x4, true}}) {
    TBytes fixed = FixedInfoBytes({row.Mask, row.Flags, 1, 0});
    EXPECT_EQ(HasFileFlag(View(fixed), row.Bit), row.Expected)
        << std::hex << row.Mask << " " << row.Flags << " " << row.Bit;
  }
}

}  // namespace
