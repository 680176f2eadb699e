// Starts the bare window and the instrumented program in turn, several times,
// and prints the medians side by side with their ratios: what a user waits for
// and what the program holds, against the floor of the same platform measured
// in the same run.
//
//   window_bench_runner BARE.exe FUELWISE_STARTUP.exe HOST[:PORT] [RUNS [DISTANT_HOST[:PORT] DELAY_MS]]
//
// With a distant site (the sample site answering every request DELAY_MS after
// it came in), each run also starts the program against it; its start is set
// against the bare window's plus one round trip.
//
// The repaint floor comes from bench_child_windows.exe beside the runner, when
// it is there: 35 plain child windows (as many as the main window held while
// every control had a window of its own), each only copying a ready bitmap.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/window/Report.h"

namespace {

using Values = std::map<std::string, double>;

// Runs `command`, returns the key/value lines it printed and the moment it was created.
bool RunChild(std::wstring command, Values& out, uint64_t& startTicks) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  startTicks = bench::NowTicks();
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return false;
  }
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(readEnd);
  WaitForSingleObject(pi.hProcess, 60000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::istringstream lines(text);
  std::string key;
  double value = 0;
  while (lines >> key >> value) out[key] = value;
  return true;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Row(const char* label, double value, const char* unit, double reference) {
  std::printf("  %-44s %10.1f %-3s", label, value, unit);
  if (reference > 0) std::printf(" %8.2f", value / reference);
  std::printf("\n");
}

void Machine(const std::string& name, double value) { std::printf("= %s %.3f 0\n", name.c_str(), value); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: window_bench_runner BARE.exe FUELWISE_STARTUP.exe HOST[:PORT] "
                 "[RUNS [DISTANT_HOST[:PORT] DELAY_MS]]\n");
    return 2;
  }
  const int runs = argc > 4 ? std::max(1, _wtoi(argv[4])) : 9;
  const wchar_t* distantHost = argc > 6 ? argv[5] : nullptr;
  const double delayMs = argc > 6 ? _wtof(argv[6]) : 0;
  std::map<std::string, std::vector<double>> bare, program, distant;
  for (int i = 0; i < runs; ++i) {
    Values b, p;
    uint64_t t0 = 0, t1 = 0;
    if (RunChild(L"\"" + std::wstring(argv[1]) + L"\"", b, t0) && b.count("painted")) {
      bare["start_ms"].push_back((b["painted"] - static_cast<double>(t0)) / 1e4);
      bare["peak_working_set"].push_back(b["peak_working_set"]);
      bare["private_bytes"].push_back(b["private_bytes"]);
    }
    if (RunChild(L"\"" + std::wstring(argv[2]) + L"\" " + argv[3], p, t1) && p.count("provinces")) {
      program["provinces_ms"].push_back((p["provinces"] - static_cast<double>(t1)) / 1e4);
      program["painted_ms"].push_back((p["painted"] - static_cast<double>(t1)) / 1e4);
      for (const auto& [key, value] : p) {
        if (key.rfind("step.", 0) == 0) {
          program[key].push_back((value - static_cast<double>(t1)) / 1e4);
        } else if (key != "provinces" && key != "painted") {
          program[key].push_back(value);
        }
      }
    }
    Values d;
    uint64_t t3 = 0;
    if (distantHost && RunChild(L"\"" + std::wstring(argv[2]) + L"\" " + distantHost, d, t3) &&
        d.count("provinces")) {
      distant["provinces_ms"].push_back((d["provinces"] - static_cast<double>(t3)) / 1e4);
      for (const auto& [key, value] : d) {
        if (key.rfind("step.", 0) == 0) distant[key].push_back((value - static_cast<double>(t3)) / 1e4);
      }
    }
  }
  if (bare["start_ms"].empty() || program["provinces_ms"].empty()) {
    std::fprintf(stderr, "window_bench_runner: a program did not report\n");
    return 1;
  }
  const double bareStart = Median(bare["start_ms"]);
  const double bareWs = Median(bare["peak_working_set"]) / 1048576.0;
  const double barePrivate = Median(bare["private_bytes"]) / 1048576.0;
  std::printf("\nThe program against a bare window, medians of %d runs each (ratio: program / bare window)\n", runs);
  std::printf("  %-44s %10s %-3s %8s\n", "", "", "", "ratio");
  Row("bare window: start to first paint", bareStart, "ms", 0);
  Row("program: start to provinces listed", Median(program["provinces_ms"]), "ms", bareStart);
  Row("program: start to first paint", Median(program["painted_ms"]), "ms", bareStart);
  if (!distant["provinces_ms"].empty()) {
    char label[96];
    std::snprintf(label, sizeof label, "bare window + one round trip (%.0f ms)", delayMs);
    Row(label, bareStart + delayMs, "ms", 0);
    std::snprintf(label, sizeof label, "program, site %.0f ms away: to provinces", delayMs);
    Row(label, Median(distant["provinces_ms"]), "ms", bareStart + delayMs);
  }
  Row("bare window: peak working set", bareWs, "MiB", 0);
  Row("program: peak working set, index loaded", Median(program["peak_working_set"]) / 1048576.0, "MiB", bareWs);
  Row("bare window: private bytes", barePrivate, "MiB", 0);
  Row("program: private bytes, index loaded", Median(program["private_bytes"]) / 1048576.0, "MiB", barePrivate);
  std::printf("\nWhere the start-up goes (program, medians): each step's end after the process was created\n");
  const bool withDistant = !distant["provinces_ms"].empty();
  std::printf("  %-44s %10s     %8s %10s", "", "ends at", "took", "WS after");
  if (withDistant) std::printf("   %14s", "site far: ends");
  std::printf("\n");
  double previous = 0;
  for (const char* step : {"runtime", "COM_and_OLE", "design", "caption_and_theme", "chart", "panels_and_rows", "index"}) {
    const std::string key = std::string("step.") + step;
    if (program[key].empty()) continue;
    const double at = Median(program[key]);
    std::printf("  %-44s %7.1f ms  %7.1f ms %6.1f MiB", step, at, at - previous,
                Median(program[std::string("ws.") + step]) / 1048576.0);
    if (withDistant && !distant[key].empty()) std::printf("   %11.1f ms", Median(distant[key]));
    std::printf("\n");
    previous = at;
  }
  const double city = Median(program["city_us"]) / 1000.0, fetch = Median(program["fetch_us"]) / 1000.0;
  std::printf("\nA city's prices, on loopback\n");
  Row("choice of a city until the rows are painted", city, "ms", 0);
  Row("the page fetch alone", fetch, "ms", 0);
  Row("beyond the fetch", city - fetch, "ms", 0);
  std::printf("\nRepaints (every control draws its surface anew)\n");
  Values floor;
  uint64_t t2 = 0;
  if (RunChild(L"bench_child_windows.exe 35", floor, t2) && floor.count("repaint_us")) {
    Row("floor: 35 plain child windows, copies only", floor["repaint_us"] / 1000.0, "ms", 0);
  }
  Row("main window: its child windows", Median(program["windows"]), "", 0);
  Row("main window: of them shown", Median(program["windows_shown"]), "", 0);
  Row("main window, all controls", Median(program["repaint_us"]) / 1000.0, "ms", 0);
  Row("main window, surfaces kept (the copies alone)", Median(program["repaint_copy_us"]) / 1000.0, "ms", 0);
  for (const auto& [key, values] : program) {
    if (key.rfind("repaint_us.", 0) == 0) Row(("  " + key.substr(11)).c_str(), Median(values) / 1000.0, "ms", 0);
  }
  Machine("Window_BareStart_ms", bareStart);
  Machine("Window_ProvincesListed_ms", Median(program["provinces_ms"]));
  if (withDistant) Machine("Window_ProvincesListedDistant_ms", Median(distant["provinces_ms"]));
  Machine("Window_PeakWorkingSet_MiB", Median(program["peak_working_set"]) / 1048576.0);
  Machine("Window_BarePeakWorkingSet_MiB", bareWs);
  return 0;
}
