#include "app/price/HttpClient.h"

#include <versionhelpers.h>

#include <chrono>
#include <climits>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "app/price/ProxyAnswers.h"
#include "app/price/html/Charset.h"
#include "app/price/html/Url.h"
#include "host/GbkDecoder.h"

namespace fw {

namespace {

std::atomic<long> g_liveHandles{0};

constexpr wchar_t kUserAgent[] = L"Fuelwise/1.0";
constexpr wchar_t kNoCacheHeader[] = L"If-Modified-Since: 0";
constexpr DWORD kReadChunk = 64 * 1024;
// WSAETIMEDOUT, without winsock2.h: what Wine 8 fails a call with when the
// answer's headers do not come within WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT.
constexpr DWORD kSocketTimedOut = 10060;

// A header's value as text; "" when the response lacks it.
std::wstring QueryHeaderText(HINTERNET request, DWORD info) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                      &bytes, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
  std::wstring value(bytes / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  value.resize(bytes / sizeof(wchar_t));
  return value;
}

constexpr unsigned kGb18030 = 54936;
constexpr unsigned kGbk = 936;

// The system's conversion. Without MB_ERR_INVALID_CHARS a sequence it cannot
// map does not fail the whole text.
std::wstring DecodeWithCodePage(std::span<const uint8_t> bytes, unsigned codePage) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const auto* in = reinterpret_cast<const char*>(bytes.data());
  const int inLength = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, 0, in, inLength, nullptr, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length), L'\0');
  const int written = MultiByteToWideChar(codePage, 0, in, inLength, text.data(), length);
  if (written <= 0) return {};
  text.resize(static_cast<size_t>(written));
  return text;
}

// Strings WinHTTP hands over for the caller to free.
struct GlobalText {
  LPWSTR text = nullptr;
  ~GlobalText() {
    if (text) GlobalFree(text);
  }
};

// Windows 8.1 and later can find a proxy inside WinHTTP itself.
bool HasAutomaticProxy() {
  static const bool has = IsWindows8Point1OrGreater();
  return has;
}

// The current user's internet settings, which the platform's own request object
// and the picture loader follow. Without them a user behind a proxy would see
// every fetch fail silently.
struct UserSettings {
  bool autoDetect = false;
  std::wstring script;  // the configuration script's URL
  std::wstring proxy;   // the proxy given by hand
  std::wstring bypass;

  bool NameTheirOwn() const { return !script.empty() || !proxy.empty(); }
  bool AskAScript() const { return autoDetect || !script.empty(); }
  // The settings as one text: any change gives another text.
  std::u16string Text() const {
    std::u16string text(1, autoDetect ? u'1' : u'0');
    for (const std::wstring* part : {&script, &proxy, &bypass}) {
      text += u'\0';
      text += ToU16(*part);
    }
    return text;
  }
};

bool ReadUserSettings(UserSettings& settings) {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG ie{};
  if (!WinHttpGetIEProxyConfigForCurrentUser(&ie)) return false;
  GlobalText script{ie.lpszAutoConfigUrl}, proxy{ie.lpszProxy}, bypass{ie.lpszProxyBypass};
  settings.autoDetect = ie.fAutoDetect != FALSE;
  if (script.text) settings.script = script.text;
  if (proxy.text) settings.proxy = proxy.text;
  if (bypass.text) settings.bypass = bypass.text;
  return true;
}

