// The document loader that stands in for an embedded browser: Navigate starts
// the page fetch on a worker thread and returns at once; the window keeps
// running while the ready state goes from loading (1) to complete (4), when
// the page has been decoded (charset sniffed as a browser does, GBK when
// nothing says otherwise) and its elements listed, both on the worker. A failed fetch completes
// too, with an empty document, so no wait on it can last for ever; Outcome()
// then says why.
//
// A page the window will surely ask for can be fetched ahead (Prefetch): the
// fetch starts at once, and the Navigate to the same URL that comes later
// takes it over where it is, instead of asking the site again. Until that
// Navigate the loader shows nothing of it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/price/HttpClient.h"
#include "app/price/PriceControls.h"

namespace fw {

class DocumentLoader : public WebBrowser {
 public:
  DocumentLoader() = default;
  // A fetch still running is abandoned: its thread finishes on its own and
  // its result is dropped.
  ~DocumentLoader() override;
  DocumentLoader(const DocumentLoader&) = delete;
  DocumentLoader& operator=(const DocumentLoader&) = delete;

  void Navigate(std::u16string_view url) override;
  // Starts fetching `url` for a Navigate to come. The ready state, the
  // document and the location stay as they are; a Navigate to another URL
  // drops this fetch. A second Prefetch replaces the first.
  void Prefetch(std::u16string_view url);
  // What each fetch may take (the same for a fetch ahead as for a Navigate).
  void SetLimits(const HttpLimits& limits) { m_limits = limits; }
  void SetSilent(bool silent) override { m_silent = silent; }
  int ReadyState() override;
  const std::vector<html::Element>& All() override;
  // Dispatches the thread's pending messages, then sleeps until a message
  // arrives or the fetch ends (at most a quarter second). False once WM_QUIT
  // is seen; the quit message is posted again for the outer loop.
  bool DoEvents() override;
  // How the navigation that completed last ended: while another loads, still
  // that one's outcome.
  FetchOutcome Outcome() const override { return m_outcome; }

  // Whether the browser would keep its own dialogs to itself; this loader
  // shows none either way.
  bool Silent() const { return m_silent; }
  const std::u16string& LocationURL() const { return m_url; }

 private:
  struct Fetch;

  void Complete();
  // A worker fetching `url`; null when no thread could be started.
  std::shared_ptr<Fetch> StartFetch(std::u16string_view url) const;

  std::shared_ptr<Fetch> m_fetch;  // shared with the worker while it runs
  std::shared_ptr<Fetch> m_ahead;  // fetched for m_aheadUrl, not navigated to yet
  std::u16string m_aheadUrl;
  HttpLimits m_limits;
  std::u16string m_url;
  int m_state = kUninitialized;
  std::vector<html::Element> m_elements;
  FetchOutcome m_outcome;
  bool m_silent = false;
};

}  // namespace fw
