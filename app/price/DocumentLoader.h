// The document loader that stands in for an embedded browser: Navigate starts
// the page fetch on a worker thread and returns at once; the window keeps
// running while the ready state goes from loading (1) to complete (4), when
// the page has been decoded (charset sniffed as a browser does, GBK when
// nothing says otherwise) and its elements listed. A failed fetch completes
// too, with an empty document, so no wait on it can last for ever.
#pragma once

#include <memory>
#include <string>
#include <vector>

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
  void SetSilent(bool silent) override { m_silent = silent; }
  int ReadyState() override;
  const std::vector<html::Element>& All() override;
  // Dispatches the thread's pending messages, then sleeps until a message
  // arrives or the fetch ends (at most a quarter second). False once WM_QUIT
  // is seen; the quit message is posted again for the outer loop.
  bool DoEvents() override;

  // Whether the browser would keep its own dialogs to itself; this loader
  // shows none either way.
  bool Silent() const { return m_silent; }
  const std::u16string& LocationURL() const { return m_url; }

 private:
  struct Fetch;

  void Complete();

  std::shared_ptr<Fetch> m_fetch;  // shared with the worker while it runs
  std::u16string m_url;
  int m_state = kUninitialized;
  std::vector<html::Element> m_elements;
  bool m_silent = false;
};

}  // namespace fw
