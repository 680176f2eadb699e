// Resolving link URLs as a browser's URL parser does (the WHATWG URL
// Standard's basic URL parser and serializer). Portable: no platform header.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace fw::html {

// Parses `input` against `base` (itself parsed with no base; an empty or
// unparsable base means "no base") and returns the serialised href, or nullopt
// when the input is not a valid URL. Covers what a link extractor meets:
// special schemes (http, https, ftp, ws, wss, file), relative references, dot
// segments (including %2e), "\" as "/" in special URLs, tab/newline removal,
// leading/trailing C0-control-or-space trimming, userinfo, ports and default
// ports, IPv4 in its decimal/octal/hex forms, IPv6, the percent-encode sets of
// userinfo/path/query/fragment, and opaque paths of non-special schemes such
// as mailto: and javascript:.
// Hosts are not run through IDNA: a non-ASCII host fails (nullopt), and an
// ASCII host is lower-cased and checked for forbidden code points only.
//
// A link's query is encoded in its document's character encoding (a GBK page's
// "?c=广州" becomes "?c=%B9%E3%D6%DD"), except for ws/wss and non-special schemes:
// `queryEncoder` gives the bytes of one non-ASCII code point in that encoding,
// or nullopt when the encoding cannot represent it (written as "%26%23N%3B", the
// percent-encoded "&#N;"). Without an encoder the query is UTF-8, as for a
// UTF-8 document.
using QueryEncoder = std::function<std::optional<std::string>(char32_t)>;

std::optional<std::u16string> ResolveUrl(std::u16string_view input, std::u16string_view base,
                                         const QueryEncoder& queryEncoder = {});

// The same, with the base parsed once for many links (a page's base URL).
class UrlResolver {
 public:
  explicit UrlResolver(std::u16string_view base, QueryEncoder queryEncoder = {});
  ~UrlResolver();
  UrlResolver(const UrlResolver&) = delete;
  UrlResolver& operator=(const UrlResolver&) = delete;

  std::optional<std::u16string> Resolve(std::u16string_view input) const;

 private:
  struct ParsedBase;
  std::unique_ptr<ParsedBase> m_base;  // null when the base did not parse
  QueryEncoder m_queryEncoder;
};

}  // namespace fw::html
