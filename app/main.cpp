// Fuelwise: today's retail fuel prices for a chosen province and city.

#include <windows.h>
#include <ole2.h>

#include "app/ForMain.h"
#include "app/ModMain.h"
#include "app/Sites.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The chart picture is loaded through OLE, which wants an apartment.
  if (FAILED(OleInitialize(nullptr))) return 1;
  fw::RegisterWindowKinds();

  int code = 1;
  {
    fw::ForMain form(fw::ToU16(fw::kPriceHost), fw::ToU16(fw::kChartHost));
    if (form.LoadDesign()) {
      form.Show();
      code = fw::Form::RunMessageLoop();
    }
  }
  OleUninitialize();
  return code;
}
