// SPDX-License-Identifier: MIT
// The images the micro-benchmarks read: one of each kind, written once to temporary files that
// are removed at exit.
#pragma once

#include <string>

#include "tests/support/version_tree.h"

enum class TBenchImage { Pe32, Pe32Plus, Ne, Pe32With3GiBOverlay };

// A version resource as resource compilers write it for an ordinary program.
TVersionLayout TypicalVersion();

// Path of a file holding the given image; the 3 GiB overlay is sparse and takes no disk space.
const std::string& BenchImagePath(TBenchImage image);
