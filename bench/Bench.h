// A small benchmark harness: each case runs a number of times, timed with
// QueryPerformanceCounter, and the median is printed. Cases register themselves:
//
//   FW_BENCH(RoundHalfEven, 25) { ... one run ... }
//
// and may report a throughput with bench::SetBytesPerRun(n).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

struct Case {
  std::string name;
  int runs;
  std::function<void()> body;
};

std::vector<Case>& Registry();
// Bytes one run of the current case processes; when set, MB/s is printed too.
void SetBytesPerRun(size_t bytes);

struct Registrar {
  Registrar(const char* name, int runs, std::function<void()> body) {
    Registry().push_back({name, runs, std::move(body)});
  }
};

// Keeps the optimiser from dropping a computed value.
void DoNotOptimize(const void* p);

}  // namespace bench

#define FW_BENCH_CONCAT2(a, b) a##b
#define FW_BENCH_CONCAT(a, b) FW_BENCH_CONCAT2(a, b)
#define FW_BENCH(name, runs)                                                     \
  static void FW_BENCH_CONCAT(BenchBody_, name)();                               \
  static ::bench::Registrar FW_BENCH_CONCAT(bench_registrar_, name)(             \
      #name, runs, &FW_BENCH_CONCAT(BenchBody_, name));                          \
  static void FW_BENCH_CONCAT(BenchBody_, name)()
