// Texts of the guarded hook: its registry keys and its failure reports.
// Portable: no platform header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// The failure messages, exactly as the guarded hook reports them.
inline constexpr std::wstring_view kInvalidWindowHandle = L"Invalid window handle";
inline constexpr std::wstring_view kOtherProcessWindow = L"Window handle belongs to another process";
inline constexpr std::wstring_view kCallbackNotFound = L"Callback method not found";
inline constexpr std::wstring_view kAlreadySubclassed = L"Window handle is already subclassed";
inline constexpr std::wstring_view kNotSubclassed = L"Window handle isn't subclassed";
inline constexpr std::wstring_view kNotStarted = L"Subclassing hasn't been started";
inline constexpr std::wstring_view kTableOverflow =
    L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
    L"ALL_MESSAGES instead of specific message values";

// Message 0 cannot be told apart from a freed slot, so it is never delivered.
inline constexpr std::wstring_view kInvalidMessage = L"Invalid message: message 0 cannot be hooked";

// "VirtualAlloc failed, error: 8"
std::wstring AllocFailedText(uint32_t lastError);
// "SetWindowLong failed, error #5"
std::wstring SetWindowLongFailedText(uint32_t lastError);
// The same for another call: "SetProp failed, error #8".
std::wstring CallFailedText(std::wstring_view call, uint32_t lastError);
// "Message &H200 not found in table": upper-case hex, no leading zeros.
std::wstring MessageNotFoundText(uint32_t msg);

// The registry key of a window: the handle in decimal followed by "h" (1234 -> "1234h").
std::wstring RegistryKey(uint64_t handle);

// One failure report: the event-log line and the warning box.
struct ErrorReport {
  std::wstring eventText;  // "skForms.sc_Subclass: Invalid window handle"
  std::wstring boxText;    // "Invalid window handle."
  std::wstring boxTitle;   // "Error in skForms.sc_Subclass"
};

ErrorReport ComposeErrorReport(std::wstring_view className, std::wstring_view routine,
                               std::wstring_view message);

}  // namespace fw
