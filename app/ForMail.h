// ForMail: the about window. The product picture, the title line (the main
// window's caption), the author credit and the release date, which is also
// the author's mail link; an exit button closes it. Each opening loads it
// afresh: a new random theme, and the link in its unvisited colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string_view>

#include "host/Colour.h"
#include "host/Form.h"

namespace fw {

class ForMail : public Form {
 public:
  static constexpr std::u16string_view kDesignName = u"ForMail";
  static constexpr std::u16string_view kCredit = u"By fuelwise-dev";
  static constexpr std::u16string_view kReleaseDate = u"2018/01/10";
  static constexpr std::wstring_view kMailLink = L"mailto:fuelwise-dev@example.com";
  // The link once opened: purple.
  static constexpr Colour kVisitedColour{0xC000C0u};

  // How the mail link is handed to the shell: ShellExecuteW(owner, verb, file,
  // no parameters, no directory, shown normally). Tests put their own in, so
  // nothing is launched; an empty one restores the platform's. Returns the
  // previous one.
  using ShellOpen = std::function<void(HWND owner, std::wstring_view verb, std::wstring_view file)>;
  static ShellOpen SetShellOpen(ShellOpen open);

  ForMail();
  ~ForMail() override;

  // Loads the window and shows it modally over `owner` until it is closed.
  void ShowAbout(Form* owner);

  // The label clicks and the button, named after the events they answer.
  void OnMailClick();
  void OnExitClick();

 protected:
  void OnLoad() override;
  // Escape closes the window, as its exit button does.
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  void OnAccessibleSelf(AccessibleItem& self) const override;
};

}  // namespace fw
