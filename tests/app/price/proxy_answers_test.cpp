// The kept answers of the user's proxy script: per URL, host names without
// regard to case, for five minutes, dropped when the settings change.
#include <gtest/gtest.h>

#include "app/price/ProxyAnswers.h"

namespace fw {
namespace {

TEST(ProxyAnswersTest, KeyIgnoresTheCaseOfSchemeAndHostOnly) {
  const struct {
    const char16_t* url;
    const char16_t* key;
  } kCases[] = {
      {u"HTTP://Prices.Example:8080/Hubei/A.html?Q=1", u"http://prices.example:8080/Hubei/A.html?Q=1"},
      {u"http://EXAMPLE/a#Frag", u"http://example/a"},
      {u"http://EXAMPLE?Q", u"http://example?Q"},
      {u"http://User:PW@HOST/P", u"http://User:PW@host/P"},
      {u"http://HOST/a@B", u"http://host/a@B"},
      {u"not a URL", u"not a URL"},
  };
  for (const auto& c : kCases) EXPECT_EQ(ProxyAnswerKey(c.url), c.key);
}

TEST(ProxyAnswersTest, OneAnswerPerUrlForFiveMinutes) {
  ProxyAnswers answers;
  answers.UseSettings(u"script=http://wpad/proxy.pac");
  const ProxyAnswer viaProxy{u"proxy:3128", u""};
  answers.Keep(u"http://site/a.html", viaProxy, 1000);
  answers.Keep(u"http://site/direct.html", ProxyAnswer{}, 1000);
  EXPECT_EQ(answers.Find(u"http://SITE/a.html", 1000), viaProxy);
  EXPECT_EQ(answers.Find(u"http://site/direct.html", 1000), ProxyAnswer{});
  EXPECT_EQ(answers.Find(u"http://site/b.html", 1000), std::nullopt) << "another path is not asked yet";
  EXPECT_EQ(answers.Find(u"http://site/a.html", 1000 + 299999), viaProxy);
  EXPECT_EQ(answers.Find(u"http://site/a.html", 1000 + 300000), std::nullopt);
}

TEST(ProxyAnswersTest, NewSettingsDropEverythingKept) {
  ProxyAnswers answers;
  answers.UseSettings(u"script=http://wpad/a.pac");
  answers.Keep(u"http://site/a.html", {u"proxy:3128", u""}, 0);
  answers.KeepFailure(0);
  answers.UseSettings(u"script=http://wpad/a.pac");  // the same: nothing dropped
  EXPECT_TRUE(answers.Find(u"http://site/a.html", 1).has_value());
  answers.UseSettings(u"script=http://wpad/b.pac");
  EXPECT_EQ(answers.Find(u"http://site/a.html", 1), std::nullopt);
  EXPECT_FALSE(answers.LookupFailedRecently(1));
}

TEST(ProxyAnswersTest, AFailedLookUpHoldsForTheSettingsUntilAnAnswerComes) {
  ProxyAnswers answers;
  answers.UseSettings(u"detect");
  EXPECT_FALSE(answers.LookupFailedRecently(0));
  answers.KeepFailure(5000);
  EXPECT_TRUE(answers.LookupFailedRecently(5000 + 299999));
  EXPECT_FALSE(answers.LookupFailedRecently(5000 + 300000));
  answers.KeepFailure(400000);
  answers.Keep(u"http://site/", {}, 400001);
  EXPECT_FALSE(answers.LookupFailedRecently(400001));
}

TEST(ProxyAnswersTest, StaysBoundedInSize) {
  ProxyAnswers answers;
  for (int i = 0; i < 1000; ++i) {
    answers.Keep(u"http://site/" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
                     std::u16string(static_cast<size_t>(i / 10), u'x'),
                 {}, static_cast<uint64_t>(i));
  }
  EXPECT_LE(answers.Size(), ProxyAnswers::kMaxAnswers);
  EXPECT_TRUE(answers.Find(u"http://site/9" + std::u16string(99, u'x'), 999).has_value())
      << "the newest answer is kept";
}

}  // namespace
}  // namespace fw
