// SPDX-License-Identifier: MIT
// tamsik-full compares the "Full Version" strings: the reader fills FileVersion from that key.
#pragma once

#include "tamsik/compare.h"

constexpr TCompareSettings kFullVersionSettings{VersionReaderVariant::Full,
                                                &TFileVersionInfo::FileVersion};
