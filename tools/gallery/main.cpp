// gallery OUTDIR: renders every look of every control into OUTDIR, one PNG per
// look ("<Control>-<look>.png") and one contact sheet per control
// ("<Control>-sheet.png"). Prints one line per file; exit code 0 when every file
// was written.

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/Form.h"
#include "tools/gallery/Gallery.h"

int wmain(int argc, wchar_t** argv) {
  using namespace fw::gallery;
  if (argc != 2) {
    fwprintf(stderr, L"usage: gallery OUTDIR\n");
    return 2;
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
    // Rendered pictures by control, in look order, for the contact sheets.
    std::vector<std::wstring> controls;
    std::map<std::wstring, std::vector<std::pair<std::wstring, fw::PixelImage>>> byControl;
    for (const Look& look : looks) {
      fw::PixelImage image = look.render(stage);
      const std::wstring file = LookFileName(look);
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
      const fw::PixelImage sheet = ContactSheet(control, cells);
      const std::wstring file = SheetFileName(control);
      if (sheet.Empty() || !fw::SavePng(outDir + file, sheet)) {
        fwprintf(stderr, L"gallery: %ls not written\n", file.c_str());
        ++failures;
        continue;
      }
      wprintf(L"%ls %dx%d\n", file.c_str(), sheet.width, sheet.height);
    }
    stage.Unload();
  }
  OleUninitialize();
  return failures == 0 ? 0 : 1;
}