// What the configuration script, or the one detection finds, answers for
// `url`; nullopt when there is no answer. Asked on the calling thread.
std::optional<ProxyAnswer> AskScriptNow(const std::wstring& url, bool autoDetect,
                                        const std::wstring& script, const HttpLimits& limits) {
  WINHTTP_AUTOPROXY_OPTIONS options{};
  if (!script.empty()) {
    options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = script.c_str();
  }
  if (autoDetect) {
    options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
  }
  options.fAutoLogonIfChallenged = TRUE;
  HttpHandle probe(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
  if (!probe) return std::nullopt;
  // Where the script's download honours them, the fetch's own time-outs.
  WinHttpSetTimeouts(probe.get(), limits.resolveMs, limits.connectMs, limits.sendMs, limits.receiveMs);
  WINHTTP_PROXY_INFO found{};
  if (!WinHttpGetProxyForUrl(probe.get(), url.c_str(), &options, &found)) return std::nullopt;
  GlobalText foundProxy{found.lpszProxy}, foundBypass{found.lpszProxyBypass};
  ProxyAnswer answer;  // DIRECT unless a proxy is named
  if (found.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY && foundProxy.text) {
    answer.proxy = ToU16(foundProxy.text);
    if (foundBypass.text) answer.bypass = ToU16(foundBypass.text);
  }
  return answer;
}

// AskScriptNow on a thread of its own, waited for at most limits.proxyLookupMs:
// not every system bounds the script's download by the session's time-outs
// (this Wine does not), and detection by none. A look-up that outlasts the wait
// finishes alone; its answer is dropped.
std::optional<ProxyAnswer> AskScript(const std::wstring& url, const UserSettings& settings,
                                     const HttpLimits& limits) {
  struct Lookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::optional<ProxyAnswer> answer;
  };
  try {
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, url, autoDetect = settings.autoDetect, script = settings.script, limits] {
      std::optional<ProxyAnswer> answer;
      try {
        answer = AskScriptNow(url, autoDetect, script, limits);
      } catch (...) {  // out of memory: no answer
      }
      const std::lock_guard<std::mutex> lock(lookup->mutex);
      lookup->answer = std::move(answer);
      lookup->done = true;
      lookup->finished.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    const std::chrono::milliseconds wait(limits.proxyLookupMs > 0 ? limits.proxyLookupMs : 0);
    if (!lookup->finished.wait_for(lock, wait, [&lookup] { return lookup->done; })) return std::nullopt;
    return std::move(lookup->answer);
  } catch (...) {  // no thread to be had: no answer
    return std::nullopt;
  }
}

struct KeptAnswers {
  std::mutex mutex;
  ProxyAnswers answers;
};

KeptAnswers& KeptScriptAnswers() {
  static KeptAnswers* kept = new KeptAnswers;  // used by fetch threads too; never destroyed
  return *kept;
}

// The script's answer for `url`, kept (see ProxyAnswers) or asked now.
std::optional<ProxyAnswer> ScriptAnswerFor(const std::wstring& url, const UserSettings& settings,
                                           const HttpLimits& limits) {
  KeptAnswers& kept = KeptScriptAnswers();
  const std::u16string settingsText = settings.Text();
  const std::u16string key = ToU16(url);
  {
    const std::lock_guard<std::mutex> lock(kept.mutex);
    kept.answers.UseSettings(settingsText);
    if (auto answer = kept.answers.Find(key, GetTickCount64())) return answer;
    if (kept.answers.LookupFailedRecently(GetTickCount64())) return std::nullopt;
  }
  std::optional<ProxyAnswer> answer = AskScript(url, settings, limits);
  const std::lock_guard<std::mutex> lock(kept.mutex);
  kept.answers.UseSettings(settingsText);
  if (answer) {
    kept.answers.Keep(key, *answer, GetTickCount64());
  } else {
    kept.answers.KeepFailure(GetTickCount64());
  }
  return answer;
}

HINTERNET OpenDirect() {
  return WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                     WINHTTP_NO_PROXY_BYPASS, 0);
}

HINTERNET OpenThrough(const std::wstring& proxy, const std::wstring& bypass) {
  if (proxy.empty()) return OpenDirect();
  return WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.c_str(),
                     bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : bypass.c_str(), 0);
}

