// The site settings as text: which values are origins and how they read back,
// the command line's forms, the order of the sources, and the messages that
// refuse a value.
#include "app/SiteSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw::settings {
namespace {

struct Good {
  std::u16string_view value;
  std::u16string_view text;     // Text()
  std::u16string_view display;  // Display()
};

TEST(SiteOrigin, AcceptsAnOriginAndReadsItBackInOneSpelling) {
  const Good cases[] = {
      {u"http://127.0.0.1:18731", u"http://127.0.0.1:18731", u"Http://127.0.0.1:18731/"},
      {u"http://127.0.0.1:18731/", u"http://127.0.0.1:18731", u"Http://127.0.0.1:18731/"},
      {u"https://Prices.Example.CN", u"https://prices.example.cn", u"Https://prices.example.cn/"},
      {u"HTTPS://example.cn:443/", u"https://example.cn", u"Https://example.cn/"},
      {u"http://example.cn:80", u"http://example.cn", u"Http://example.cn/"},
      {u"http://example.cn:443", u"http://example.cn:443", u"Http://example.cn:443/"},
      {u"https://example.cn:80", u"https://example.cn:80", u"Https://example.cn:80/"},
      {u"  http://localhost:65535 \r\n", u"http://localhost:65535", u"Http://localhost:65535/"},
      {u"http://[::1]:8080", u"http://[::1]:8080", u"Http://[::1]:8080/"},
      {u"http://xn--fiqs8s.cn", u"http://xn--fiqs8s.cn", u"Http://xn--fiqs8s.cn/"},
      {u"http://my_host", u"http://my_host", u"Http://my_host/"},
  };
  for (const Good& c : cases) {
    std::u16string why;
    const auto origin = ParseOrigin(c.value, &why);
    ASSERT_TRUE(origin) << std::string(c.value.begin(), c.value.end());
    EXPECT_EQ(origin->Text(), c.text);
    EXPECT_EQ(origin->Root(), std::u16string(c.text) + u"/");
    EXPECT_EQ(origin->Display(), c.display);
    EXPECT_TRUE(why.empty());
  }
}

TEST(SiteOrigin, KeepsTheSchemeHostAndPortApart) {
  const auto o = ParseOrigin(u"https://a.b:8443");
  ASSERT_TRUE(o);
  EXPECT_EQ(o->scheme, u"https");
  EXPECT_EQ(o->host, u"a.b");
  EXPECT_EQ(o->port, 8443);
  EXPECT_EQ(o->HostPort(), u"a.b:8443");
  EXPECT_TRUE(o->Secure());
  EXPECT_FALSE(ParseOrigin(u"http://a.b")->Secure());
}

struct Bad {
  std::u16string_view value;
  std::u16string_view why;  // a part of the reason given
};

TEST(SiteOrigin, RefusesAnythingElseAndSaysWhy) {
  const Bad cases[] = {
      {u"", u"空"},
      {u"   ", u"空"},
      {u"ftp://example.cn", u"http:// 或 https://"},
      {u"example.cn", u"http:// 或 https://"},
      {u"http:/example.cn", u"http:// 或 https://"},
      {u"javascript:alert(1)", u"http:// 或 https://"},
      {u"http://", u"缺少主机名"},
      {u"http://:80", u"缺少主机名"},
      {u"http://user@example.cn", u"用户名"},
      {u"http://user:pw@example.cn", u"用户名"},
      {u"http://example.cn:0", u"端口"},
      {u"http://example.cn:65536", u"端口"},
      {u"http://example.cn:", u"端口"},
      {u"http://example.cn:8o", u"端口"},
      {u"http://example.cn:-1", u"端口"},
      {u"http://example.cn:0000080", u"端口"},
      {u"http://example.cn/youjiamap.asp", u"路径"},
      {u"http://example.cn//", u"路径"},
      {u"http://example.cn\\", u"路径"},
      {u"http://example.cn?x=1", u"查询"},
      {u"http://example.cn/?x=1", u"路径"},
      {u"http://example.cn#top", u"片段"},
      {u"http://exa mple.cn", u"不允许的字符"},
      {u"http://油价.cn", u"不允许的字符"},
      {u"http://a..b", u"空的部分"},
      {u"http://.a", u"空的部分"},
      {u"http://a.", u"空的部分"},
      {u"http://[::1", u"方括号"},
      {u"http://[zz::1]", u"IPv6"},
  };
  for (const Bad& c : cases) {
    std::u16string why;
    EXPECT_FALSE(ParseOrigin(c.value, &why)) << std::string(c.value.begin(), c.value.end());
    EXPECT_NE(why.find(c.why), std::u16string::npos) << std::string(c.value.begin(), c.value.end());
  }
  EXPECT_FALSE(ParseOrigin(u"http://" + std::u16string(64, u'a') + u".cn"));
  EXPECT_TRUE(ParseOrigin(u"http://" + std::u16string(63, u'a') + u".cn"));
  EXPECT_FALSE(ParseOrigin(u"http://" + std::u16string(3000, u'a')));
}

TEST(SiteChoice, TheFirstSourceThatHoldsAnOriginWins) {
  struct Case {
    std::optional<std::u16string> commandLine, userSetting;
    std::u16string_view chosen;
    Source source;
    std::vector<Source> refused;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, u"http://127.0.0.1:18731", Source::kBuild, {}},
      {u"https://a.cn", u"http://b.cn", u"https://a.cn", Source::kCommandLine, {}},
      {std::nullopt, u"http://b.cn", u"http://b.cn", Source::kUserSettings, {}},
      {u"a.cn", u"http://b.cn", u"http://b.cn", Source::kUserSettings, {Source::kCommandLine}},
      {u"a.cn", u"b.cn", u"http://127.0.0.1:18731", Source::kBuild,
       {Source::kCommandLine, Source::kUserSettings}},
      {u"", std::nullopt, u"http://127.0.0.1:18731", Source::kBuild, {Source::kCommandLine}},
  };
  for (const Case& c : cases) {
    std::vector<Refusal> refusals;
    const SiteChoice choice =
        ChooseSite(Site::kChart, c.commandLine, c.userSetting, u"http://127.0.0.1:18731", refusals);
    EXPECT_EQ(choice.origin.Text(), c.chosen);
    EXPECT_EQ(choice.source, c.source);
    ASSERT_EQ(refusals.size(), c.refused.size());
    for (size_t i = 0; i < refusals.size(); ++i) {
      EXPECT_EQ(refusals[i].source, c.refused[i]);
      EXPECT_EQ(refusals[i].site, Site::kChart);
    }
  }
}

