#include "app/ForMail.h"

#include <oleacc.h>
#include <shellapi.h>

#include <string>
#include <utility>

#include "app/ModMain.h"
#include "controls/skForms/skForms.h"
#include "controls/skbutton/skbutton.h"
#include "host/Accessible.h"
#include "host/Label.h"
#include "host/WideText.h"

namespace fw {

namespace {

// What the link's default action is called: the platform's verb for a link.
constexpr std::u16string_view kOpenVerb = u"Jump";
// What the link does, as a reader names it.
constexpr std::u16string_view kMailVerbName = u"发送邮件";

ForMail::ShellOpen& ShellSource() {
  static ForMail::ShellOpen open;
  return open;
}

void PlatformShellOpen(HWND owner, std::wstring_view verb, std::wstring_view file) {
  const std::wstring v(verb), f(file);
  // The result is not examined: a missing mail program shows nothing here.
  ShellExecuteW(owner, v.c_str(), f.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

ForMail::ShellOpen ForMail::SetShellOpen(ShellOpen open) {
  return std::exchange(ShellSource(), std::move(open));
}

ForMail::ForMail() = default;
ForMail::~ForMail() = default;

void ForMail::ShowAbout(Form* owner) {
  if (IsLoaded()) return;  // already open: it is modal, so this is a nested request
  if (!LoadFromResource(kDesignName)) return;
  ShowModal(owner);
  // Closed by the frame or hidden: either way it goes.
  Unload();
}

void ForMail::OnLoad() {
  // 1.
  if (auto* title = Get<Label>(u"Label1")) {
    Form* main = MainWindow();
    title->SetCaption(main && main != this ? main->Caption() : std::u16string());
  }
  // 2.
  if (auto* credit = Get<Label>(u"Label2")) credit->SetCaption(kCredit);
  // 3.
  if (auto* date = Get<Label>(u"Label3")) {
    date->SetCaption(kReleaseDate);
    date->Click = [this] { OnMailClick(); };
    // Read as the link it is, with its address; its default action is the click.
    date->SetAccessibleAction(ROLE_SYSTEM_LINK, std::u16string(kOpenVerb),
                              FromWide(std::wstring(kMailLink)));
    // Named for what it does, not for the date it shows (its description).
    date->SetAccessibleDescriber([](AccessibleItem& item) {
      std::wstring_view address = kMailLink;
      address.remove_prefix(address.find(L':') + 1);
      item.name = std::u16string(kMailVerbName) + u" " + FromWide(std::wstring(address));
      item.description = std::u16string(kReleaseDate);
    });
  }
  // 4.
  if (auto* frame = Get<skForms>(u"skForms1")) frame->SetThemeColor(RandomTheme());
  if (auto* exit = Get<skbutton>(u"skbutton1")) {
    exit->Click = [this] { OnExitClick(); };
    // The button keeps Escape for itself: it closes the window from there too.
    exit->KeyDown = [this](int& keyCode, int) {
      if (keyCode == VK_ESCAPE) OnExitClick();
    };
  }
}

bool ForMail::OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  if (!IsEscape(msg, w, l)) return false;
  OnExitClick();
  result = 0;
  return true;
}

void ForMail::OnAccessibleSelf(AccessibleItem& self) const { self.role = ROLE_SYSTEM_DIALOG; }

void ForMail::OnMailClick() {
  // 1. Visited, until the window closes.
  if (auto* date = Get<Label>(u"Label3")) date->SetForeColor(kVisitedColour);
  // 2.
  if (ShellSource()) {
    ShellSource()(hWnd(), L"open", kMailLink);
  } else {
    PlatformShellOpen(hWnd(), L"open", kMailLink);
  }
}

void ForMail::OnExitClick() { Unload(); }

}  // namespace fw
