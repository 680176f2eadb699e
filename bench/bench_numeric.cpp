#include "bench/Bench.h"
#include "host/Numeric.h"

FW_BENCH(RoundHalfEven_1M, 15) {
  int64_t sum = 0;
  for (int i = 0; i < 1000000; ++i) sum += fw::RoundHalfEven(i * 0.25);
  bench::DoNotOptimize(&sum);
}
