// The GB18030 byte structure and error handling, with a stand-in for the
// system's two-byte table: each well-formed pair becomes U+E000 + its
// position among the pairs, so the tests see exactly which bytes went where.
// The expected outputs follow the Encoding Standard's gb18030 decoder steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/GbkDecoder.h"

namespace fw {
namespace {

std::u16string Decode(std::vector<uint8_t> bytes, std::vector<std::vector<uint8_t>>* runs = nullptr) {
  return DecodeGb18030(bytes, [runs](std::span<const uint8_t> run, std::u16string& out) {
    if (runs) runs->emplace_back(run.begin(), run.end());
    for (size_t i = 0; i < run.size(); ++i) {
      if (run[i] < 0x80) {
        out += static_cast<char16_t>(run[i]);
      } else {
        out += static_cast<char16_t>(0xE000 + (run[i] << 8 | run[i + 1]) % 0x1000);
        ++i;
      }
    }
  });
}

constexpr char16_t R = 0xFFFD;
char16_t Pair(uint8_t lead, uint8_t trail) { return char16_t(0xE000 + (lead << 8 | trail) % 0x1000); }

TEST(GbkDecoderTest, AsciiAndPairsGoToTheSystemTableInRuns) {
  std::vector<std::vector<uint8_t>> runs;
  EXPECT_EQ(Decode({'a', 0xD4, 0xAA, 'b', 0x81, 0x40}, &runs),
            (std::u16string{u'a', Pair(0xD4, 0xAA), u'b', Pair(0x81, 0x40)}));
  ASSERT_EQ(runs.size(), 1u) << "one call for the whole well-formed text";
  EXPECT_EQ(Decode({}), u"");
  EXPECT_EQ(Decode({0xFE, 0xFE, 0x81, 0x7E}), (std::u16string{Pair(0xFE, 0xFE), Pair(0x81, 0x7E)}));
}

TEST(GbkDecoderTest, SingleBytes) {
  EXPECT_EQ(Decode({0x80}), u"\u20AC");
  EXPECT_EQ(Decode({'a', 0xFF, 'b'}), (std::u16string{u'a', R, u'b'}));
}

TEST(GbkDecoderTest, BadSecondByte) {
  // An ASCII byte that cannot trail is read again as itself.
  EXPECT_EQ(Decode({'a', 0x81, 0x20, 'b'}), (std::u16string{u'a', R, u' ', u'b'}));
  EXPECT_EQ(Decode({0x81, 0x3F}), (std::u16string{R, u'?'}));
  // 0xFF is consumed with the lead; 0x80 trails like any byte from 0x80 to 0xFE.
  EXPECT_EQ(Decode({0x81, 0xFF, 'b'}), (std::u16string{R, u'b'}));
  EXPECT_EQ(Decode({0x81, 0x80, 'b'}), (std::u16string{Pair(0x81, 0x80), u'b'}));
  // A lead at the very end.
  EXPECT_EQ(Decode({'a', 0xB9}), (std::u16string{u'a', R}));
}

TEST(GbkDecoderTest, FourByteSequences) {
  EXPECT_EQ(Decode({0x81, 0x30, 0x81, 0x30}), u"\u0080");
  EXPECT_EQ(Decode({0x84, 0x31, 0xA4, 0x39}), u"\uFFFF");
  EXPECT_EQ(Decode({0x81, 0x35, 0xF4, 0x37}), u"\uE7C7");
  EXPECT_EQ(Decode({0x90, 0x30, 0x81, 0x30}), u"\U00010000");
  EXPECT_EQ(Decode({0xE3, 0x32, 0x9A, 0x35}), u"\U0010FFFF");
  // Pointers that name nothing.
  EXPECT_EQ(Decode({0x84, 0x31, 0xA5, 0x30}), (std::u16string{R}));
  EXPECT_EQ(Decode({0xE3, 0x32, 0x9A, 0x36}), (std::u16string{R}));
  EXPECT_EQ(Decode({0xFE, 0x39, 0xFE, 0x39, 'x'}), (std::u16string{R, u'x'}));
}

TEST(GbkDecoderTest, BrokenFourByteSequencesAreReadAgainFromTheSecondByte) {
  // Third byte wrong: U+FFFD, then "0" and the third byte again.
  EXPECT_EQ(Decode({0x81, 0x30, 0x20}), (std::u16string{R, u'0', u' '}));
  // Fourth byte wrong: U+FFFD, then "0", then the third byte as a lead with
  // the fourth as its (bad) second byte.
  EXPECT_EQ(Decode({0x81, 0x30, 0x81, 0x20}), (std::u16string{R, u'0', R, u' '}));
  EXPECT_EQ(Decode({0x81, 0x30, 0x81, 0x41}), (std::u16string{R, u'0', Pair(0x81, 0x41)}));
}

TEST(GbkDecoderTest, SequencesCutOffByTheEndAreOneError) {
  EXPECT_EQ(Decode({'a', 0x81, 0x30}), (std::u16string{u'a', R}));
  EXPECT_EQ(Decode({'a', 0x81, 0x30, 0x81}), (std::u16string{u'a', R}));
}

TEST(GbkDecoderTest, RangesTable) {
  EXPECT_EQ(Gb18030RangesCodePoint(0), 0x80u);
  EXPECT_EQ(Gb18030RangesCodePoint(35), 0xA3u);
  EXPECT_EQ(Gb18030RangesCodePoint(36), 0xA5u);
  EXPECT_EQ(Gb18030RangesCodePoint(39419), 0xFFFFu);
  EXPECT_EQ(Gb18030RangesCodePoint(39420), 0u);
  EXPECT_EQ(Gb18030RangesCodePoint(188999), 0u);
  EXPECT_EQ(Gb18030RangesCodePoint(189000), 0x10000u);
  EXPECT_EQ(Gb18030RangesCodePoint(1237575), 0x10FFFFu);
  EXPECT_EQ(Gb18030RangesCodePoint(1237576), 0u);
}

}  // namespace
}  // namespace fw
