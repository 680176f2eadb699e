// What the tokenizer adds to the standard's state machine because there is
// no tree builder (content model switching), and the input preprocessing. The
// state machine itself is covered by the html5lib suite.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/price/html/Tokenizer.h"

namespace fw::html {
namespace {

// Tokens as short strings: "<a href=x>", "</a>", "'text'", "!comment".
std::vector<std::u16string> Tokens(std::u16string_view input, bool switching = true) {
  Tokenizer tokenizer(input);
  tokenizer.SetContentModelSwitching(switching);
  std::vector<std::u16string> out;
  Token t;
  while (tokenizer.Next(t)) {
    switch (t.type) {
      case TokenType::StartTag: {
        std::u16string s = u"<" + t.name;
        for (const Attribute& a : t.attributes) s += u" " + a.name + u"=" + a.value;
        out.push_back(s + (t.selfClosing ? u"/>" : u">"));
        break;
      }
      case TokenType::EndTag: out.push_back(u"</" + t.name + u">"); break;
      case TokenType::Character: out.push_back(u"'" + t.data + u"'"); break;
      case TokenType::Comment: out.push_back(u"!" + t.data); break;
      case TokenType::Doctype: out.push_back(u"doctype " + t.name); break;
    }
  }
  return out;
}

using V = std::vector<std::u16string>;

TEST(TokenizerContentModel, ScriptAndStyleTextHoldNoTags) {
  EXPECT_EQ(Tokens(u"<script>var a='<a href=x>';</script><a href=y>"),
            (V{u"<script>", u"'var a='<a href=x>';'", u"</script>", u"<a href=y>"}));
  EXPECT_EQ(Tokens(u"<style>a{x:'</b>'}</STYLE ><b>"), (V{u"<style>", u"'a{x:'</b>'}'", u"</style>", u"<b>"}));
  // Only the matching end tag ends the text.
  EXPECT_EQ(Tokens(u"<script></style><!-- </script> --></script>"),
            (V{u"<script>", u"'</style><!-- '", u"</script>", u"' -->'", u"</script>"}));
  // A script-looking opener inside an escaped comment keeps the text going.
  EXPECT_EQ(Tokens(u"<script><!--<script></script>--></script>x"),
            (V{u"<script>", u"'<!--<script></script>-->'", u"</script>", u"'x'"}));
}

TEST(TokenizerContentModel, RcdataDecodesReferencesButNoTags) {
  EXPECT_EQ(Tokens(u"<title>a &amp; <b></title>"), (V{u"<title>", u"'a & <b>'", u"</title>"}));
  EXPECT_EQ(Tokens(u"<textarea><a href=q>&lt;</textarea><i>"),
            (V{u"<textarea>", u"'<a href=q><'", u"</textarea>", u"<i>"}));
}

TEST(TokenizerContentModel, RawtextElementsAndPlaintext) {
  for (std::u16string name : {u"xmp", u"iframe", u"noembed", u"noframes", u"noscript"}) {
    EXPECT_EQ(Tokens(u"<" + name + u"><a>&amp;</" + name + u">"),
              (V{u"<" + name + u">", u"'<a>&amp;'", u"</" + name + u">"}))
        << std::string(name.begin(), name.end());
  }
  EXPECT_EQ(Tokens(u"<plaintext><a></plaintext>"), (V{u"<plaintext>", u"'<a></plaintext>'"}));
  // The self-closing flag does not stop the switch, as in a browser.
  EXPECT_EQ(Tokens(u"<script/><a>"), (V{u"<script/>", u"'<a>'"}));
}

TEST(TokenizerContentModel, SwitchingCanBeTurnedOff) {
  EXPECT_EQ(Tokens(u"<script><a>", false), (V{u"<script>", u"<a>"}));
}

TEST(TokenizerInput, NewlinesAreNormalisedAndTextIsMerged) {
  EXPECT_EQ(Tokens(u"a\r\nb\rc\n\rd"), (V{u"'a\nb\nc\n\nd'"}));
  EXPECT_EQ(Tokens(u"<a title='x\r\ny'>"), (V{u"<a title=x\ny>"}));
  // References, "<" that opens no tag and text all arrive as one token.
  EXPECT_EQ(Tokens(u"1 &lt; 2 < 3 &amp;&"), (V{u"'1 < 2 < 3 &&'"}));
}

TEST(TokenizerAttributes, OrderCaseDuplicatesAndReferences) {
  EXPECT_EQ(Tokens(u"<A HREF='X' Target=_blank href=dup>"), (V{u"<a href=X target=_blank>"}));
  EXPECT_EQ(Tokens(u"<a href=\"?a=1&amp;b=2&copy=3&copy;&notin;&noti;\">"),
            (V{u"<a href=?a=1&b=2&copy=3\u00A9\u2209&noti;>"}));
  EXPECT_EQ(Tokens(u"&notit; &#x80; &#0; &#99999999999;"), (V{u"'\u00ACit; \u20AC \uFFFD \uFFFD'"}));
  // A tag cut off by the end of input is dropped.
  EXPECT_EQ(Tokens(u"x<a href=\"y"), (V{u"'x'"}));
}

TEST(TokenizerHooks, InitialStateAndLastStartTag) {
  Tokenizer tokenizer(u"<b></title></textarea>");
  tokenizer.SetState(TokenizerState::Rcdata);
  tokenizer.SetLastStartTag(u"textarea");
  Token t;
  ASSERT_TRUE(tokenizer.Next(t));
  EXPECT_EQ(t.type, TokenType::Character);
  EXPECT_EQ(t.data, u"<b></title>");
  ASSERT_TRUE(tokenizer.Next(t));
  EXPECT_EQ(t.type, TokenType::EndTag);
  EXPECT_EQ(t.name, u"textarea");
  EXPECT_FALSE(tokenizer.Next(t));
  EXPECT_FALSE(tokenizer.Next(t));  // stays finished
}

}  // namespace
}  // namespace fw::html