// A session for `url` that goes out the way the user's settings say. What the
// user named (a proxy, a configuration script) is followed here on every
// system, the script's answer given to the session when it opens (a proxy set
// on a request later is not honoured everywhere). WinHTTP's automatic proxy,
// where there is one, gets only what the user left to the system (detection,
// machine-wide settings): it does not follow the user's own settings
// everywhere (under Wine it ignores a proxy given by hand).
HINTERNET OpenSession(const std::wstring& url, const HttpLimits& limits) {
  UserSettings settings;
  const bool read = ReadUserSettings(settings);
  if (!(read && settings.NameTheirOwn()) && HasAutomaticProxy()) {
    return WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                       WINHTTP_NO_PROXY_BYPASS, 0);
  }
  if (!read) return OpenDirect();
  if (settings.AskAScript()) {
    // Without an answer (no script, none detected, too slow) the proxy given
    // by hand, if any, still applies.
    if (const auto answer = ScriptAnswerFor(url, settings, limits)) {
      return OpenThrough(ToWide(answer->proxy), ToWide(answer->bypass));
    }
  }
  return OpenThrough(settings.proxy, settings.bypass);
}

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// One request of HttpGet: GET `url` and, unless the answer is a redirect,
// read its body into `response` (ok, status, type, body; failure kNone or
// kHttpStatus). A redirect leaves its target in `location` and its status in
// `response`. False, with response.failure set, when the fetch failed.
// `secure` tells whether the URL was https (its scheme in any case).
// WinHTTP's own redirect handling is switched off (see HttpGet).
bool AskOnce(const std::wstring& url, const HttpLimits& limits, const std::atomic<bool>* cancel,
             HttpResponse& response, std::wstring& location, bool& secure) {
  response.ok = false;
  response.failure = FetchFailure::kOther;
  response.status = 0;
  response.contentType.clear();
  response.body.clear();
  if (url.empty() || url.size() > INT_MAX) return false;

  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
  secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring target(parts.lpszUrlPath, parts.dwUrlPathLength);
  target.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  // A fragment is the browser's business, never sent.
  if (const size_t hash = target.find(L'#'); hash != std::wstring::npos) target.resize(hash);
  if (target.empty()) target = L"/";
  if (host.empty()) return false;

  // Fails the fetch with the kind the last failed call left.
  auto failed = [&response] {
    response.failure = FailureFromError(GetLastError());
    return false;
  };
  HttpHandle session(OpenSession(url.substr(0, url.find(L'#')), limits));
  if (!session) return failed();
  WinHttpSetTimeouts(session.get(), limits.resolveMs, limits.connectMs, limits.sendMs,
                     limits.receiveMs);
  HttpHandle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return failed();
  // The method token is case-sensitive: servers answer "Get" with 501 or 405.
  HttpHandle request(WinHttpOpenRequest(
      connection.get(), L"GET", target.c_str(), nullptr, WINHTTP_NO_REFERER,
      WINHTTP_DEFAULT_ACCEPT_TYPES,
      parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return failed();
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never)) {
    return failed();
  }
  // The wait for the answer's headers. Wine 8 does not bound it by the
  // receive time-out: without this a site that accepts the connection and
  // never answers held the fetch (and the window waiting for it) for ever.
  // Wine then fails the wait with the socket's WSAETIMEDOUT.
  DWORD answerMs = limits.receiveMs > 0 ? static_cast<DWORD>(limits.receiveMs) : 0;
  WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &answerMs,
                   sizeof answerMs);
  if (!WinHttpSendRequest(request.get(), kNoCacheHeader, static_cast<DWORD>(-1),
                          WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
    return failed();
  }
  if (!WinHttpReceiveResponse(request.get(), nullptr)) return failed();

  DWORD status = 0;
  DWORD statusSize = sizeof status;
  if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                          WINHTTP_NO_HEADER_INDEX)) {
    response.status = status;
  }
  if (IsRedirect(status)) {
    location = QueryHeaderText(request.get(), WINHTTP_QUERY_LOCATION);
    // A redirect that names no place is an answer like any other.
    if (!location.empty()) return true;
  }
  response.contentType = QueryHeaderText(request.get(), WINHTTP_QUERY_CONTENT_TYPE);

  std::vector<uint8_t> body;
  for (;;) {
    if (cancel && cancel->load()) return false;
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available)) return failed();
    if (available == 0) break;  // the whole body is in
    const DWORD want = available < kReadChunk ? available : kReadChunk;
    if (body.size() + want > limits.maxBody) return false;
    const size_t at = body.size();
    body.resize(at + want);
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), body.data() + at, want, &read)) return failed();
    body.resize(at + read);
    if (read == 0) break;
  }
  response.body = std::move(body);
  response.ok = true;
  response.failure = response.status >= 400 ? FetchFailure::kHttpStatus : FetchFailure::kNone;
  return true;
}

}  // namespace

