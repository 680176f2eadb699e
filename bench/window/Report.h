// What the window benchmarks' programs print, one "key value" line each, for
// the runner that started them: times as absolute FILETIME ticks (100 ns) of
// the system clock, which the runner compares with the moment it created the
// process; sizes in bytes; durations in microseconds.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>

namespace bench {

inline uint64_t NowTicks() {
  FILETIME ft;
  GetSystemTimePreciseAsFileTime(&ft);
  return (uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
}

inline void Print(const char* key, double value) {
  std::printf("%s %.3f\n", key, value);
  std::fflush(stdout);
}

// Peak working set and private bytes (where the system does not count private
// bytes apart, as under Wine, the page-file commit stands for them).
inline void PrintMemory() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) return;
  Print("peak_working_set", static_cast<double>(pmc.PeakWorkingSetSize));
  Print("private_bytes", static_cast<double>(pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage));
}

}  // namespace bench
