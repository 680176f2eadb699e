// gallery OUTDIR [DPI...]: renders every look of every control into OUTDIR, one
// PNG per look ("<Control>-<look>.png") and one contact sheet per control
// ("<Control>-sheet.png"), then again at 144 and 192 dpi
// ("<Control>-<look>@144.png", "<Control>-sheet@192.png"), or at the dpis given.
// The stage starts at the display's dpi and is moved to each other one as the
// platform moves a window between monitors (WM_DPICHANGED). Prints one line per
// file; exit code 0 when every file was written.

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/Form.h"
#include "host/UserControl.h"
#include "tools/gallery/Gallery.h"

namespace {

using namespace fw::gallery;

// Brings the stage to `dpi` as the platform does when its window moves to a
// monitor of that scale: WM_DPICHANGED with the rectangle it suggests. True when
// the stage and its controls now draw at that dpi.
bool ShowStageAt(fw::Form& stage, int dpi) {
  if (stage.Dpi() == dpi) return true;
  RECT rc{};
  GetWindowRect(stage.hWnd(), &rc);
  const int from = stage.Dpi();
  RECT suggested{rc.left, rc.top, rc.left + MulDiv(rc.right - rc.left, dpi, from),
                 rc.top + MulDiv(rc.bottom - rc.top, dpi, from)};
  SendMessageW(stage.hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
  fw::UserControl::DoEvents();
  return stage.Dpi() == dpi;
}

// Every look at the stage's dpi, then the contact sheets; the number of files
// not written.
int RenderPass(fw::Form& stage, const LookList& looks, const std::wstring& outDir, int dpi) {
  int failures = 0;
  // Rendered pictures by control, in look order, for the contact sheets.
  std::vector<std::wstring> controls;
  std::map<std::wstring, std::vector<std::pair<std::wstring, fw::PixelImage>>> byControl;
  for (const Look& look : looks) {
    fw::PixelImage image = look.render(stage);
    const std::wstring file = AtDpi(LookFileName(look), dpi);
    if (image.Empty() || !fw::SavePng(outDir + file, image)) {
      fwprintf(stderr, L"gallery: %ls not written\n", file.c_str());
      ++failures;
      continue;
    }
    wprintf(L"%ls %dx%d\n", file.c_str(), image.width, image.height);
    if (!look.inSheet) continue;
    if (!byControl.count(look.control)) controls.push_back(look.control);
    byControl[look.control].emplace_back(look.name, std::move(image));
  }
  for (const std::wstring& control : controls) {
    std::vector<SheetCell> cells;
    for (const auto& [name, image] : byControl[control]) cells.push_back({name, &image});
    const fw::PixelImage sheet = ContactSheet(dpi == 96 ? control : AtDpi(control, dpi), cells);
    const std::wstring file = AtDpi(SheetFileName(control), dpi);
    if (sheet.Empty() || !fw::SavePng(outDir + file, sheet)) {
      fwprintf(stderr, L"gallery: %ls not written\n", file.c_str());
      ++failures;
      continue;
    }
    wprintf(L"%ls %dx%d\n", file.c_str(), sheet.width, sheet.height);
  }
  return failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace fw::gallery;
  if (argc < 2) {
    fwprintf(stderr, L"usage: gallery OUTDIR [DPI...]\n");
    return 2;
  }
  std::vector<int> dpis(std::begin(kGalleryDpis), std::end(kGalleryDpis));
  if (argc > 2) {
    dpis.clear();
    for (int i = 2; i < argc; ++i) {
      const int dpi = _wtoi(argv[i]);
      if (dpi < 96 || dpi > 480) {
        fwprintf(stderr, L"gallery: %ls is no dpi\n", argv[i]);
        return 2;
      }
      dpis.push_back(dpi);
    }
  }
  std::wstring outDir = argv[1];
  if (!outDir.empty() && outDir.back() != L'\\' && outDir.back() != L'/') outDir += L'\\';
  CreateDirectoryW(outDir.c_str(), nullptr);

  if (FAILED(OleInitialize(nullptr))) {
    fwprintf(stderr, L"gallery: COM could not be initialised\n");
    return 1;
  }
  int failures = 0;
  {
    // One stage for every look: each form shown and hidden costs time under Wine.
    fw::Form stage;
    if (!stage.Create(kStageWidthTwips, kStageHeightTwips, u"Fuelwise gallery")) {
      fwprintf(stderr, L"gallery: no stage window\n");
      OleUninitialize();
      return 1;
    }
    stage.SetStartUpPosition(0);
    stage.Move(0, 0);
    stage.Show();
    const LookList looks = AllLooks();
    for (const int dpi : dpis) {
      if (!ShowStageAt(stage, dpi)) {
        fwprintf(stderr, L"gallery: the stage cannot be shown at %d dpi\n", dpi);
        ++failures;
        continue;
      }
      failures += RenderPass(stage, looks, outDir, dpi);
    }
    stage.Unload();
  }
  OleUninitialize();
  return failures == 0 ? 0 : 1;
}