HttpHandle::HttpHandle(HINTERNET handle) : m_handle(handle) {
  if (m_handle) ++g_liveHandles;
}

HttpHandle::~HttpHandle() {
  if (m_handle) {
    WinHttpCloseHandle(m_handle);
    --g_liveHandles;
  }
}

HttpHandle::HttpHandle(HttpHandle&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)) {}

HttpHandle& HttpHandle::operator=(HttpHandle&& other) noexcept {
  if (this != &other) {
    HttpHandle old(std::move(*this));
    m_handle = std::exchange(other.m_handle, nullptr);
  }
  return *this;
}

long HttpHandle::LiveCount() { return g_liveHandles.load(); }

FetchFailure FailureFromError(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return FetchFailure::kCannotConnect;
    case ERROR_WINHTTP_TIMEOUT:
    case kSocketTimedOut:
      return FetchFailure::kTimeout;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return FetchFailure::kNameNotResolved;
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    // Windows names the certificate's fault through the status callback and
    // fails the call with this one.
    case ERROR_WINHTTP_SECURE_FAILURE:
    // Wine 8 checks the certificate (its log says "cert verify failed: 12045"
    // for an unknown CA) but fails the call with this one, as it does for a
    // server that speaks no TLS at all: the two cannot be told apart there,
    // and a certificate is by far the likelier cause on a real site.
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      return FetchFailure::kCertificateUntrusted;
    default:
      return FetchFailure::kOther;
  }
}

FetchOutcome OutcomeOf(const HttpResponse& response) {
  FetchOutcome outcome;
  outcome.failure = response.failure;
  outcome.status = response.status;
  outcome.finalUrl = ToU16(response.finalUrl);
  return outcome;
}

// Redirects are followed here, each request with WinHTTP's own following
// switched off. Measured under Wine 8: WinHTTP follows http to https (another
// port too) and refuses https to http, but it refuses WINHTTP_OPTION_URL
// (ERROR_INVALID_PARAMETER), so the URL the page finally came from, the base
// of its links, was lost; and it fails the refusal with
// ERROR_WINHTTP_REDIRECT_FAILED, the error of a redirect loop, so the user
// could not be told why. Followed here, each hop also goes out through the
// proxy the user's settings give for its own URL.
HttpResponse HttpGet(std::wstring_view url, const HttpLimits& limits,
                     const std::atomic<bool>* cancel) {
  HttpResponse response;
  response.failure = FetchFailure::kOther;
  response.finalUrl = url;
  std::wstring current(url);
  for (int redirects = 0;; ++redirects) {
    std::wstring location;
    bool secure = false;
    if (!AskOnce(current, limits, cancel, response, location, secure)) return response;
    if (location.empty()) return response;  // the answer itself
    // The Location may be relative; it is read against the URL that gave it.
    const auto next = html::ResolveUrl(ToU16(location), ToU16(current));
    const bool nextHttps = next && next->rfind(u"https:", 0) == 0;
    const bool nextHttp = next && next->rfind(u"http:", 0) == 0;
    if (!nextHttps && !nextHttp) return response;  // kOther: nowhere a page could come from
    if (!nextHttps && secure) {
      // Leaving HTTPS for plain HTTP would hand the rest of the visit to
      // anyone on the way; browsers warn, a price lookup simply refuses.
      response.failure = FetchFailure::kInsecureRedirect;
      return response;
    }
    if (redirects >= limits.maxRedirects) return response;  // kOther: a loop or close to one
    current = ToWide(*next);
    response.finalUrl = current;
  }
}

std::wstring DecodeBytes(std::span<const uint8_t> bytes, unsigned codePage) {
  if (bytes.empty()) return {};
  if (codePage == CP_UTF8) return ToWide(html::DecodeUtf8(bytes));
  if (codePage == 1200 || codePage == 1201) return ToWide(html::DecodeUtf16(bytes, codePage == 1201));
  if (codePage == 0 || bytes.size() > INT_MAX) return {};
  if (codePage == kGb18030 || codePage == kGbk) {
    // Wine has no GB18030 code page, and its GBK one turns bad bytes into
    // "?": the structure and the errors are read here, the two-byte table
    // is the system's (GB18030 where there is one).
    static const unsigned table = IsValidCodePage(kGb18030) ? kGb18030 : kGbk;
    const std::u16string decoded =
        DecodeGb18030(bytes, [](std::span<const uint8_t> run, std::u16string& out) {
          const std::wstring part = DecodeWithCodePage(run, table);
          out.append(part.begin(), part.end());
        });
    return ToWide(decoded);
  }
  return DecodeWithCodePage(bytes, codePage);
}

