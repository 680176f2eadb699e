// The gallery: every look of every control, rendered into PNG files for review.
//
// A control adds its looks with one function that appends entries to the list;
// the function goes into kLookProviders in Gallery.cpp. Each entry renders one
// look into a picture: it places the control on the stage (a form shown once for
// the whole run), sets the look's properties, captures it and removes it again.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/Form.h"
#include "host/PngFile.h"

namespace fw::gallery {

struct Look {
  std::wstring control;  // "XPContainer": the file name's first part
  std::wstring name;     // "theme02-style1": the file name's second part
  std::function<PixelImage(Form& stage)> render;
  // A look the size of the screen would make every cell of its sheet as big:
  // it is written on its own only.
  bool inSheet = true;
};

// The stage's client area, in twips: room for the largest look.
constexpr int32_t kStageWidthTwips = 640 * 15;
constexpr int32_t kStageHeightTwips = 480 * 15;

using LookList = std::vector<Look>;
using LookProvider = void (*)(LookList& looks);

// The looks of every control, in the providers' order.
LookList AllLooks();

// The file of one look: "<Control>-<look>.png"; of a control's contact sheet:
// "<Control>-sheet.png".
std::wstring LookFileName(const Look& look);
std::wstring SheetFileName(const std::wstring& control);

// The scales the gallery shows every look at: 100, 150 and 200 %.
constexpr int kGalleryDpis[] = {96, 144, 192};
// A file name at a dpi: "<name>@144.png" ("<name>.png" at 96); a name without
// ".png" gets the "@144" at its end.
std::wstring AtDpi(const std::wstring& name, int dpi);

// All looks of one control in a grid, each captioned with its look name.
struct SheetCell {
  std::wstring label;
  const PixelImage* image = nullptr;
};
PixelImage ContactSheet(const std::wstring& title, const std::vector<SheetCell>& cells);

// Gives the stage the font of the program's windows (宋体 9 pt, Chinese GB) while
// it lives, so controls that take their container's font show Chinese captions.
class ProgramFontOnStage {
 public:
  explicit ProgramFontOnStage(Form& stage);
  ~ProgramFontOnStage();
  ProgramFontOnStage(const ProgramFontOnStage&) = delete;
  ProgramFontOnStage& operator=(const ProgramFontOnStage&) = delete;

 private:
  Form& m_stage;
  std::shared_ptr<Font> m_previous;
};

// -- The controls' looks
void XPContainerLooks(LookList& looks);
void JComboLooks(LookList& looks);
void skFormsLooks(LookList& looks);
void ucStatusBarLooks(LookList& looks);
void SkbuttonLooks(LookList& looks);
void skLabelLooks(LookList& looks);
void xpTextLooks(LookList& looks);

}  // namespace fw::gallery
