// What the price lookup needs of the main window's controls and services. The
// window's image combo boxes, hidden list boxes, labels and text box implement
// these; tests and the pricecheck tool use the in-memory holders of
// app/price/MemoryControls.h. Portable: no platform header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/price/FetchOutcome.h"
#include "app/price/html/Document.h"

namespace fw {

// A list that keeps its items in the order they were appended.
class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual void AddItem(std::u16string_view item) = 0;
  virtual void Clear() = 0;
  virtual size_t ListCount() const = 0;
  // Item k; "" when k lies outside the list, as a list box reads a missing row.
  virtual std::u16string List(size_t k) const = 0;
};

// A drop-down list with an editable text (the image combo box).
class ComboControl : public ListControl {
 public:
  // The selected index, -1 when nothing is selected.
  virtual int ListIndex() const = 0;
  // Selects an item and shows its text; false (and no change) when the index
  // is outside the list.
  virtual bool SetListIndex(int index) = 0;
  virtual std::u16string Text() const = 0;
  virtual void SetText(std::u16string_view text) = 0;
};

class LabelControl {
 public:
  virtual ~LabelControl() = default;
  virtual void SetCaption(std::u16string_view caption) = 0;
  virtual std::u16string Caption() const = 0;
};

class TextBoxControl {
 public:
  virtual ~TextBoxControl() = default;
  virtual void SetText(std::u16string_view text) = 0;
  virtual std::u16string Text() const = 0;
};

// The window's controls the lookup works on, by their names on the window.
struct PriceWindowControls {
  std::array<ComboControl*, 2> comWhere{};  // 0 provinces, 1 cities
  std::array<ListControl*, 4> ListCity{};   // 0 province URLs, 1 city URLs, 2/3 link texts/URLs
  TextBoxControl* Text1 = nullptr;          // URL of the price page read last
  std::array<LabelControl*, 4> labinfo{};   // fuel name and unit of each row
  std::array<LabelControl*, 4> labPrice{};  // price of each row
};

// The blocking page fetch: the body of `url` decoded as a browser decodes a
// page (a byte order mark, the Content-Type charset, a <meta> charset),
// `coding` naming the charset when the page names none; "" when the request
// failed. Never shows anything to the user.
class PageSource {
 public:
  virtual ~PageSource() = default;
  virtual std::u16string GetBody(std::u16string_view url, std::u16string_view coding) = 0;
  // How the last GetBody ended (nothing failed before the first).
  virtual FetchOutcome LastOutcome() const { return {}; }
};

// What the province index needs of a browser: load a URL without blocking the
// window, report the ready state, list the loaded document's elements.
class WebBrowser {
 public:
  static constexpr int kUninitialized = 0;
  static constexpr int kLoading = 1;
  static constexpr int kInteractive = 3;
  static constexpr int kComplete = 4;

  virtual ~WebBrowser() = default;
  virtual void Navigate(std::u16string_view url) = 0;
  // No dialogs of the browser's own (script errors and the like).
  virtual void SetSilent(bool silent) = 0;
  virtual int ReadyState() = 0;
  // The document's elements (document.all); empty before a load completes
  // and after a failed one.
  virtual const std::vector<html::Element>& All() = 0;
  // Lets the window process its pending events, waiting (without spinning)
  // until there is one or the load has moved on. False when the application
  // is quitting: the caller stops waiting.
  virtual bool DoEvents() = 0;
  // How the last completed navigation ended (nothing failed before the first).
  virtual FetchOutcome Outcome() const { return {}; }
};

// ShowMessageBox(Prompt, Flags, PromptCaption) over the main window; returns
// the button pressed. Flags 0: the OK button alone.
using ShowMessageBoxFn =
    std::function<int32_t(std::u16string_view prompt, int32_t flags, std::u16string_view caption)>;

}  // namespace fw
