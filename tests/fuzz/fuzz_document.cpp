// Page bytes through the document loader core: encoding sniffing, decoding,
// the element list, and URL resolution of a slice of the text. Nothing may
// trap, and the element list must keep its basic promises.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "app/price/html/Charset.h"
#include "app/price/html/Document.h"
#include "app/price/html/Tokenizer.h"
#include "app/price/html/Url.h"

namespace {

std::u16string Decode(std::span<const uint8_t> bytes, const std::string& encoding) {
  if (encoding == "utf-8") return fw::html::DecodeUtf8(bytes);
  if (encoding == "utf-16le") return fw::html::DecodeUtf16(bytes, false);
  if (encoding == "utf-16be") return fw::html::DecodeUtf16(bytes, true);
  // Any other encoding: widen bytes as Latin-1, which keeps every ASCII
  // delimiter where a real decoder would put it.
  return std::u16string(bytes.begin(), bytes.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  // The first byte picks a Content-Type header, so the header path is fuzzed too.
  static const char* const kHeaders[] = {"", "text/html", "text/html; charset=utf-8",
                                         "text/html; charset=\"GBK\"", "text/html;charset=bogus"};
  const char* header = size ? kHeaders[data[0] % 5] : "";
  std::string encoding = fw::html::SniffEncoding(bytes, header, "gbk");
  if (encoding.empty() || fw::html::ResolveCharsetLabel(encoding) != encoding) std::abort();
  std::u16string text = Decode(bytes, encoding);

  std::vector<fw::html::Element> elements = fw::html::BuildElementList(text, u"http://example.com/dir/page.asp?x=1");
  for (const fw::html::Element& e : elements) {
    if (e.tagName.empty()) std::abort();
    // Lower-case letters only in the names of SVG and MathML elements, which
    // have no href and no innerText.
    bool foreign = false;
    for (char16_t c : e.tagName) foreign = foreign || (c >= u'a' && c <= u'z');
    if (foreign && (!e.href.empty() || !e.innerText.empty())) std::abort();
    if (!e.href.empty() && e.tagName != u"A" && e.tagName != u"AREA") std::abort();
    // The layout's markers never leak into the text.
    for (char16_t c : e.innerText)
      if (c >= 0xFDD0 && c <= 0xFDEF) std::abort();
  }

  // The tokenizer from a state picked by the second byte (the test hook).
  if (size > 1) {
    fw::html::Tokenizer tokenizer(text);
    tokenizer.SetState(fw::html::TokenizerState(data[1] % 6 == 5 ? uint8_t(fw::html::TokenizerState::CdataSection)
                                                                   : uint8_t(data[1] % 5)));
    tokenizer.SetLastStartTag(u"script");
    fw::html::Token token;
    size_t tokens = 0;
    while (tokenizer.Next(token))
      if (++tokens > 4 * text.size() + 4) std::abort();  // each token consumes input
  }

  // A slice of the text as a link against a fixed base, and as a base itself.
  std::u16string_view slice(text);
  slice = slice.substr(0, 256);
  auto resolved = fw::html::ResolveUrl(slice, u"http://user:pw@example.com:8080/a/b/c?q#f");
  if (resolved) {
    // A serialised URL parses to itself.
    auto again = fw::html::ResolveUrl(*resolved, u"");
    if (!again || *again != *resolved) std::abort();
  }
  fw::html::ResolveUrl(u"../x?y#z", slice);
  return 0;
}
