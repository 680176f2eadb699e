// The flat element list: the tokenizer's start tags in order, with a small
// open-element stack for where each element's content ends, a rendered-text
// stream for innerText, and link resolution against the document base. The
// rules are in Document.h.
#include "app/price/html/Document.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

#include "app/price/html/Tokenizer.h"
#include "app/price/html/Url.h"

namespace fw::html {
namespace {

// At this depth the deepest open element ends before a new one starts, so
// deeper markup becomes siblings (browsers flatten such trees alike). Keeps
// end-tag searches bounded on deeply nested or unclosed markup.
constexpr size_t kMaxOpenElements = 512;

// Markers in the rendered-text stream: "required line breaks" of the innerText
// algorithm (one line, or two for <p>). They are noncharacters; the same code
// points in page text are replaced by U+FFFD before they reach the stream.
constexpr char16_t kBreak1 = 0xFDD0;
constexpr char16_t kBreak2 = 0xFDD1;

bool IsCollapsible(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }
bool IsMarker(char16_t c) { return c == kBreak1 || c == kBreak2; }

bool In(std::u16string_view name, std::initializer_list<std::u16string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// What the builder needs to know of a tag name, looked up once per start tag.
enum TagFlag : uint16_t {
  kVoid = 1 << 0,              // no content, no end tag
  kUnrenderedText = 1 << 1,    // raw text / RCDATA a browser does not render
  kBlock = 1 << 2,             // a block box: one line break before and after
  kParagraph = 1 << 3,         // <p>: two line breaks
  kClosesParagraph = 1 << 4,   // a start tag before which an open <p> ends
  kHeading = 1 << 5,           // h1..h6
};

uint16_t TagFlags(std::u16string_view name) {
  struct Entry {
    std::u16string_view name;
    uint16_t flags;
  };
  static constexpr uint16_t kBlockClosingP = kBlock | kClosesParagraph;
  // Void elements; elements whose content a browser does not render (their
  // innerText is their text as written, as a DOM gives for an element that is
  // not being rendered, and it is no part of any ancestor's innerText);
  // block-level boxes of the default style sheet.
  static constexpr Entry kTags[] = {
      {u"address", kBlockClosingP}, {u"area", kVoid}, {u"article", kBlockClosingP},
      {u"aside", kBlockClosingP}, {u"base", kVoid}, {u"basefont", kVoid}, {u"bgsound", kVoid},
      {u"blockquote", kBlockClosingP}, {u"body", kBlock}, {u"br", kVoid}, {u"caption", kBlock},
      {u"center", kBlockClosingP}, {u"col", kVoid}, {u"dd", kBlockClosingP}, {u"details", kBlockClosingP},
      {u"dialog", kBlockClosingP}, {u"dir", kBlockClosingP}, {u"div", kBlockClosingP},
      {u"dl", kBlockClosingP}, {u"dt", kBlockClosingP}, {u"embed", kVoid}, {u"fieldset", kBlockClosingP},
      {u"figcaption", kBlockClosingP}, {u"figure", kBlockClosingP}, {u"footer", kBlockClosingP},
      {u"form", kBlockClosingP}, {u"frame", kVoid}, {u"frameset", kBlock},
      {u"h1", kBlockClosingP | kHeading}, {u"h2", kBlockClosingP | kHeading},
      {u"h3", kBlockClosingP | kHeading}, {u"h4", kBlockClosingP | kHeading},
      {u"h5", kBlockClosingP | kHeading}, {u"h6", kBlockClosingP | kHeading},
      {u"header", kBlockClosingP}, {u"hgroup", kBlockClosingP}, {u"hr", kVoid | kBlockClosingP},
      {u"html", kBlock}, {u"iframe", kUnrenderedText}, {u"img", kVoid}, {u"input", kVoid},
      {u"keygen", kVoid}, {u"legend", kBlock}, {u"li", kBlockClosingP}, {u"link", kVoid},
      {u"listing", kBlockClosingP}, {u"main", kBlockClosingP}, {u"menu", kBlockClosingP},
      {u"meta", kVoid}, {u"nav", kBlockClosingP}, {u"noembed", kUnrenderedText},
      {u"noframes", kUnrenderedText}, {u"noscript", kUnrenderedText}, {u"ol", kBlockClosingP},
      {u"optgroup", kBlock}, {u"option", kBlock}, {u"p", kBlockClosingP | kParagraph}, {u"param", kVoid},
      {u"plaintext", kBlockClosingP}, {u"pre", kBlockClosingP}, {u"script", kUnrenderedText},
      {u"search", kBlockClosingP}, {u"section", kBlockClosingP}, {u"source", kVoid},
      {u"style", kUnrenderedText}, {u"summary", kBlockClosingP}, {u"table", kBlock}, {u"tbody", kBlock},
      {u"textarea", kUnrenderedText}, {u"tfoot", kBlock}, {u"thead", kBlock},
      {u"title", kUnrenderedText}, {u"tr", kBlock}, {u"track", kVoid}, {u"ul", kBlockClosingP},
      {u"wbr", kVoid}, {u"xmp", kBlockClosingP},
  };
  static_assert(std::is_sorted(std::begin(kTags), std::end(kTags),
                               [](const Entry& a, const Entry& b) { return a.name < b.name; }));
  auto it = std::lower_bound(std::begin(kTags), std::end(kTags), name,
                             [](const Entry& e, std::u16string_view n) { return e.name < n; });
  return (it != std::end(kTags) && it->name == name) ? it->flags : 0;
}

bool IsHeading(std::u16string_view n) { return (TagFlags(n) & kHeading) != 0; }

// The HTML standard's "has an element in ... scope" boundaries.
enum class Scope { Default, ListItem, Button, Table };

bool IsScopeBoundary(std::u16string_view n, Scope scope) {
  if (scope == Scope::Table) return In(n, {u"html", u"table", u"template"});
  if (In(n, {u"applet", u"caption", u"html", u"table", u"td", u"th", u"marquee", u"object", u"template"}))
    return true;
  if (scope == Scope::ListItem) return In(n, {u"ol", u"ul"});
  if (scope == Scope::Button) return n == u"button";
  return false;
}

std::u16string UpperAscii(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out)
    if (c >= u'a' && c <= u'z') c = char16_t(c - 0x20);
  return out;
}

class Builder {
 public:
  // innerText copies the same text once per enclosing element; a page's total
  // stays a few times its length, and the budget caps what pathological
  // nesting could otherwise make quadratic.
  explicit Builder(size_t inputLength) : m_textBudget(8 * inputLength + (1u << 16)) {}

