#include "app/SiteSettings.h"

#include <algorithm>

namespace fw::settings {

namespace {

// Longer than any origin a user means; a longer value is refused before it is read.
constexpr size_t kMaxValue = 2048;
constexpr size_t kMaxHost = 253;
constexpr size_t kMaxLabel = 63;

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(s[i]) != prefix[i]) return false;
  }
  return true;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAlnum(char16_t c) { return IsDigit(c) || (Lower(c) >= u'a' && Lower(c) <= u'z'); }
bool IsHex(char16_t c) { return IsDigit(c) || (Lower(c) >= u'a' && Lower(c) <= u'f'); }

std::optional<Origin> Refuse(std::u16string* why, std::u16string_view text) {
  if (why) *why = std::u16string(text);
  return std::nullopt;
}

std::u16string Quoted(std::u16string_view value) {
  // A value shown to the user is cut short: it may be anything at all.
  constexpr size_t kShown = 80;
  std::u16string shown(value.substr(0, kShown));
  for (char16_t& c : shown) {
    if (c < 0x20 || c == 0x7F) c = u'?';
  }
  if (value.size() > kShown) shown += u"…";
  return u"\u201C" + shown + u"\u201D";
}

// A host name (letters, digits, hyphens, dots between non-empty labels) or an
// IPv6 address in brackets. Why the host is refused, or "" when it is good.
std::u16string HostProblem(std::u16string_view host) {
  if (host.empty()) return u"网址中缺少主机名。";
  if (host.front() == u'[') {
    if (host.size() < 4 || host.back() != u']') return u"IPv6 地址必须完整地写在方括号中。";
    const std::u16string_view inner = host.substr(1, host.size() - 2);
    const bool good = std::all_of(inner.begin(), inner.end(),
                                  [](char16_t c) { return IsHex(c) || c == u':' || c == u'.'; });
    const auto colons = std::count(inner.begin(), inner.end(), u':');
    if (!good || colons < 2 || colons > 7) return u"方括号中的 IPv6 地址不正确。";
    return u"";
  }
  if (host.size() > kMaxHost) return u"主机名太长。";
  size_t label = 0;
  for (size_t i = 0; i < host.size(); ++i) {
    const char16_t c = host[i];
    if (c == u'.') {
      if (label == 0) return u"主机名中不能有空的部分 (两个点相连, 或以点开头或结尾)。";
      label = 0;
      continue;
    }
    if (!IsAlnum(c) && c != u'-' && c != u'_') {
      return u"主机名中有不允许的字符 " + Quoted(host.substr(i, 1)) +
             u" (只能用英文字母、数字、连字符和点; 中文域名请写成 xn-- 形式)。";
    }
    if (++label > kMaxLabel) return u"主机名中的一段超过了 63 个字符。";
  }
  if (label == 0) return u"主机名中不能有空的部分 (两个点相连, 或以点开头或结尾)。";
  return u"";
}

}  // namespace

std::u16string Origin::HostPort() const {
  if (port == 0) return host;
  std::u16string digits;
  for (uint32_t p = port; p > 0; p /= 10) digits.insert(digits.begin(), static_cast<char16_t>(u'0' + p % 10));
  return host + u":" + digits;
}

std::u16string Origin::Text() const { return scheme + u"://" + HostPort(); }

std::u16string Origin::Root() const { return Text() + u"/"; }

std::u16string Origin::Display() const {
  std::u16string text = Root();
  if (!text.empty()) text[0] = static_cast<char16_t>(text[0] - 32);
  return text;
}

std::optional<Origin> ParseOrigin(std::u16string_view value, std::u16string* why) {
  value = Trim(value);
  if (value.empty()) return Refuse(why, u"网址是空的。");
  if (value.size() > kMaxValue) return Refuse(why, u"网址太长。");
  Origin origin;
  if (StartsWithNoCase(value, u"https://")) {
    origin.scheme = u"https";
    value.remove_prefix(8);
  } else if (StartsWithNoCase(value, u"http://")) {
    origin.scheme = u"http";
    value.remove_prefix(7);
  } else {
    return Refuse(why, u"网址必须以 http:// 或 https:// 开头。");
  }
  // The authority ends at the first of / ? # (and a backslash, which browsers
  // read as a slash in http addresses).
  const size_t end = value.find_first_of(u"/?#\\");
  std::u16string_view authority = value.substr(0, end);
  std::u16string_view rest = end == std::u16string_view::npos ? u"" : value.substr(end);
  if (authority.find(u'@') != std::u16string_view::npos) {
    return Refuse(why, u"网址不能带用户名或密码。");
  }
  // The port follows the last colon that is not inside an IPv6 address.
  std::u16string_view host = authority;
  std::u16string_view portText;
  bool hasPort = false;
  const size_t bracket = authority.rfind(u']');
  const size_t colon = authority.rfind(u':');
  if (colon != std::u16string_view::npos && (bracket == std::u16string_view::npos || colon > bracket)) {
    host = authority.substr(0, colon);
    portText = authority.substr(colon + 1);
    hasPort = true;
  }
  if (const std::u16string problem = HostProblem(host); !problem.empty()) return Refuse(why, problem);
  if (hasPort) {
    uint32_t port = 0;
    const bool digits = !portText.empty() && portText.size() <= 5 &&
                        std::all_of(portText.begin(), portText.end(), IsDigit);
    if (digits) {
      for (char16_t c : portText) port = port * 10 + static_cast<uint32_t>(c - u'0');
    }
    if (!digits || port == 0 || port > 65535) {
      return Refuse(why, u"端口必须是 1 到 65535 之间的数字。");
    }
    const uint32_t defaultPort = origin.Secure() ? 443 : 80;
    origin.port = port == defaultPort ? 0 : static_cast<uint16_t>(port);
  }
  if (!rest.empty()) {
    if (rest[0] == u'?') return Refuse(why, u"网址不能带查询 (“?”及其后的部分)。");
    if (rest[0] == u'#') return Refuse(why, u"网址不能带片段 (“#”及其后的部分)。");
    if (rest != u"/") return Refuse(why, u"网址不能带路径, 只能以主机名 (和端口) 或一个“/”结尾。");
  }
  origin.host.reserve(host.size());
  for (char16_t c : host) origin.host += Lower(c);
  return origin;
}