TEST(SiteChoice, ABadBuiltDefaultStillLeavesASite) {
  std::vector<Refusal> refusals;
  const SiteChoice choice = ChooseSite(Site::kPrice, std::nullopt, std::nullopt, u"nowhere", refusals);
  EXPECT_EQ(choice.origin.Text(), u"http://127.0.0.1");
  ASSERT_EQ(refusals.size(), 1u);
  EXPECT_EQ(refusals[0].source, Source::kBuild);
}

TEST(SiteChoice, ARefusalNamesTheValueItsSourceAndTheRule) {
  const std::u16string message = RefusalMessage(
      {Site::kPrice, Source::kUserSettings, u"ftp://x\x01y", u"网址必须以 http:// 或 https:// 开头。"});
  for (std::u16string_view part :
       {std::u16string_view(u"用户设置 (HKCU\\Software\\Fuelwise)"), std::u16string_view(u"油价网站"),
        std::u16string_view(u"\u201Cftp://x?y\u201D"), std::u16string_view(u"开头"), kOriginRule}) {
    EXPECT_NE(message.find(part), std::u16string::npos);
  }
  // A value of any length is shown cut short.
  const std::u16string longOne = RefusalMessage(
      {Site::kChart, Source::kCommandLine, std::u16string(5000, u'x'), u"网址太长。"});
  EXPECT_LT(longOne.size(), 400u);
  EXPECT_NE(longOne.find(u"命令行中的油价走势图网站"), std::u16string::npos);
}

TEST(CommandLine, ReadsEachOptionInEachForm) {
  struct Case {
    std::vector<std::u16string> args;
    std::optional<std::u16string> price, chart, city;
    bool help;
    size_t errors;
  };
  const Case cases[] = {
      {{}, std::nullopt, std::nullopt, std::nullopt, false, 0},
      {{u"--price-site", u"http://a:1", u"--chart-site", u"https://b"}, u"http://a:1", u"https://b",
       std::nullopt, false, 0},
      {{u"--price-site=http://a:1"}, u"http://a:1", std::nullopt, std::nullopt, false, 0},
      {{u"/price-site:http://a:1", u"/chart-site:http://c"}, u"http://a:1", u"http://c",
       std::nullopt, false, 0},
      {{u"/Price-Site:http://a:1"}, u"http://a:1", std::nullopt, std::nullopt, false, 0},
      {{u"/price-site", u"http://a:1"}, u"http://a:1", std::nullopt, std::nullopt, false, 0},
      {{u"--city", u"广东/广州"}, std::nullopt, std::nullopt, u"广东/广州", false, 0},
      {{u"/?"}, std::nullopt, std::nullopt, std::nullopt, true, 0},
      {{u"--help"}, std::nullopt, std::nullopt, std::nullopt, true, 0},
      {{u"-h"}, std::nullopt, std::nullopt, std::nullopt, true, 0},
      // The last of two wins, as a later word on a command line does.
      {{u"--price-site", u"http://a", u"--price-site", u"http://b"}, u"http://b", std::nullopt,
       std::nullopt, false, 0},
      // A value given empty is still given: it is refused later, not ignored.
      {{u"--price-site="}, u"", std::nullopt, std::nullopt, false, 0},
      {{u"--price-site"}, std::nullopt, std::nullopt, std::nullopt, false, 1},
      {{u"--proxy", u"x"}, std::nullopt, std::nullopt, std::nullopt, false, 2},
      {{u"stray"}, std::nullopt, std::nullopt, std::nullopt, false, 1},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.priceSite, c.price);
    EXPECT_EQ(line.chartSite, c.chart);
    EXPECT_EQ(line.city, c.city);
    EXPECT_EQ(line.help, c.help);
    EXPECT_EQ(line.errors.size(), c.errors);
  }
}

TEST(CommandLine, TheUsageNamesEveryOption) {
  const std::u16string usage = UsageText();
  for (std::u16string_view option : {u"--price-site", u"--chart-site", u"--city", u"/?", u"/price-site:"}) {
    EXPECT_NE(usage.find(option), std::u16string::npos);
  }
}

TEST(CityChoice, AProvinceAndACitySplitAtTheSlash) {
  EXPECT_EQ(ParseCityChoice(u"广东/广州"), (CityChoice{u"广东", u"广州"}));
  EXPECT_EQ(ParseCityChoice(u" 湖北 / 武汉 "), (CityChoice{u"湖北", u"武汉"}));
  EXPECT_EQ(ParseCityChoice(u"湖北\\武汉"), (CityChoice{u"湖北", u"武汉"}));
  for (std::u16string_view bad : {u"", u"广东", u"广东/", u"/广州", u"广东/广州/天河", u" / "}) {
    EXPECT_FALSE(ParseCityChoice(bad));
  }
}

}  // namespace
}  // namespace fw::settings
