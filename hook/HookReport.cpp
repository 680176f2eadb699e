#include "hook/HookReport.h"

namespace fw {

std::wstring AllocFailedText(uint32_t lastError) {
  return L"VirtualAlloc failed, error: " + std::to_wstring(lastError);
}

std::wstring SetWindowLongFailedText(uint32_t lastError) { return CallFailedText(L"SetWindowLong", lastError); }

std::wstring CallFailedText(std::wstring_view call, uint32_t lastError) {
  return std::wstring(call) + L" failed, error #" + std::to_wstring(lastError);
}

std::wstring MessageNotFoundText(uint32_t msg) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex;
  do {
    hex.insert(hex.begin(), kDigits[msg & 0xF]);
    msg >>= 4;
  } while (msg != 0);
  return L"Message &H" + hex + L" not found in table";
}

std::wstring RegistryKey(uint64_t handle) { return std::to_wstring(handle) + L"h"; }

ErrorReport ComposeErrorReport(std::wstring_view className, std::wstring_view routine,
                               std::wstring_view message) {
  std::wstring qualified{className};
  qualified += L'.';
  qualified += routine;
  ErrorReport report;
  report.eventText = qualified + L": " + std::wstring{message};
  report.boxText = std::wstring{message} + L".";
  report.boxTitle = L"Error in " + qualified;
  return report;
}

}  // namespace fw
