// hostdemo: a form built from its design resource on the control host, with
// containers of its own painting gradients, labels on them, a text box, a combo
// box, arrays of labels and buttons, a line, a shape, an image, a timer, a
// gradient label and a spin text box.
//
//   hostdemo.exe                      shows the window
//   hostdemo.exe --screenshot FILE    shows it, writes FILE as PNG and exits

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "controls/skLabel/skLabel.h"
#include "controls/xpText/xpText.h"
#include "host/ComboBox.h"
#include "host/Form.h"
#include "host/Label.h"
#include "host/TextBox.h"
#include "host/Timer.h"
#include "tools/hostdemo/DemoButton.h"
#include "tools/hostdemo/GradientPanel.h"
#include "tools/hostdemo/Screenshot.h"

namespace {

class DemoForm : public fw::Form {
 protected:
  void OnLoad() override {
    BindArray<demo::DemoButton>(u"cmdPick", [this](demo::DemoButton& b, int32_t index) {
      b.Click = [this, index] { Picked(index); };
    });
    if (auto* combo = Get<fw::ComboBox>(u"comProvince")) {
      combo->Click = [this, combo] { Status(u"省份: " + combo->Text()); };
    }
    if (auto* litres = Get<fw::xpText>(u"txtLitres")) {
      litres->Change = [this, litres] { Status(u"升数: " + litres->Text()); };
    }
    if (auto* text = Get<fw::TextBox>(u"txtCity")) {
      text->Change = [this, text] { Status(u"城市: " + text->Text()); };
    }
  }
  void OnUnload() override { PostQuitMessage(0); }

 private:
  void Picked(int32_t index) {
    if (index == 2) {
      Unload();
      return;
    }
    Status(index == 0 ? u"Refreshed 已刷新" : u"Saved 已保存");
  }
  void Status(const std::u16string& text) {
    if (auto* status = Get<fw::Label>(u"lblStatus")) status->SetCaption(text);
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring screenshot;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wstring(argv[i]) == L"--screenshot") screenshot = argv[i + 1];
  }
  LocalFree(argv);

  OleInitialize(nullptr);
  fw::RegisterControlKind(u"GradientPanel", [] { return std::make_unique<demo::GradientPanel>(); });
  fw::RegisterControlKind(u"DemoButton", [] { return std::make_unique<demo::DemoButton>(); });
  fw::RegisterskLabel();
  fw::RegisterxpText();

  DemoForm form;
  if (!form.LoadFromResource(u"ForDemo")) {
    MessageBoxW(nullptr, L"The demo's design could not be built.", L"hostdemo", MB_ICONERROR);
    return 1;
  }
  form.Show();

  int code = 0;
  if (!screenshot.empty()) {
    // Let every pending paint run, then compose the picture and leave.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    code = demo::SaveWindowPng(form.hWnd(), screenshot) ? 0 : 2;
    form.Unload();
  } else {
    code = fw::Form::RunMessageLoop();
  }
  OleUninitialize();
  return code;
}