std::u16string SourceName(Source source) {
  switch (source) {
    case Source::kCommandLine:
      return u"命令行";
    case Source::kUserSettings:
      return u"用户设置 (HKCU\\Software\\Fuelwise)";
    case Source::kBuild:
      return u"程序的默认设置";
    case Source::kSettingsWindow:
      return u"设置窗口";
  }
  return u"";
}

std::u16string SiteName(Site site) { return site == Site::kPrice ? u"油价网站" : u"油价走势图网站"; }

std::u16string RefusalMessage(const Refusal& refusal) {
  return SourceName(refusal.source) + u"中的" + SiteName(refusal.site) + u"地址 " +
         Quoted(refusal.value) + u" 不可用: " + refusal.why + u"\r\n" + std::u16string(kOriginRule);
}

SiteChoice ChooseSite(Site site, const std::optional<std::u16string>& commandLine,
                      const std::optional<std::u16string>& userSetting, std::u16string_view built,
                      std::vector<Refusal>& refusals) {
  const std::pair<const std::optional<std::u16string>*, Source> candidates[] = {
      {&commandLine, Source::kCommandLine}, {&userSetting, Source::kUserSettings}};
  for (const auto& [value, source] : candidates) {
    if (!value->has_value()) continue;
    std::u16string why;
    if (auto origin = ParseOrigin(**value, &why)) return {*origin, source};
    refusals.push_back({site, source, **value, why});
  }
  std::u16string why;
  if (auto origin = ParseOrigin(built, &why)) return {*origin, Source::kBuild};
  refusals.push_back({site, Source::kBuild, std::u16string(built), why});
  return {Origin{u"http", u"127.0.0.1", 0}, Source::kBuild};
}

std::optional<CityChoice> ParseCityChoice(std::u16string_view value) {
  value = Trim(value);
  const size_t slash = value.find_first_of(u"/\\");
  if (slash == std::u16string_view::npos) return std::nullopt;
  const std::u16string_view province = Trim(value.substr(0, slash));
  const std::u16string_view city = Trim(value.substr(slash + 1));
  if (province.empty() || city.empty() || city.find_first_of(u"/\\") != std::u16string_view::npos) {
    return std::nullopt;
  }
  return CityChoice{std::u16string(province), std::u16string(city)};
}

CommandLine ParseCommandLine(const std::vector<std::u16string>& args) {
  CommandLine line;
  struct Option {
    std::u16string_view name;
    std::optional<std::u16string> CommandLine::*slot;
  };
  static constexpr Option kOptions[] = {{u"price-site", &CommandLine::priceSite},
                                        {u"chart-site", &CommandLine::chartSite},
                                        {u"city", &CommandLine::city}};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::u16string_view arg = args[i];
    if (arg == u"/?" || arg == u"-?" || arg == u"-h" || arg == u"--help" || arg == u"/help") {
      line.help = true;
      continue;
    }
    // --name VALUE, --name=VALUE, /name:VALUE, /name VALUE.
    std::u16string_view body;
    std::optional<std::u16string_view> attached;
    if (arg.starts_with(u"--")) {
      body = arg.substr(2);
      if (const size_t eq = body.find(u'='); eq != std::u16string_view::npos) {
        attached = body.substr(eq + 1);
        body = body.substr(0, eq);
      }
    } else if (arg.starts_with(u"/")) {
      body = arg.substr(1);
      if (const size_t colon = body.find(u':'); colon != std::u16string_view::npos) {
        attached = body.substr(colon + 1);
        body = body.substr(0, colon);
      }
    } else {
      line.errors.push_back(u"无法识别的参数 " + Quoted(arg) + u"。");
      continue;
    }
    const Option* option = nullptr;
    for (const Option& o : kOptions) {
      if (body.size() == o.name.size() && StartsWithNoCase(body, o.name)) option = &o;
    }
    if (!option) {
      line.errors.push_back(u"无法识别的选项 " + Quoted(arg) + u"。");
      continue;
    }
    if (attached) {
      line.*(option->slot) = std::u16string(*attached);
    } else if (i + 1 < args.size()) {
      line.*(option->slot) = args[++i];
    } else {
      line.errors.push_back(u"选项 " + Quoted(arg) + u" 后面缺少它的值。");
    }
  }
  return line;
}

std::u16string UsageText() {
  return u"用法: Fuelwise.exe [选项]\r\n\r\n"
         u"--price-site 网址\t油价网站, 例如 https://www.example.cn\r\n"
         u"--chart-site 网址\t油价走势图所在的网站\r\n"
         u"--city 省份/城市\t启动后选择这个城市, 例如 --city 广东/广州\r\n"
         u"/? 或 --help\t显示本说明\r\n\r\n"
         u"选项也可以写成 /price-site:网址 或 --price-site=网址。\r\n"
         u"命令行中的网址只用于本次运行; 没有给出时, 使用设置窗口中保存的网址 "
         u"(HKCU\\Software\\Fuelwise), 再没有时使用程序的默认网址。\r\n\r\n" +
         std::u16string(kOriginRule);
}

}  // namespace fw::settings
