#include "tools/gallery/Gallery.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "host/Font.h"
#include "host/Gdi.h"
#include "host/UserControl.h"

namespace fw::gallery {

namespace {

// One line per control; a new control adds its function here.
constexpr LookProvider kLookProviders[] = {
    XPContainerLooks,
    JComboLooks,
    skFormsLooks,
    ucStatusBarLooks,
    SkbuttonLooks,
    skLabelLooks,
    xpTextLooks,
};

constexpr int kSheetMargin = 12;
constexpr int kSheetGap = 12;
constexpr int kLabelHeight = 18;
constexpr int kTitleHeight = 24;
constexpr COLORREF kSheetBack = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kSheetText = RGB(0x20, 0x20, 0x20);

}  // namespace

LookList AllLooks() {
  LookList looks;
  for (LookProvider provider : kLookProviders) provider(looks);
  return looks;
}

ProgramFontOnStage::ProgramFontOnStage(Form& stage)
    : m_stage(stage), m_previous(stage.GetFont()) {
  FontValue f;
  f.face = u"\u5B8B\u4F53";  // 宋体
  f.size = 9.0;
  f.charset = 134;
  stage.SetFont(Font::Create(f));
}

ProgramFontOnStage::~ProgramFontOnStage() {
  if (m_previous) m_stage.SetFont(m_previous);
}

std::wstring LookFileName(const Look& look) { return look.control + L"-" + look.name + L".png"; }

std::wstring SheetFileName(const std::wstring& control) { return control + L"-sheet.png"; }

bool ShowAtDpi(Form& form, int dpi) {
  if (form.Dpi() == dpi) return true;
  RECT rc{};
  GetWindowRect(form.hWnd(), &rc);
  RECT client{};
  GetClientRect(form.hWnd(), &client);
  const int from = form.Dpi();
  // The client area, which the form lays out, grows by the scale; the window's
  // edges and caption keep the size the platform draws them in, which here does
  // not follow the dpi, so the looks captured from the client are the 96-dpi
  // looks times the scale.
  const int edgesX = (rc.right - rc.left) - client.right;
  const int edgesY = (rc.bottom - rc.top) - client.bottom;
  RECT suggested{rc.left, rc.top, rc.left + edgesX + MulDiv(client.right, dpi, from),
                 rc.top + edgesY + MulDiv(client.bottom, dpi, from)};
  SendMessageW(form.hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
  UserControl::DoEvents();
  return form.Dpi() == dpi;
}

std::wstring AtDpi(const std::wstring& name, int dpi) {
  if (dpi == 96) return name;
  const std::wstring suffix = L"@" + std::to_wstring(dpi);
  const size_t dot = name.size() >= 4 ? name.rfind(L".png") : std::wstring::npos;
  if (dot == std::wstring::npos || dot != name.size() - 4) return name + suffix;
  return name.substr(0, dot) + suffix + L".png";
}

PixelImage ContactSheet(const std::wstring& title, const std::vector<SheetCell>& cells) {
  PixelImage sheet;
  if (cells.empty()) return sheet;
  int cellW = 0;
  int cellH = 0;
  for (const auto& c : cells) {
    cellW = std::max(cellW, c.image->width);
    cellH = std::max(cellH, c.image->height);
  }
  const int n = static_cast<int>(cells.size());
  const int columns = std::min(n, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n)))));
  const int rows = (n + columns - 1) / columns;
  sheet.width = 2 * kSheetMargin + columns * cellW + (columns - 1) * kSheetGap;
  sheet.height = 2 * kSheetMargin + kTitleHeight + rows * (cellH + kLabelHeight) + (rows - 1) * kSheetGap;
  sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height, 0);

  BITMAPINFO bi = TopDownDibInfo(sheet.width, sheet.height);
  void* bits = nullptr;
  unique_hdc dc(CreateCompatibleDC(nullptr));
  unique_hbitmap bitmap(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || !bits) return PixelImage{};
  unique_select selectBitmap(dc.get(), bitmap.get());
  RECT all{0, 0, sheet.width, sheet.height};
  FillSolid(dc.get(), all, kSheetBack);

  const auto font = Font::Create(u"Tahoma", 9.0, false);
  unique_hfont hfont = font->CreateHandle(96);
  const auto bold = Font::Create(u"Tahoma", 10.0, true);
  unique_hfont hbold = bold->CreateHandle(96);
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), kSheetText);
  {
    unique_select selectFont(dc.get(), hbold.get());
    RECT rc{kSheetMargin, kSheetMargin, sheet.width - kSheetMargin, kSheetMargin + kTitleHeight};
    DrawTextW(dc.get(), title.c_str(), -1, &rc, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
  unique_select selectFont(dc.get(), hfont.get());
  for (int i = 0; i < n; ++i) {
    const int col = i % columns;
    const int row = i / columns;
    const int x = kSheetMargin + col * (cellW + kSheetGap);
    const int y = kSheetMargin + kTitleHeight + row * (cellH + kLabelHeight + kSheetGap);
    const PixelImage& img = *cells[i].image;
    BITMAPINFO src = bi;
    src.bmiHeader.biWidth = img.width;
    src.bmiHeader.biHeight = -img.height;
    SetDIBitsToDevice(dc.get(), x, y, img.width, img.height, 0, 0, 0, img.height,
                      img.pixels.data(), &src, DIB_RGB_COLORS);
    RECT label{x, y + img.height + 2, x + cellW, y + img.height + kLabelHeight};
    DrawTextW(dc.get(), cells[i].label.c_str(), -1, &label,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  GdiFlush();
  std::copy_n(static_cast<const uint32_t*>(bits), sheet.pixels.size(), sheet.pixels.begin());
  return sheet;
}

}  // namespace fw::gallery
