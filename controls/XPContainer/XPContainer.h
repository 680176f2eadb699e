// XPContainer: a panel that groups controls under a header strip with a caption
// on a vertical gradient, over a body filled with a second gradient, inside a
// one-pixel border. Its six colours are set one by one or all at once from
// twelve built-in themes. It raises no events.
//
// Every property write stores the value, reports the property to the host as
// changed and redraws, even when the value is the one already held: the host
// records every write, and a theme reports each of its six colours.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "controls/XPContainer/HeaderStrip.h"
#include "controls/XPContainer/XPContainerModel.h"
#include "host/Label.h"
#include "host/UserControl.h"

namespace fw {

class XPContainer : public UserControl {
 public:
  XPContainer();
  ~XPContainer() override;

  // -- Properties, in the order the host lists them
  Colour BackDarkColor() const { return m_backDarkColor; }
  void SetBackDarkColor(Colour colour);
  Colour BackLightColor() const { return m_backLightColor; }
  void SetBackLightColor(Colour colour);
  Colour BorderColor() const { return m_borderColor; }
  void SetBorderColor(Colour colour);
  const std::u16string& Caption() const { return m_caption; }
  void SetCaption(std::u16string_view caption);
  Colour HeaderDarkColor() const { return m_headerDarkColor; }
  void SetHeaderDarkColor(Colour colour);
  Colour HeaderLightColor() const { return m_headerLightColor; }
  void SetHeaderLightColor(Colour colour);
  // 0: header shown; any other value: no header, the body gradient fills the container.
  int32_t Style() const { return m_style; }
  void SetStyle(int32_t style);
  Colour TextColor() const { return m_textColor; }
  void SetTextColor(Colour colour);
  // 0 .. 11 pick a built-in theme; any other value is kept but changes no colour.
  int32_t Theme() const { return m_theme; }
  void SetTheme(int32_t theme);

 protected:
  // -- Events from the host
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnShow() override;
  void OnResize() override;
  void OnPaint() override;
  void OnTerminate() override;
  // A grouping named by its header caption.
  void OnAccessibleSelf(AccessibleItem& self) const override;
  // The header strip only repeats the group's name: readers do not list it.
  void OnAccessibleChildWindows(std::vector<HWND>& windows) const override;

 private:
  // Tests read the child parts and the shell library handle through this type;
  // it is defined with the tests.
  friend struct XPContainerTestAccess;

  void ApplyThemeColors();
  void Redraw();
  void DrawHeader(Colour light, Colour dark, Colour text);
  void DrawBackground(Colour light, Colour dark);
  void DrawBorder(Colour colour);
  // The resize step: Layout, then Redraw.
  void ResizeStep();
  // Places the caption label, the header strip and the body box for the current size.
  void Layout();
  // The header strip's place for a strip `width` pixels wide.
  RECT HeaderRect(int width) const;
  // Store, report, Redraw: the common part of every colour write.
  void WriteColour(Colour& field, Colour value, std::u16string_view name);

  // Owns a loaded library.
  struct LibraryCloser {
    void operator()(HMODULE h) const { FreeLibrary(h); }
  };
  using unique_hmodule = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryCloser>;

  unique_hmodule m_shell32;
  int32_t m_theme = xpcontainer::kDefaultTheme;
  int32_t m_style = xpcontainer::kDefaultStyle;
  Colour m_headerLightColor = xpcontainer::kThemes[0].headerLight;
  Colour m_headerDarkColor = xpcontainer::kThemes[0].headerDark;
  Colour m_backLightColor = xpcontainer::kThemes[0].backLight;
  Colour m_backDarkColor = xpcontainer::kThemes[0].backDark;
  Colour m_borderColor = xpcontainer::kThemes[0].border;
  Colour m_textColor = xpcontainer::kThemes[0].text;
  std::u16string m_caption{xpcontainer::kDefaultCaption};

  xpcontainer::HeaderStrip m_header;
  Label m_captionLabel;
  SIZE m_laidOut{-1, -1};  // the size Layout last placed the parts for
  RECT m_bodyBox{xpcontainer::kBodyLeft, xpcontainer::kBodyTop, xpcontainer::kBodyLeft,
                 xpcontainer::kBodyTop};
};

// Lets design files place the kind "XPContainer".
void RegisterXPContainer();

}  // namespace fw
