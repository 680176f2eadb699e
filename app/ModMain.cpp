#include "app/ModMain.h"

#include <chrono>
#include <memory>
#include <random>

#include "app/ForMsgx.h"
#include "app/WindowsModel.h"
#include "controls/JCombo/JCombo.h"
#include "controls/XPContainer/XPContainer.h"
#include "controls/skForms/skForms.h"
#include "controls/skbutton/skbutton.h"
#include "controls/ucStatusBar/ucStatusBar.h"
#include "host/WideText.h"

namespace fw {

namespace {

Form* g_mainWindow = nullptr;

std::mt19937_64& Generator() {
  static std::mt19937_64 generator{std::random_device{}()};
  return generator;
}

ForMsgx& MessageBoxWindow() {
  static const std::unique_ptr<ForMsgx> box = std::make_unique<ForMsgx>();
  return *box;
}

}  // namespace

int32_t ShowMessageBox(std::u16string_view Prompt, int32_t Flags, std::u16string_view PromptCaption,
                       Form* iForm) {
  ForMsgx& box = MessageBoxWindow();
  // The box is shared: a second call while it is open would take it from its
  // first caller, whose modal loop would then return the wrong result.
  if (box.IsLoaded()) return windows::kResultNone;
  return box.dwMessageBox(Prompt, Flags, PromptCaption, iForm);
}

bool IsEscape(UINT msg, WPARAM w, LPARAM l) {
  return (msg == WM_COMMAND && LOWORD(w) == IDCANCEL && l == 0) ||
         (msg == WM_KEYDOWN && w == VK_ESCAPE);
}

Form* MainWindow() { return g_mainWindow; }
void SetMainWindow(Form* form) { g_mainWindow = form; }

void Randomize() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  Generator().seed(static_cast<uint64_t>(now));
}

double Rnd() { return std::uniform_real_distribution<double>(0.0, 1.0)(Generator()); }

int32_t RandomTheme() {
  Randomize();
  return windows::ThemeFromUniform(Rnd());
}

void RegisterWindowKinds() {
  RegisterSkForms();
  RegisterXPContainer();
  RegisterJCombo();
  RegisterSkbutton();
  RegisterUcStatusBar();
}

std::u16string ShortDate(const SYSTEMTIME& when) {
  wchar_t text[128] = {};
  const int n = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, text, 128,
                                nullptr);
  return n > 1 ? FromWide(std::wstring(text, static_cast<size_t>(n - 1))) : std::u16string();
}

}  // namespace fw