  void Run(std::u16string_view text) {
    Tokenizer tokenizer(text);
    Token token;
    while (tokenizer.Next(token)) {
      if (token.type == TokenType::Character) {
        if (m_rawElement != kNone) {
          m_rawText += token.data;
        } else {
          AppendText(token.data);
          if (!m_bodyStarted || !m_sawText) NoteText(token.data);
        }
        continue;
      }
      EndRawText();
      if (token.type == TokenType::StartTag) StartTag(token);
      else if (token.type == TokenType::EndTag) EndTag(token);
    }
    EndRawText();
    CloseThrough(0);
  }

  std::vector<Element> Finish(std::u16string_view pageUrl) {
    // As in a browser reading a.href after parsing: the first <base href>
    // anywhere in the document is the base of every link.
    std::u16string base(pageUrl);
    if (m_hasBase) {
      if (auto resolved = ResolveUrl(m_baseHref, pageUrl)) base = *resolved;
    }
    UrlResolver resolver(base);
    for (auto& [index, raw] : m_links) {
      auto resolved = resolver.Resolve(raw);
      m_elements[index].href = resolved ? std::move(*resolved) : std::move(raw);
    }
    return std::move(m_elements);
  }

 private:
  static constexpr size_t kNone = size_t(-1);

  struct Open {
    size_t element;
    std::u16string name;
    size_t textStart;
    int lineBreaks;
    int cells = 0;  // for <tr>: cells started so far
  };

  // Text other than white space starts the body, as it does in a browser.
  void NoteText(std::u16string_view data) {
    for (char16_t c : data) {
      if (!IsCollapsible(c)) {
        m_sawText = true;
        m_bodyStarted = true;
        return;
      }
    }
  }

  // ---- the rendered-text stream ----
  void AppendText(std::u16string_view data) {
    for (char16_t c : data) {
      if (IsCollapsible(c)) {
        if (m_stream.empty()) continue;
        char16_t last = m_stream.back();
        if (last == u' ' || last == u'\n' || last == u'\t' || IsMarker(last)) continue;
        m_stream.push_back(u' ');
      } else if (c == 0) {
        continue;  // the tree builder drops U+0000 in body text
      } else {
        m_stream.push_back(IsMarker(c) ? u'\uFFFD' : c);
      }
    }
  }
  void AppendBreak(int count) {
    if (count > 0) m_stream.push_back(count >= 2 ? kBreak2 : kBreak1);
  }

