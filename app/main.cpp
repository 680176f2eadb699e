// Fuelwise: today's retail fuel prices for a chosen province and city.

#include <windows.h>
#include <ole2.h>

#include <string>

#include "app/ForMain.h"
#include "app/ModMain.h"
#include "app/Sites.h"

namespace {

// The sites are settings of the build. Only the build the end-to-end tests
// start (FUELWISE_SITE_FROM_TEST) takes them from the test's environment, so
// it can be pointed at a sample site on a port chosen at run time.
std::u16string SiteHost(const wchar_t* built) {
#ifdef FUELWISE_SITE_FROM_TEST
  wchar_t value[512] = {};
  const DWORD n = GetEnvironmentVariableW(L"FUELWISE_TEST_SITE", value, 512);
  if (n > 0 && n < 512) return fw::ToU16(std::wstring(value, n));
#endif
  return fw::ToU16(built);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The chart picture is loaded through OLE, which wants an apartment.
  if (FAILED(OleInitialize(nullptr))) return 1;
  fw::RegisterWindowKinds();

  int code = 1;
  {
    fw::ForMain form(SiteHost(fw::kPriceHost), SiteHost(fw::kChartHost));
    if (form.LoadDesign()) {
      form.Show();
      code = fw::Form::RunMessageLoop();
    }
  }
  OleUninitialize();
  return code;
}
