// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_images.h"
#include "platform/posix/blocks.h"
#include "platform/winver.h"
#include "tests/support/version_tree.h"

namespace {

constexpr const char* kTranslation = "\\VarFileInfo\\Translation";
constexpr const char* kProductVersion = "\\StringFileInfo\\040904B0\\ProductVersion";
constexpr const char* kMissing = "\\StringFileInfo\\040904B0\\SpecialBuild";  // walks every string

// The tree walk alone, over version data as it lies in the file.
void BM_FindBlock(benchmark::State& state, TTreeFlavor flavor, const char* subBlock) {
  TBytes data = BuildVersionTree(StandardTree(TypicalVersion(), flavor), flavor);
  TByteView view(data.data(), data.size());
  TVersionFlavor kind = flavor == TTreeFlavor::Wide ? TVersionFlavor::Wide : TVersionFlavor::Narrow;
  for (auto _ : state) benchmark::DoNotOptimize(FindBlock(view, kind, subBlock));
}
BENCHMARK_CAPTURE(BM_FindBlock, WideTranslation, TTreeFlavor::Wide, kTranslation);
BENCHMARK_CAPTURE(BM_FindBlock, WideProductVersion, TTreeFlavor::Wide, kProductVersion);
BENCHMARK_CAPTURE(BM_FindBlock, WideMissing, TTreeFlavor::Wide, kMissing);
BENCHMARK_CAPTURE(BM_FindBlock, NarrowProductVersion, TTreeFlavor::Narrow, kProductVersion);

// The platform call the reader makes: the walk plus the answer (text converted to narrow).
void BM_VerQueryValueA(benchmark::State& state, TBenchImage image, const char* subBlock) {
  const char* path = BenchImagePath(image).c_str();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  std::vector<std::uint8_t> buffer(size);
  if (!GetFileVersionInfoA(path, handle, size, buffer.data()))
    return state.SkipWithError("read failed");
  for (auto _ : state) {
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.data(), subBlock, &value, &length))
      return state.SkipWithError("lookup failed");
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK_CAPTURE(BM_VerQueryValueA, Pe32Translation, TBenchImage::Pe32, kTranslation);
BENCHMARK_CAPTURE(BM_VerQueryValueA, Pe32ProductVersion, TBenchImage::Pe32, kProductVersion);
BENCHMARK_CAPTURE(BM_VerQueryValueA, NeProductVersion, TBenchImage::Ne, kProductVersion);

}  // namespace
