// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/bench_images.h"
#include "platform/posix/file.h"
#include "platform/posix/image.h"
#include "platform/winver.h"
#include "versioninfo/versioninfo.h"

namespace {

// Finding the version resource through the headers and the resource directory, with the reads
// that takes (a fresh window each time, so nothing is served from an earlier walk).
void BM_LocateVersionResource(benchmark::State& state, TBenchImage image) {
  auto file = TRegularFile::Open(BenchImagePath(image).c_str());
  if (!file) return state.SkipWithError("cannot open the image");
  for (auto _ : state) {
    TFileWindow window(*file);
    TExpected<TVersionLocation> result = LocateVersionResource(window);
    if (!result) return state.SkipWithError("no version resource");
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK_CAPTURE(BM_LocateVersionResource, Pe32, TBenchImage::Pe32);
BENCHMARK_CAPTURE(BM_LocateVersionResource, Pe32Plus, TBenchImage::Pe32Plus);
BENCHMARK_CAPTURE(BM_LocateVersionResource, Ne, TBenchImage::Ne);
BENCHMARK_CAPTURE(BM_LocateVersionResource, Pe32With3GiBOverlay, TBenchImage::Pe32With3GiBOverlay);

// One of the reader's per-string re-reads of a file it has just located.
void BM_GetFileVersionInfoA(benchmark::State& state, TBenchImage image) {
  const char* path = BenchImagePath(image).c_str();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  std::vector<std::uint8_t> buffer(size);
  for (auto _ : state) {
    if (!GetFileVersionInfoA(path, handle, size, buffer.data()))
      return state.SkipWithError("read failed");
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size);
}
BENCHMARK_CAPTURE(BM_GetFileVersionInfoA, Pe32, TBenchImage::Pe32);
BENCHMARK_CAPTURE(BM_GetFileVersionInfoA, Pe32With3GiBOverlay, TBenchImage::Pe32With3GiBOverlay);

// All a comparer does for one of its two files: shell queries, size, twelve re-reads and lookups.
void BM_ReadFileVersionInfo(benchmark::State& state, TBenchImage image) {
  std::string path = BenchImagePath(image);
  for (auto _ : state) {
    TFileVersionInfo info;
    ReadFileVersionInfo(path, info, VersionReaderVariant::Standard);
    if (info.ProductVersion.empty()) return state.SkipWithError("no ProductVersion");
    benchmark::DoNotOptimize(info);
  }
}
BENCHMARK_CAPTURE(BM_ReadFileVersionInfo, Pe32, TBenchImage::Pe32);
BENCHMARK_CAPTURE(BM_ReadFileVersionInfo, Ne, TBenchImage::Ne);
BENCHMARK_CAPTURE(BM_ReadFileVersionInfo, Pe32With3GiBOverlay, TBenchImage::Pe32With3GiBOverlay);

}  // namespace
