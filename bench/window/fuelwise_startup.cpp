// The program as its user meets it, instrumented: the main window built the
// way wWinMain builds it, against the price site given on the command line.
// Prints when the province box held its items, when the window had painted,
// what the process holds then, how long a city's prices take (and the fetch
// alone), how many child windows it holds, and how long a full repaint takes,
// of the window and of each control alone.
//
//   fuelwise_startup HOST[:PORT]
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ForMain.h"
#include "app/price/HttpClient.h"
#include "bench/window/Report.h"
#include "app/ModMain.h"
#include "controls/JCombo/JCombo.h"
#include "host/ListBox.h"
#include "host/UserControl.h"

namespace {

double MicrosSince(LARGE_INTEGER t0) {
  LARGE_INTEGER t1, f;
  QueryPerformanceCounter(&t1);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

template <typename Body>
double MedianMicros(int runs, Body&& body) {
  std::vector<double> us;
  for (int i = 0; i < runs; ++i) {
    const LARGE_INTEGER t0 = Now();
    body();
    us.push_back(MicrosSince(t0));
  }
  std::sort(us.begin(), us.end());
  return us[us.size() / 2];
}

// The window with its start-up steps timed: each step's end is printed as
// "step.<name>" ticks, with the working set then.
class TimedMain : public fw::ForMain {
 public:
  using fw::ForMain::ForMain;

 protected:
  void OnStartupStep(const char* step) override { Step(step); }

 public:
  static void Step(const char* step) {
    std::string key = std::string("step.") + step;
    for (char& ch : key) {
      if (ch == ' ') ch = '_';
    }
    bench::Print(key.c_str(), static_cast<double>(bench::NowTicks()));
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) {
      bench::Print(("ws." + key.substr(5)).c_str(), static_cast<double>(pmc.WorkingSetSize));
    }
  }
};

void Repaint(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fuelwise_startup HOST[:PORT]\n");
    return 2;
  }
  const std::u16string host = fw::ToU16(argv[1]);
  TimedMain::Step("runtime");
  if (FAILED(OleInitialize(nullptr))) return 1;
  TimedMain::Step("COM and OLE");
  fw::RegisterWindowKinds();
  {
    TimedMain form(u"http://" + host + u"/", u"http://" + host + u"/");
    if (!form.LoadDesign()) return 1;
    auto* provinces = form.Get<fw::JCombo>(u"comWhere", 0);
    if (provinces && provinces->ListCount() > 0) bench::Print("provinces", static_cast<double>(bench::NowTicks()));
    form.Show();
    UpdateWindow(form.hWnd());
    bench::Print("painted", static_cast<double>(bench::NowTicks()));
    bench::PrintMemory();
    // The windows the main window holds, and how many of them show.
    struct Count {
      int all = 0, shown = 0;
    } count;
    EnumChildWindows(
        form.hWnd(),
        [](HWND hwnd, LPARAM l) -> BOOL {
          auto* c = reinterpret_cast<Count*>(l);
          ++c->all;
          if (IsWindowVisible(hwnd)) ++c->shown;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    bench::Print("windows", count.all);
    bench::Print("windows_shown", count.shown);

    // A city's prices: the choice of a city until its rows are painted.
    auto* cities = form.Get<fw::JCombo>(u"comWhere", 1);
    auto* cityUrls = form.Get<fw::ListBox>(u"ListCity", 1);
    if (provinces && cities && cityUrls && provinces->ListCount() > 0) {
      provinces->SetListIndex(0);
      if (cities->ListCount() > 1) {
        std::vector<double> total, fetch;
        for (int i = 0; i < 9; ++i) {
          // Each run chooses the other of the first two cities.
          const int32_t city = (i + 1) % 2;
          LARGE_INTEGER t0 = Now();
          const std::wstring page = fw::GetBody(fw::ToWide(cityUrls->List(city)), L"GBK");
          fetch.push_back(MicrosSince(t0));
          t0 = Now();
          cities->SetListIndex(city);
          UpdateWindow(form.hWnd());
          RedrawWindow(form.hWnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
          total.push_back(MicrosSince(t0));
        }
        std::sort(total.begin(), total.end());
        std::sort(fetch.begin(), fetch.end());
        bench::Print("city_us", total[total.size() / 2]);
        bench::Print("fetch_us", fetch[fetch.size() / 2]);
      }
    }

    // Full repaints: every control draws its surface anew, then the window is painted.
    std::vector<fw::UserControl*> controls;
    for (const auto& c : form.Controls()) {
      if (auto* uc = dynamic_cast<fw::UserControl*>(c.get())) controls.push_back(uc);
    }
    bench::Print("repaint_us", MedianMicros(31, [&] {
                   for (fw::UserControl* uc : controls) uc->InvalidateSurface();
                   Repaint(form.hWnd());
                 }));
    // The same repaint with the surfaces kept: what copying them to the screen costs.
    bench::Print("repaint_copy_us", MedianMicros(31, [&] { Repaint(form.hWnd()); }));
    for (fw::UserControl* uc : controls) {
      const std::u16string name = uc->QualifiedName();
      std::string key = "repaint_us." + std::string(name.begin(), name.end());
      for (char& ch : key) {
        if (ch == ' ' || static_cast<unsigned char>(ch) > 0x7E) ch = '_';
      }
      bench::Print(key.c_str(), MedianMicros(31, [&] {
                     uc->InvalidateSurface();
                     Repaint(uc->hWnd());
                   }));
    }
    form.Unload();
  }
  OleUninitialize();
  return 0;
}
