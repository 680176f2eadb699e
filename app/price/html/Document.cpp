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

// Open elements deeper than this are listed but not tracked: their content
// counts as their parent's. Keeps end-tag searches and innerText copies bounded.
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

bool IsVoid(std::u16string_view n) {
  return In(n, {u"area", u"base", u"basefont", u"bgsound", u"br", u"col", u"embed", u"frame", u"hr", u"img",
                u"input", u"keygen", u"link", u"meta", u"param", u"source", u"track", u"wbr"});
}

// Elements whose content the tokenizer reads as raw text or RCDATA and that a
// browser does not render: their innerText is their text as written (as a DOM
// gives for an element that is not being rendered), and it is not part of any
// ancestor's innerText.
bool IsUnrenderedText(std::u16string_view n) {
  return In(n, {u"script", u"style", u"title", u"textarea", u"iframe", u"noembed", u"noframes", u"noscript"});
}

// Block-level boxes of the default style sheet: each starts and ends a line.
int LineBreaksAround(std::u16string_view n) {
  if (n == u"p") return 2;
  if (In(n, {u"address", u"article", u"aside", u"blockquote", u"body", u"caption", u"center", u"dd",
             u"details", u"dialog", u"dir", u"div", u"dl", u"dt", u"fieldset", u"figcaption", u"figure",
             u"footer", u"form", u"frameset", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"header", u"hgroup",
             u"hr", u"html", u"legend", u"li", u"listing", u"main", u"menu", u"nav", u"ol", u"optgroup",
             u"option", u"plaintext", u"pre", u"search", u"section", u"summary", u"table", u"tbody",
             u"tfoot", u"thead", u"tr", u"ul", u"xmp"}))
    return 1;
  return 0;
}

// Start tags before which an open <p> in button scope ends.
bool ClosesParagraph(std::u16string_view n) {
  return In(n, {u"address", u"article", u"aside", u"blockquote", u"center", u"details", u"dialog", u"dir",
                u"div", u"dl", u"dd", u"dt", u"fieldset", u"figcaption", u"figure", u"footer", u"form", u"h1",
                u"h2", u"h3", u"h4", u"h5", u"h6", u"header", u"hgroup", u"hr", u"li", u"listing", u"main",
                u"menu", u"nav", u"ol", u"p", u"plaintext", u"pre", u"search", u"section", u"summary",
                u"ul", u"xmp"});
}

bool IsHeading(std::u16string_view n) { return In(n, {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"}); }

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
  explicit Builder(size_t inputLength) : m_textBudget(32 * inputLength + (1u << 20)) {}

  void Run(std::u16string_view text) {
    Tokenizer tokenizer(text);
    Token token;
    while (tokenizer.Next(token)) {
      if (token.type == TokenType::Character) {
        if (m_rawElement != kNone) m_rawText += token.data;
        else AppendText(token.data);
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
    for (auto& [index, raw] : m_links) {
      auto resolved = ResolveUrl(raw, base);
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
  void ImpliedEndsBefore(const std::u16string& n) {
    if (ClosesParagraph(n)) {
      size_t p = FindOpen(u"p", Scope::Button);
      if (p != kNone) CloseThrough(p);
    }
    if (IsHeading(n) && !m_open.empty() && IsHeading(m_open.back().name)) CloseTop();
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
    // A second <html>, <body> or <head> only adds attributes in a browser: no element.
    if (n == u"html" || n == u"body" || n == u"head") {
      bool& seen = n == u"html" ? m_seenHtml : n == u"body" ? m_seenBody : m_seenHead;
      if (seen || (n == u"head" && m_seenBody)) return;
      seen = true;
    }
    ImpliedEndsBefore(n);

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

    if (IsUnrenderedText(n)) {
      m_rawElement = index;
      m_rawText.clear();
      return;
    }
    if (n == u"br") {
      m_stream.push_back(u'\n');
      return;
    }
    int breaks = LineBreaksAround(n);
    if (IsVoid(n)) {
      AppendBreak(breaks);  // <hr>
      AppendBreak(breaks);
      return;
    }
    if (n == u"td" || n == u"th") {
      size_t row = FindOpen(u"tr", Scope::Table);
      if (row != kNone && m_open[row].cells++ > 0) m_stream.push_back(u'\t');
    }
    AppendBreak(breaks);
    if (m_open.size() >= kMaxOpenElements) return;
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
  bool m_seenHtml = false, m_seenBody = false, m_seenHead = false;
};

}  // namespace

std::vector<Element> BuildElementList(std::u16string_view text, std::u16string_view pageUrl) {
  Builder builder(text.size());
  builder.Run(text);
  return builder.Finish(pageUrl);
}

}  // namespace fw::html