std::optional<std::string> EncodeCodePoint(char32_t codePoint, unsigned codePage) {
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return std::nullopt;
  if (codePage == kGb18030 || codePage == kGbk) {
    // The page's GBK is read through the GBK table where GB18030 is missing;
    // encode through the same table, so a link's query matches its page.
    static const unsigned table = IsValidCodePage(kGb18030) ? kGb18030 : kGbk;
    codePage = table;
  }
  wchar_t units[2];
  int count = 1;
  if (codePoint >= 0x10000) {
    units[0] = static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
    units[1] = static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    count = 2;
  } else {
    units[0] = static_cast<wchar_t>(codePoint);
  }
  // GB18030 maps every code point and refuses the best-fit flag and the
  // default-character report; other code pages report what they cannot map.
  const bool mapsAll = codePage == kGb18030;
  BOOL usedDefault = FALSE;
  char bytes[8];
  const int written =
      WideCharToMultiByte(codePage, mapsAll ? 0 : WC_NO_BEST_FIT_CHARS, units, count, bytes,
                          sizeof bytes, nullptr, mapsAll ? nullptr : &usedDefault);
  if (written <= 0 || usedDefault) return std::nullopt;
  return std::string(bytes, static_cast<size_t>(written));
}

std::wstring BytesToBstr(std::span<const uint8_t> strBody, std::wstring_view CodeBase) {
  // Charset names are ASCII; anything else names no charset.
  std::string label;
  label.reserve(CodeBase.size());
  for (wchar_t c : CodeBase) {
    if (c > 0x7F) return {};
    label += static_cast<char>(c);
  }
  const std::string encoding = html::ResolveCharsetLabel(label);
  if (encoding.empty()) return {};
  return DecodeBytes(strBody, html::CodePageForEncoding(encoding));
}

DecodedPage DecodePage(const HttpResponse& response, std::wstring_view fallbackLabel) {
  // The fallback as a label a browser knows; one it does not know, or one
  // the system cannot decode, leaves GBK, the price site's own encoding.
  std::string fallback;
  for (wchar_t c : fallbackLabel) {
    if (c > 0x7F) {
      fallback.clear();
      break;
    }
    fallback += static_cast<char>(c);
  }
  fallback = html::ResolveCharsetLabel(fallback);
  if (fallback.empty() || html::CodePageForEncoding(fallback) == 0) fallback = "gbk";
  std::string contentType;
  for (wchar_t c : response.contentType) contentType += c < 0x80 ? static_cast<char>(c) : '?';
  const std::string encoding = html::SniffEncoding(response.body, contentType, fallback);
  DecodedPage page;
  page.codePage = html::CodePageForEncoding(encoding);
  page.text = DecodeBytes(response.body, page.codePage);
  return page;
}

std::wstring GetBody(std::wstring_view url, std::wstring_view Coding, FetchOutcome* outcome) {
  try {
    const HttpResponse response = HttpGet(url);
    if (outcome) *outcome = OutcomeOf(response);
    if (!response.ok) return {};
    return DecodePage(response, Coding).text;
  } catch (...) {  // out of memory for a large body: a failed fetch like any other
    if (outcome) {
      *outcome = FetchOutcome{};
      outcome->failure = FetchFailure::kOther;
    }
    return {};
  }
}

std::u16string WinHttpPageSource::GetBody(std::u16string_view url, std::u16string_view coding) {
  m_last = FetchOutcome{};
  m_last.failure = FetchFailure::kOther;  // unless the fetch says otherwise
  return ToU16(fw::GetBody(ToWide(url), ToWide(coding), &m_last));
}

std::wstring ToWide(std::u16string_view text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return std::wstring(text.begin(), text.end());
}

std::u16string ToU16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace fw
