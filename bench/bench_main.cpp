// Runs every registered case (or those whose name contains argv[1]) and prints
// the median time of its runs, one line per case, then one machine-readable
// line per case ("= name median_us bytes_per_run") for scripts/bench.sh.
// Portable: the same harness runs under Wine and natively.
#include <algorithm>
#include <chrono>
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

int main(int argc, char** argv) {
  const char* filter = argc > 1 ? argv[1] : "";
  for (auto& c : bench::Registry()) {
    if (filter[0] && !std::strstr(c.name.c_str(), filter)) continue;
    bench::SetBytesPerRun(0);
    c.body();  // warm-up, and lets the case announce its bytes per run
    std::vector<double> us;
    for (int i = 0; i < c.runs; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      c.body();
      const auto t1 = std::chrono::steady_clock::now();
      us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    std::sort(us.begin(), us.end());
    const double median = us[us.size() / 2];
    std::printf("%-40s median %12.1f us  (min %.1f, max %.1f, %d runs)", c.name.c_str(), median,
                us.front(), us.back(), c.runs);
    if (bench::g_bytes_per_run > 0 && median > 0)
      std::printf("  %.1f MB/s", static_cast<double>(bench::g_bytes_per_run) / median);
    std::printf("\n= %s %.3f %zu\n", c.name.c_str(), median, bench::g_bytes_per_run);
    std::fflush(stdout);
  }
  return 0;
}
