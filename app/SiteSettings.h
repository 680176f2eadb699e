// The program's settings as text: the two sites (each an origin), the command
// line, the city chosen at start, and the messages that refuse a bad value.
// Every value here comes from outside the program (the command line, the
// user's registry, the settings window), so each is checked before it is
// used. Portable: no platform header; the registry and the window are read
// and written by app/Settings.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw::settings {

// http:// or https://, a host, an optional port and nothing else. The scheme
// and the host are kept in lower case and a default port is dropped, so two
// spellings of one site compare equal.
struct Origin {
  std::u16string scheme;  // "http" or "https"
  std::u16string host;    // a name, an IPv4 address or a bracketed IPv6 address
  uint16_t port = 0;      // 0: the scheme's default

  bool Secure() const { return scheme == u"https"; }
  // host, or host:port when the port is not the scheme's default.
  std::u16string HostPort() const;
  // "https://host:8443" (no slash).
  std::u16string Text() const;
  // Text() and "/": what a link must start with to belong to the site.
  std::u16string Root() const;
  // The site as the chart's tooltip names it: the scheme with a capital,
  // "Http://host/", "Https://host:8443/".
  std::u16string Display() const;

  friend bool operator==(const Origin&, const Origin&) = default;
};

// `value` read as an origin (surrounding white space ignored). Nullopt when it
// is not one; `why` then holds the rule it breaks, in Chinese, for the user.
std::optional<Origin> ParseOrigin(std::u16string_view value, std::u16string* why = nullptr);

// The rule every site address follows, as the user reads it.
inline constexpr std::u16string_view kOriginRule =
    u"网址只能是 http:// 或 https:// 加上主机名和可选的端口, 例如 https://www.example.cn 或 "
    u"http://127.0.0.1:8080, 不能带用户名、路径、查询或片段。";

// Where a setting came from, first that is set wins.
enum class Source { kCommandLine, kUserSettings, kBuild, kSettingsWindow };
std::u16string SourceName(Source source);

// Which of the two sites a value is for.
enum class Site { kPrice, kChart };
std::u16string SiteName(Site site);

// A value that was not used, and why.
struct Refusal {
  Site site = Site::kPrice;
  Source source = Source::kCommandLine;
  std::u16string value;
  std::u16string why;
};

// "命令行中的油价网站地址 "ftp://x" 不可用: ... 已改用 ...": names the value, where it
// came from and the rule.
std::u16string RefusalMessage(const Refusal& refusal);

// The site chosen from its sources and where it came from.
struct SiteChoice {
  Origin origin;
  Source source = Source::kBuild;
};

// The first of the command line's value, the user's setting and the build's
// default that is an origin. Each one refused on the way is appended to
// `refusals`. The build's default is checked when the program is configured;
// should it still not be one, "http://127.0.0.1/" stands in, so the program
// never runs without a site.
SiteChoice ChooseSite(Site site, const std::optional<std::u16string>& commandLine,
                      const std::optional<std::u16string>& userSetting, std::u16string_view built,
                      std::vector<Refusal>& refusals);

// A province and a city, "广东/广州".
struct CityChoice {
  std::u16string province;
  std::u16string city;
  friend bool operator==(const CityChoice&, const CityChoice&) = default;
};
std::optional<CityChoice> ParseCityChoice(std::u16string_view value);

// The command line, each option as --name VALUE, --name=VALUE or /name:VALUE.
struct CommandLine {
  std::optional<std::u16string> priceSite;  // --price-site
  std::optional<std::u16string> chartSite;  // --chart-site
  std::optional<std::u16string> city;       // --city 省/市
  bool help = false;                        // /?, -?, -h, --help
  std::vector<std::u16string> errors;       // unknown options, options without their value
};
// `args` without the program's own name.
CommandLine ParseCommandLine(const std::vector<std::u16string>& args);

// What /? shows.
std::u16string UsageText();

}  // namespace fw::settings