  // innerText of the stream range [start, end): spaces next to line and cell
  // boundaries go, runs of required line breaks become the largest count of
  // newlines among them, and white space at both ends is removed.
  std::u16string Render(size_t start, size_t end) {
    start = std::min(start, m_stream.size());
    end = std::min(end, m_stream.size());
    size_t length = end > start ? end - start : 0;
    length = std::min(length, m_textBudget);
    m_textBudget -= length;
    end = start + length;

    std::u16string out;
    int pendingBreaks = 0;
    bool pendingSpace = false;
    bool lineStart = true;  // spaces are dropped at the start of a line
    for (size_t i = start; i < end; ++i) {
      char16_t c = m_stream[i];
      if (IsMarker(c)) {
        pendingBreaks = std::max(pendingBreaks, c == kBreak2 ? 2 : 1);
        pendingSpace = false;
        lineStart = true;
        continue;
      }
      if (c == u' ') {
        pendingSpace = !lineStart;
        continue;
      }
      if (!out.empty() && pendingBreaks > 0) out.append(size_t(pendingBreaks), u'\n');
      pendingBreaks = 0;
      if (c == u'\n' || c == u'\t') {
        out.push_back(c);  // a space before a <br> or a cell boundary ends a line: dropped
        pendingSpace = false;
        lineStart = true;
        continue;
      }
      if (pendingSpace) out.push_back(u' ');
      pendingSpace = false;
      lineStart = false;
      out.push_back(c);
    }
    // Leading and trailing white space of the element, <br> and cell breaks included.
    size_t b = 0, e = out.size();
    while (b < e && (out[b] == u'\n' || out[b] == u'\t' || out[b] == u' ')) ++b;
    while (e > b && (out[e - 1] == u'\n' || out[e - 1] == u'\t' || out[e - 1] == u' ')) --e;
    return out.substr(b, e - b);
  }

  // ---- the open-element stack ----
  size_t FindOpen(std::u16string_view name, Scope scope) const {
    auto it = m_openCount.find(std::u16string(name));
    if (it == m_openCount.end() || it->second == 0) return kNone;
    for (size_t i = m_open.size(); i-- > 0;) {
      if (m_open[i].name == name) return i;
      if (IsScopeBoundary(m_open[i].name, scope)) return kNone;
    }
    return kNone;
  }
  size_t FindOpenAny(std::initializer_list<std::u16string_view> names, Scope scope) const {
    for (size_t i = m_open.size(); i-- > 0;) {
      if (In(m_open[i].name, names)) return i;
      if (IsScopeBoundary(m_open[i].name, scope)) return kNone;
    }
    return kNone;
  }
  void CloseTop() {
    Open& top = m_open.back();
    m_elements[top.element].innerText = Render(top.textStart, m_stream.size());
    AppendBreak(top.lineBreaks);
    --m_openCount[top.name];
    m_open.pop_back();
  }
  void CloseThrough(size_t index) {
    while (m_open.size() > index) CloseTop();
  }
  bool CurrentIs(std::u16string_view name) const { return !m_open.empty() && m_open.back().name == name; }

  // ---- tokens ----
  size_t AddElement(std::u16string_view name) {
    m_elements.push_back(Element{UpperAscii(name), {}, {}, {}});
    return m_elements.size() - 1;
  }

  // Implied ends a start tag causes (the "in body" and "in table" rules that
  // decide where earlier content ends).
  void ImpliedEndsBefore(const std::u16string& n, uint16_t flags) {
    if (flags & kClosesParagraph) {
      size_t p = FindOpen(u"p", Scope::Button);
      if (p != kNone) CloseThrough(p);
    }
    if ((flags & kHeading) && !m_open.empty() && IsHeading(m_open.back().name)) CloseTop();
    if (n == u"a") {
      size_t a = FindOpen(u"a", Scope::Default);
      if (a != kNone) CloseThrough(a);
    } else if (n == u"li") {
      size_t li = FindOpen(u"li", Scope::ListItem);
      if (li != kNone) CloseThrough(li);
    } else if (n == u"dt" || n == u"dd") {
      size_t d = FindOpenAny({u"dt", u"dd"}, Scope::Default);
      if (d != kNone) CloseThrough(d);
    } else if (n == u"td" || n == u"th") {
      size_t cell = FindOpenAny({u"td", u"th"}, Scope::Table);
      if (cell != kNone) CloseThrough(cell);
    } else if (n == u"tr") {
      size_t row = FindOpen(u"tr", Scope::Table);
      if (row != kNone) CloseThrough(row);
      else CloseOpenCell();
    } else if (In(n, {u"tbody", u"thead", u"tfoot", u"caption", u"colgroup"})) {
      size_t table = FindOpen(u"table", Scope::Table);
      if (table != kNone) CloseThrough(table + 1);
    } else if (n == u"option") {
      if (CurrentIs(u"option")) CloseTop();
    } else if (n == u"optgroup") {
      if (CurrentIs(u"option")) CloseTop();
      if (CurrentIs(u"optgroup")) CloseTop();
    }
  }
  void CloseOpenCell() {
    size_t cell = FindOpenAny({u"td", u"th"}, Scope::Table);
    if (cell != kNone) CloseThrough(cell);
  }

