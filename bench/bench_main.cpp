// Runs every registered case (or those whose name contains argv[1]) and prints
// the median time of its runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "bench/Bench.h"

namespace bench {

std::vector<Case>& Registry() {
  static std::vector<Case> cases;
  return cases;
}

static size_t g_bytes_per_run = 0;

void SetBytesPerRun(size_t bytes) { g_bytes_per_run = bytes; }

const void* volatile g_sink = nullptr;

void DoNotOptimize(const void* p) { g_sink = p; }

}  // namespace bench

int wmain(int argc, wchar_t** argv) {
  char filter[256] = {};
  if (argc > 1) WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, filter, sizeof filter - 1, nullptr, nullptr);
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  for (auto& c : bench::Registry()) {
    if (filter[0] && !std::strstr(c.name.c_str(), filter)) continue;
    bench::SetBytesPerRun(0);
    c.body();  // warm-up, and lets the case announce its bytes per run
    std::vector<double> us;
    for (int i = 0; i < c.runs; ++i) {
      LARGE_INTEGER t0, t1;
      QueryPerformanceCounter(&t0);
      c.body();
      QueryPerformanceCounter(&t1);
      us.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 / static_cast<double>(freq.QuadPart));
    }
    std::sort(us.begin(), us.end());
    const double median = us[us.size() / 2];
    std::printf("%-40s median %12.1f us  (min %.1f, max %.1f, %d runs)", c.name.c_str(), median,
                us.front(), us.back(), c.runs);
    if (bench::g_bytes_per_run > 0 && median > 0)
      std::printf("  %.1f MB/s", static_cast<double>(bench::g_bytes_per_run) / median);
    std::printf("\n");
  }
  return 0;
}
