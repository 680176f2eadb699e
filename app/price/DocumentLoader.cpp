#include "app/price/DocumentLoader.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/price/HttpClient.h"
#include "app/price/html/Document.h"

namespace fw {

namespace {

// The page's elements: its bytes decoded (the charset sniffed as a browser
// does, GBK when nothing says otherwise) and its markup read, links resolved
// against where the page came from. A failed fetch gives no elements.
std::vector<html::Element> ReadDocument(const HttpResponse& response) {
  if (!response.ok) return {};
  const DecodedPage page = DecodePage(response, L"gbk");
  const unsigned codePage = page.codePage;
  const std::wstring& text = page.text;
  // Link queries are encoded in the page's encoding; UTF-8 and UTF-16 pages
  // (and encodings the system cannot write) use UTF-8.
  html::QueryEncoder queryEncoder;
  if (codePage != 0 && codePage != CP_UTF8 && codePage != 1200 && codePage != 1201) {
    queryEncoder = [codePage](char32_t c) { return EncodeCodePoint(c, codePage); };
  }
  return html::BuildElementList(ToU16(text), ToU16(response.finalUrl), queryEncoder);
}

}  // namespace

// One fetch, shared between the GUI thread and the worker: the worker fetches
// the page and reads it into `elements` (where it was fetched, so the window's
// thread only takes the result), then sets `done` and signals `doneEvent`.
struct DocumentLoader::Fetch {
  Fetch() : doneEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Fetch() {
    if (doneEvent) CloseHandle(doneEvent);
  }
  Fetch(const Fetch&) = delete;
  Fetch& operator=(const Fetch&) = delete;

  HANDLE doneEvent;
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  std::vector<html::Element> elements;
  FetchOutcome outcome;
};

DocumentLoader::~DocumentLoader() {
  if (m_fetch) m_fetch->cancel = true;
  if (m_ahead) m_ahead->cancel = true;
}

std::shared_ptr<DocumentLoader::Fetch> DocumentLoader::StartFetch(std::u16string_view url) const {
  try {
    auto fetch = std::make_shared<Fetch>();
    if (!fetch->doneEvent) return nullptr;
    std::thread([fetch, url = ToWide(url), limits = m_limits] {
      try {
        const HttpResponse response = HttpGet(url, limits, &fetch->cancel);
        fetch->outcome = OutcomeOf(response);
        if (!fetch->cancel) fetch->elements = ReadDocument(response);
      } catch (...) {
        fetch->elements.clear();  // out of memory: an empty document
        fetch->outcome = FetchOutcome{};
        fetch->outcome.failure = FetchFailure::kOther;
      }
      fetch->done = true;
      SetEvent(fetch->doneEvent);
    }).detach();
    return fetch;
  } catch (...) {
    return nullptr;
  }
}

void DocumentLoader::Prefetch(std::u16string_view url) {
  if (m_ahead) m_ahead->cancel = true;
  m_ahead = StartFetch(url);
  m_aheadUrl = m_ahead ? std::u16string(url) : std::u16string();
}

void DocumentLoader::Navigate(std::u16string_view url) {
  if (m_fetch) m_fetch->cancel = true;  // a new page replaces the one loading
  m_fetch.reset();
  // The fetch ahead is this page's when it was for this very URL: it is the
  // same request, with the same limits, as one started now would be.
  std::shared_ptr<Fetch> ahead = std::move(m_ahead);
  const bool same = ahead && url == std::u16string_view(m_aheadUrl);
  m_aheadUrl.clear();
  if (ahead && !same) ahead->cancel = true;
  m_url = url;
  m_elements.clear();
  m_state = kLoading;
  m_fetch = same ? std::move(ahead) : StartFetch(url);
  if (!m_fetch) {  // no thread, no page: an empty document
    m_state = kComplete;
    m_outcome = FetchOutcome{};
    m_outcome.failure = FetchFailure::kOther;
    m_outcome.finalUrl = m_url;
  }
}

int DocumentLoader::ReadyState() {
  if (m_state == kLoading && m_fetch && m_fetch->done) Complete();
  return m_state;
}

const std::vector<html::Element>& DocumentLoader::All() {
  ReadyState();
  return m_elements;
}

void DocumentLoader::Complete() {
  const std::shared_ptr<Fetch> fetch = std::move(m_fetch);
  m_state = kComplete;
  m_elements = std::move(fetch->elements);
  m_outcome = std::move(fetch->outcome);
}

bool DocumentLoader::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (m_state == kLoading && m_fetch && !m_fetch->done) {
    HANDLE done = m_fetch->doneEvent;
    MsgWaitForMultipleObjectsEx(1, &done, 250, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return true;
}

}  // namespace fw
