// The price site's HTTP client: one blocking GET through WinHTTP, and the
// conversion of the raw body to text in a named charset.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/price/FetchOutcome.h"
#include "app/price/PriceControls.h"

namespace fw {

// Owns one WinHTTP handle (session, connection or request). The live count
// lets tests see that no fetch leaves a handle behind.
class HttpHandle {
 public:
  HttpHandle() = default;
  explicit HttpHandle(HINTERNET handle);
  ~HttpHandle();
  HttpHandle(HttpHandle&& other) noexcept;
  HttpHandle& operator=(HttpHandle&& other) noexcept;
  HttpHandle(const HttpHandle&) = delete;
  HttpHandle& operator=(const HttpHandle&) = delete;

  HINTERNET get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }

  static long LiveCount();

 private:
  HINTERNET m_handle = nullptr;
};

// What one fetch may take. The GUI thread waits for a GetBody, so the
// waits are bounded rather than WinHTTP's unlimited name resolution; the
// slow answers of a busy site (several seconds) still fit.
struct HttpLimits {
  int resolveMs = 15000;
  int connectMs = 15000;
  int sendMs = 30000;
  int receiveMs = 30000;  // per read, not for the whole body
  // Finding the user's proxy through a configuration script or detection, as
  // a whole (the script's download also gets the time-outs above).
  int proxyLookupMs = 10000;
  size_t maxBody = size_t{32} << 20;  // a larger body counts as a failed fetch
  int maxRedirects = 10;  // redirects followed; one more fails the fetch
};

struct HttpResponse {
  bool ok = false;  // a response arrived and its whole body was read
  // Why the fetch failed (never kNone when !ok). A status of 400 or more is
  // kHttpStatus beside ok = true: an error page is a page too.
  FetchFailure failure = FetchFailure::kNone;
  DWORD status = 0;  // of the last answer, a refused redirect's included; 0 when none came
  std::wstring contentType;
  // Where the fetch ended, redirects followed (the base of the page's relative
  // links); for a failure, the last URL asked for.
  std::wstring finalUrl;
  std::vector<uint8_t> body;  // empty unless ok
};

// GET `url` (http or https) with "If-Modified-Since: 0", so that no cached
// copy answers, through the proxy the current user's settings give for each
// URL asked for. Redirects (301, 302, 303, 307, 308) are followed from http to
// http or https and from https to https, at most limits.maxRedirects of them;
// one from https to http is refused (kInsecureRedirect). A certificate the
// system does not trust fails the fetch; there is no way around that. Any
// failure gives ok = false, its kind and an empty body; nothing is shown.
// `cancel`, when given, is polled between reads.
HttpResponse HttpGet(std::wstring_view url, const HttpLimits& limits = {},
                     const std::atomic<bool>* cancel = nullptr);

// The response's outcome for the window: failure kind, status, final URL.
FetchOutcome OutcomeOf(const HttpResponse& response);

// The WinHTTP (or socket) error a failed call left, as a failure kind.
FetchFailure FailureFromError(DWORD error);

// Bytes to text with a Windows code page (UTF-8 and UTF-16 decoded as a
// browser does). Ill-formed bytes become U+FFFD; an unusable code page gives "".
std::wstring DecodeBytes(std::span<const uint8_t> bytes, unsigned codePage);

// One code point in a Windows code page, as a browser encodes a link's query in
// its page's encoding: the bytes, or nullopt when the code page cannot represent
// it (no best-fit look-alikes). GBK uses the system's GBK table, as decoding does.
std::optional<std::string> EncodeCodePoint(char32_t codePoint, unsigned codePage);

// The body decoded in the charset named `CodeBase`, a name as a browser reads
// it ("GBK", "gb2312", "utf-8", ...; GBK goes through the GB18030 code page so
// that its four-byte sequences survive). An unknown name gives "", as does a
// body that cannot be decoded.
std::wstring BytesToBstr(std::span<const uint8_t> strBody, std::wstring_view CodeBase);

// A fetched page as text, decoded as a browser decodes it: the encoding from
// a byte order mark, the Content-Type charset or the <meta> prescan of the
// first 1024 bytes, else the one `fallbackLabel` names (GBK when it names
// none the system can decode; GBK through the GB18030 decoder). `codePage` is
// the code page the text was decoded with (a link's query is encoded in it).
struct DecodedPage {
  std::wstring text;
  unsigned codePage = 0;
};
DecodedPage DecodePage(const HttpResponse& response, std::wstring_view fallbackLabel);

// One GET of `url`, the page decoded (DecodePage) with `Coding` as the
// fallback charset; "" when the request failed. A page with an error status is
// decoded like any other. `outcome`, when given, says how the fetch ended.
std::wstring GetBody(std::wstring_view url, std::wstring_view Coding,
                     FetchOutcome* outcome = nullptr);

// GetBody for the lookup.
class WinHttpPageSource : public PageSource {
 public:
  std::u16string GetBody(std::u16string_view url, std::u16string_view coding) override;
  FetchOutcome LastOutcome() const override { return m_last; }

 private:
  FetchOutcome m_last;
};

// wchar_t is UTF-16 on Windows: the two string kinds convert unit by unit.
std::wstring ToWide(std::u16string_view text);
std::u16string ToU16(std::wstring_view text);

}  // namespace fw
