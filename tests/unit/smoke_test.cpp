#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/image_builder.h"
#include "versioninfo/versioninfo.h"

TEST(Smoke, ReadsCraftedImages) {
  TVersionSpec spec;
  spec.Strings = {{"ProductVersion", "1.2.3"}, {"CompanyName", "Acme"}, {"Full Version", "X"}};
  spec.Fixed.Flags = 0x3;
  for (TPeKind kind : {TPeKind::Pe32, TPeKind::Pe32Plus}) {
    WriteFile("smoke.exe", ProgramWithVersion(BuildVersionTree(StandardTree(spec)), kind).Bytes);
    TFileVersionInfo info;
    EXPECT_EQ(ReadFileVersionInfoTraced("smoke.exe", info, VersionReaderVariant::Full), TReadStop::Complete);
    EXPECT_EQ(info.ProductVersion, "1.2.3");
    EXPECT_EQ(info.CompanyName, "Acme");
    EXPECT_EQ(info.FileVersion, "X");
    EXPECT_EQ(info.TypeName, "Application");
    EXPECT_EQ(info.FileType, "Application");
    EXPECT_TRUE(info.IsDebug);
    EXPECT_TRUE(info.IsPreRelease);
    EXPECT_FALSE(info.IsPatched);
  }
  TNeSpec ne;
  ne.Resources.push_back({16, std::nullopt, 1, 0, BuildVersionTree(StandardTree(spec, TTreeFlavor::Narrow), TTreeFlavor::Narrow)});
  WriteFile("smoke16.exe", BuildNe(ne).Bytes);
  TFileVersionInfo info;
  EXPECT_EQ(ReadFileVersionInfoTraced("smoke16.exe", info, VersionReaderVariant::Standard), TReadStop::Complete);
  EXPECT_EQ(info.ProductVersion, "1.2.3");
  EXPECT_TRUE(info.IsDebug);
  unlink("smoke.exe");
  unlink("smoke16.exe");
}
