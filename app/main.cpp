// Fuelwise: today's retail fuel prices for a chosen province and city.

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/ForMain.h"
#include "app/ModMain.h"
#include "app/Settings.h"
#include "app/SiteSettings.h"
#include "app/Sites.h"

namespace {

constexpr int32_t kInformation = 64;
constexpr int32_t kExclamation = 48;

// The words of the command line after the program's own name.
std::vector<std::u16string> Arguments() {
  std::vector<std::u16string> args;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return args;
  for (int i = 1; i < count; ++i) args.push_back(fw::ToU16(words[i]));
  LocalFree(words);
  return args;
}

// What was not understood or not used, in one message before the window: the
// program still starts, with the next source of each setting.
std::u16string Complaints(const fw::settings::CommandLine& line, const fw::RunSettings& run) {
  std::u16string text;
  for (const std::u16string& error : line.errors) text += error + u"\r\n";
  if (line.city && !run.startCityFromCommandLine) {
    text += u"命令行中的城市 \u201C" + line.city->substr(0, 40) +
            u"\u201D 不可用: 请写成 省份/城市, 例如 广东/广州。\r\n";
  }
  for (const fw::settings::Refusal& refusal : run.refusals) {
    text += fw::settings::RefusalMessage(refusal) + u"\r\n";
  }
  if (!line.errors.empty()) text += u"\r\n" + fw::settings::UsageText();
  return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The chart picture is loaded through OLE, which wants an apartment.
  if (FAILED(OleInitialize(nullptr))) return 1;
  fw::RegisterWindowKinds();

  int code = 1;
  const fw::settings::CommandLine line = fw::settings::ParseCommandLine(Arguments());
  if (line.help) {
    fw::ShowMessageBox(fw::settings::UsageText(), kInformation, u"Fuelwise", nullptr);
    OleUninitialize();
    return 0;
  }
  const fw::RunSettings run =
      fw::ChooseRunSettings(line, fw::ReadStoredSettings(), fw::kPriceSite, fw::kChartSite);
  if (const std::u16string complaints = Complaints(line, run); !complaints.empty()) {
    fw::ShowMessageBox(complaints, kExclamation, u"Fuelwise", nullptr);
  }
  {
    fw::ForMain form(run.price.origin.Root(), run.chart.origin.Root());
    form.SetStartCity(run.startCity);
    form.SetRememberCity(run.rememberCity);
    if (form.LoadDesign()) {
      form.Show();
      code = fw::Form::RunMessageLoop();
    }
  }
  OleUninitialize();
  return code;
}
