// SPDX-License-Identifier: MIT
#include "tamsik/compare.h"

int main(int argc, char** argv) {
  constexpr TCompareSettings kSettings{VersionReaderVariant::Standard,
                                       &TFileVersionInfo::ProductVersion};
  return RunComparer(kSettings, argc, argv);
}
