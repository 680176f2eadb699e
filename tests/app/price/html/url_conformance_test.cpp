// The WHATWG URL suite (tests/app/price/data/url/urltestdata.json): each case
// parses `input` against `base` and compares the serialised href, or expects
// failure. Every case with an http(s) base or an http(s) input must pass,
// except those whose host needs IDNA (UTS #46 mapping or punycode checks),
// which the resolver does not implement; they are counted apart. The other
// cases (file:, non-special schemes) are reported, with a floor on their pass
// count so that a regression shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/price/html/Url.h"
#include "tests/app/price/html/Json.h"

namespace fw::html {
namespace {

using testjson::ToUtf8;
using testjson::Value;

std::u16string Lower(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 0x20);
  return out;
}

std::u16string Trimmed(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= 0x20) ++b;
  while (e > b && s[e - 1] <= 0x20) --e;
  std::u16string out;
  for (size_t i = b; i < e; ++i)
    if (s[i] != u'\t' && s[i] != u'\n' && s[i] != u'\r') out.push_back(s[i]);
  return out;
}

bool IsHttp(std::u16string_view url) {
  std::u16string s = Lower(Trimmed(url));
  return s.starts_with(u"http:") || s.starts_with(u"https:");
}

// The host text of an absolute input, found crudely (after "//", before the
// path, without userinfo and port), percent-decoded; empty for relative input.
std::u16string RoughHost(std::u16string_view input) {
  std::u16string s = Trimmed(input);
  size_t colon = s.find(u':');
  if (colon == std::u16string::npos) return {};
  size_t start = colon + 1;
  while (start < s.size() && (s[start] == u'/' || s[start] == u'\\')) ++start;
  size_t end = s.find_first_of(u"/\\?#", start);
  std::u16string authority = s.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
  size_t at = authority.rfind(u'@');
  if (at != std::u16string::npos) authority.erase(0, at + 1);
  std::u16string decoded;
  for (size_t i = 0; i < authority.size(); ++i) {
    auto hex = [](char16_t c) {
      return (c >= u'0' && c <= u'9') ? c - u'0' : (c >= u'a' && c <= u'f') ? c - u'a' + 10
                                                   : (c >= u'A' && c <= u'F') ? c - u'A' + 10 : -1;
    };
    if (authority[i] == u'%' && i + 2 < authority.size() && hex(authority[i + 1]) >= 0 && hex(authority[i + 2]) >= 0) {
      decoded.push_back(char16_t(0x80));  // a decoded byte: may be part of non-ASCII text
      if (hex(authority[i + 1]) < 8) decoded.back() = char16_t(hex(authority[i + 1]) * 16 + hex(authority[i + 2]));
      i += 2;
    } else {
      decoded.push_back(authority[i]);
    }
  }
  return decoded;
}

// A host that only IDNA can decide: non-ASCII text, or a punycode label
// ("xn--") whose validity UTS #46 checks.
bool NeedsIdna(std::u16string_view input) {
  std::u16string host = Lower(RoughHost(input));
  if (host.starts_with(u"[")) return false;
  for (char16_t c : host)
    if (c >= 0x80) return true;
  return host.starts_with(u"xn--") || host.find(u".xn--") != std::u16string::npos;
}

// The pass count of the whole suite when this test was written; only IDNA
// cases and a few file: cases fail.
constexpr int kWholeSuiteFloor = 878;

TEST(WhatwgUrl, HttpCasesPassAndTheRestIsCounted) {
  auto text = testjson::ReadSourceFile("tests/app/price/data/url/urltestdata.json");
  ASSERT_TRUE(text) << "cannot read urltestdata.json (FUELWISE_SOURCE_DIR set?)";
  std::string error;
  auto doc = testjson::Parse(*text, &error);
  ASSERT_TRUE(doc && doc->IsArray()) << error;

  int all = 0, allPassed = 0;
  int http = 0, httpPassed = 0;
  int idna = 0, idnaPassed = 0;
  for (const Value& item : doc->array) {
    if (item.IsString()) continue;  // a comment line
    const std::u16string& input = item.Find(u"input")->string;
    const Value* baseValue = item.Find(u"base");
    std::u16string base = baseValue && baseValue->IsString() ? baseValue->string : std::u16string();
    const Value* failure = item.Find(u"failure");
    bool expectFailure = failure && failure->boolean;
    std::u16string expected = expectFailure ? std::u16string() : item.Find(u"href")->string;

    auto got = ResolveUrl(input, base);
    bool pass = expectFailure ? !got.has_value() : (got && *got == expected);
    ++all;
    allPassed += pass;
    bool inHttpSubset = IsHttp(base) || IsHttp(input);
    bool needsIdna = NeedsIdna(input);
    if (!pass && (!inHttpSubset || needsIdna))
      std::printf("  not passed%s: <%s> base <%s>\n", needsIdna ? " (IDNA)" : "", ToUtf8(input).c_str(),
                  ToUtf8(base).c_str());
    if (!inHttpSubset) continue;
    if (needsIdna) {
      ++idna;
      idnaPassed += pass;
      continue;
    }
    ++http;
    httpPassed += pass;
    if (!pass) {
      ADD_FAILURE() << "input <" << ToUtf8(input) << "> base <" << ToUtf8(base) << ">\n  want "
                    << (expectFailure ? "failure" : ToUtf8(expected)) << "\n  got  "
                    << (got ? ToUtf8(*got) : std::string("failure"));
    }
  }
  std::printf("  http(s) cases (no IDNA) %4d / %4d pass\n", httpPassed, http);
  std::printf("  http(s) cases needing IDNA %2d / %4d pass (IDNA not implemented)\n", idnaPassed, idna);
  std::printf("  whole suite            %4d / %4d pass\n", allPassed, all);
  EXPECT_EQ(httpPassed, http);
  EXPECT_EQ(all, 891);
  EXPECT_GE(allPassed, kWholeSuiteFloor);
}

}  // namespace
}  // namespace fw::html
