// What the user's proxy configuration script (or the one detection finds)
// answered, kept for a while: finding no script can take seconds (detection
// waits on DHCP and DNS), and the window waits for each page. Portable: no
// platform header; the caller passes the clock and takes any lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace fw {

// A script's answer for one URL: the proxies to use ("" for none: direct) and
// the names that go past them.
struct ProxyAnswer {
  std::u16string proxy;
  std::u16string bypass;
  bool operator==(const ProxyAnswer&) const = default;
};

// A script decides per URL, so its answers are kept per URL. Every answer
// belongs to the settings it was asked under; new settings drop them all. A
// look-up that found no answer (no script, none detected, the script's server
// too slow) is kept too, for the settings as a whole: asking again for the
// next URL would cost the same wait.
class ProxyAnswers {
 public:
  static constexpr uint64_t kKeepMs = 5 * 60 * 1000;
  static constexpr std::size_t kMaxAnswers = 256;

  // Call before Find and Keep with the user's settings as one text: answers
  // kept under other settings are dropped.
  void UseSettings(std::u16string_view settings);

  // The kept answer for `url`, or nullopt when there is none younger than kKeepMs.
  std::optional<ProxyAnswer> Find(std::u16string_view url, uint64_t nowMs) const;
  // True when a look-up under these settings found no answer less than kKeepMs ago.
  bool LookupFailedRecently(uint64_t nowMs) const;

  void Keep(std::u16string_view url, ProxyAnswer answer, uint64_t nowMs);
  void KeepFailure(uint64_t nowMs);

  std::size_t Size() const { return m_answers.size(); }

 private:
  struct Kept {
    ProxyAnswer answer;
    uint64_t at = 0;
  };
  std::u16string m_settings;
  std::map<std::u16string, Kept> m_answers;
  std::optional<uint64_t> m_failedAt;
};

// The URL as a script sees it, for comparing: scheme and host in lower case
// (they are case-insensitive), the fragment dropped (it never leaves the
// client); path and query as they are.
std::u16string ProxyAnswerKey(std::u16string_view url);

}  // namespace fw