  void StartTag(const Token& token) {
    const std::u16string& n = token.name;
    const uint16_t flags = TagFlags(n);
    // <html>, <head> and <body> exist once, implied by a browser where they
    // are missing; a tag for one that already exists (or is already implied
    // by content) only adds attributes, so it gives no element.
    if (n == u"html") {
      if (!m_elements.empty() || m_sawText) return;
    } else if (n == u"head") {
      if (m_seenHead || m_bodyStarted || m_elements.size() > (m_seenHtml ? 1u : 0u)) return;
      m_seenHead = true;
    } else if (n == u"body") {
      if (m_bodyStarted) return;
      m_bodyStarted = true;
    } else if (!In(n, {u"base", u"basefont", u"bgsound", u"link", u"meta", u"noscript", u"script", u"style",
                       u"template", u"title"})) {
      m_bodyStarted = true;  // content that a browser puts in an implied <body>
    }
    if (n == u"html") m_seenHtml = true;
    ImpliedEndsBefore(n, flags);

    size_t index = AddElement(n);
    if (const std::u16string* target = token.FindAttribute(u"target")) m_elements[index].target = *target;
    if (n == u"a" || n == u"area") {
      if (const std::u16string* href = token.FindAttribute(u"href")) m_links.emplace_back(index, *href);
    } else if (n == u"base" && !m_hasBase) {
      if (const std::u16string* href = token.FindAttribute(u"href")) {
        m_hasBase = true;
        m_baseHref = *href;
      }
    }

    if (flags & kUnrenderedText) {
      m_rawElement = index;
      m_rawText.clear();
      return;
    }
    if (n == u"br") {
      m_stream.push_back(u'\n');
      return;
    }
    int breaks = (flags & kParagraph) ? 2 : (flags & kBlock) ? 1 : 0;
    if (flags & kVoid) {
      AppendBreak(breaks);  // <hr>: a line of its own
      return;
    }
    if (n == u"td" || n == u"th") {
      size_t row = FindOpen(u"tr", Scope::Table);
      if (row != kNone && m_open[row].cells++ > 0) m_stream.push_back(u'\t');
    }
    if (m_open.size() >= kMaxOpenElements) CloseTop();
    AppendBreak(breaks);
    m_open.push_back(Open{index, n, m_stream.size(), breaks});
    ++m_openCount[n];
  }

  void EndTag(const Token& token) {
    const std::u16string& n = token.name;
    if (n == u"br") {  // "</br>" is a <br> to a browser
      AddElement(u"br");
      m_stream.push_back(u'\n');
      return;
    }
    if (n == u"body" || n == u"html") return;  // content after them still belongs to the body
    size_t at = kNone;
    if (n == u"p") {
      at = FindOpen(u"p", Scope::Button);
      if (at == kNone) {  // "</p>" with no open p gives an empty paragraph
        AddElement(u"p");
        AppendBreak(2);
        return;
      }
    } else if (n == u"li") {
      at = FindOpen(n, Scope::ListItem);
    } else if (In(n, {u"table", u"tbody", u"thead", u"tfoot", u"tr", u"td", u"th", u"caption"})) {
      at = FindOpen(n, Scope::Table);
    } else if (IsHeading(n)) {
      at = FindOpenAny({u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"}, Scope::Default);
    } else {
      at = FindOpen(n, Scope::Default);
    }
    if (at != kNone) CloseThrough(at);
  }

  void EndRawText() {
    if (m_rawElement == kNone) return;
    m_elements[m_rawElement].innerText = std::move(m_rawText);
    m_rawText.clear();
    m_rawElement = kNone;
  }

  std::vector<Element> m_elements;
  std::vector<Open> m_open;
  std::unordered_map<std::u16string, int> m_openCount;
  std::u16string m_stream;
  size_t m_textBudget;
  size_t m_rawElement = kNone;
  std::u16string m_rawText;
  std::vector<std::pair<size_t, std::u16string>> m_links;
  bool m_hasBase = false;
  std::u16string m_baseHref;
  bool m_seenHtml = false, m_seenHead = false, m_bodyStarted = false;
  bool m_sawText = false;  // text other than white space outside raw text
};

}  // namespace

std::vector<Element> BuildElementList(std::u16string_view text, std::u16string_view pageUrl) {
  Builder builder(text.size());
  builder.Run(text);
  return builder.Finish(pageUrl);
}

}  // namespace fw::html
