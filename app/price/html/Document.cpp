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

// What the builder needs to know of a tag name, looked up once per start tag.
enum TagFlag : uint16_t {
  kVoid = 1 << 0,              // no content, no end tag
  kUnrenderedText = 1 << 1,    // raw text / RCDATA a browser does not render
  kBlock = 1 << 2,             // a block box: one line break before and after
  kParagraph = 1 << 3,         // <p>: two line breaks
  kClosesParagraph = 1 << 4,   // a start tag before which an open <p> ends
  kHeading = 1 << 5,           // h1..h6
  // The HTML standard's "has an element in ... scope" boundaries.
  kBoundaryDefault = 1 << 6,   // applet, caption, html, table, td, th, marquee, object, template
  kBoundaryTable = 1 << 7,     // html, table, template
  kBoundaryList = 1 << 8,      // ol, ul (list item scope)
  kBoundaryButton = 1 << 9,    // button (button scope)
  kHeadContent = 1 << 10,      // may stand before <body> without starting it
  kTablePart = 1 << 11,        // an end tag for it looks within the current table only
  kTableSection = 1 << 12,     // tbody, thead, tfoot, caption, colgroup: end what is open in the table
};

uint16_t TagFlags(std::u16string_view name) {
  struct Entry {
    std::u16string_view name;
    uint16_t flags;
  };
  static constexpr uint16_t kBlockClosingP = kBlock | kClosesParagraph;
  static constexpr uint16_t kBD = kBoundaryDefault;
  static constexpr uint16_t kBT = kBoundaryTable;
  static constexpr uint16_t kHC = kHeadContent;
  static constexpr uint16_t kTP = kTablePart;
  static constexpr uint16_t kTS = kTableSection;
  // Void elements; elements whose content a browser does not render (their
  // innerText is their text as written, as a DOM gives for an element that is
  // not being rendered, and it is no part of any ancestor's innerText);
  // block-level boxes of the default style sheet.
  static constexpr Entry kTags[] = {
      {u"address", kBlockClosingP}, {u"applet", kBD}, {u"area", kVoid}, {u"article", kBlockClosingP},
      {u"aside", kBlockClosingP}, {u"base", kVoid | kHC}, {u"basefont", kVoid | kHC}, {u"bgsound", kVoid | kHC},
      {u"blockquote", kBlockClosingP}, {u"body", kBlock}, {u"br", kVoid}, {u"button", kBoundaryButton},
      {u"caption", kBlock | kBD | kTP | kTS},
      {u"center", kBlockClosingP}, {u"col", kVoid}, {u"colgroup", kTS}, {u"dd", kBlockClosingP}, {u"details", kBlockClosingP},
      {u"dialog", kBlockClosingP}, {u"dir", kBlockClosingP}, {u"div", kBlockClosingP},
      {u"dl", kBlockClosingP}, {u"dt", kBlockClosingP}, {u"embed", kVoid}, {u"fieldset", kBlockClosingP},
      {u"figcaption", kBlockClosingP}, {u"figure", kBlockClosingP}, {u"footer", kBlockClosingP},
      {u"form", kBlockClosingP}, {u"frame", kVoid}, {u"frameset", kBlock},
      {u"h1", kBlockClosingP | kHeading}, {u"h2", kBlockClosingP | kHeading},
      {u"h3", kBlockClosingP | kHeading}, {u"h4", kBlockClosingP | kHeading},
      {u"h5", kBlockClosingP | kHeading}, {u"h6", kBlockClosingP | kHeading},
      {u"header", kBlockClosingP}, {u"hgroup", kBlockClosingP}, {u"hr", kVoid | kBlockClosingP},
      {u"html", kBlock | kBD | kBT}, {u"iframe", kUnrenderedText}, {u"img", kVoid}, {u"input", kVoid},
      {u"keygen", kVoid}, {u"legend", kBlock}, {u"li", kBlockClosingP}, {u"link", kVoid | kHC},
      {u"listing", kBlockClosingP}, {u"main", kBlockClosingP}, {u"marquee", kBD}, {u"menu", kBlockClosingP},
      {u"meta", kVoid | kHC}, {u"nav", kBlockClosingP}, {u"noembed", kUnrenderedText},
      {u"noframes", kUnrenderedText}, {u"noscript", kUnrenderedText | kHC}, {u"object", kBD},
      {u"ol", kBlockClosingP | kBoundaryList},
      {u"optgroup", kBlock}, {u"option", kBlock}, {u"p", kBlockClosingP | kParagraph}, {u"param", kVoid},
      {u"plaintext", kBlockClosingP}, {u"pre", kBlockClosingP}, {u"script", kUnrenderedText | kHC},
      {u"search", kBlockClosingP}, {u"section", kBlockClosingP}, {u"source", kVoid},
      {u"style", kUnrenderedText | kHC}, {u"summary", kBlockClosingP}, {u"table", kBlock | kBD | kBT | kTP}, {u"tbody", kBlock | kTP | kTS},
      {u"td", kBD | kTP}, {u"template", kBD | kBT | kHC}, {u"textarea", kUnrenderedText}, {u"tfoot", kBlock | kTP | kTS},
      {u"th", kBD | kTP}, {u"thead", kBlock | kTP | kTS},
      {u"title", kUnrenderedText | kHC}, {u"tr", kBlock | kTP}, {u"track", kVoid}, {u"ul", kBlockClosingP | kBoundaryList},
      {u"wbr", kVoid}, {u"xmp", kBlockClosingP},
  };
  static_assert(std::is_sorted(std::begin(kTags), std::end(kTags),
                               [](const Entry& a, const Entry& b) { return a.name < b.name; }));
  auto it = std::lower_bound(std::begin(kTags), std::end(kTags), name,
                             [](const Entry& e, std::u16string_view n) { return e.name < n; });
  return (it != std::end(kTags) && it->name == name) ? it->flags : 0;
}

enum class Scope : uint16_t {
  Default = kBoundaryDefault,
  ListItem = kBoundaryDefault | kBoundaryList,
  Button = kBoundaryDefault | kBoundaryButton,
  Table = kBoundaryTable,
};

class Builder {
 public:
  // innerText copies the same text once per enclosing element; a page's total
  // stays a few times its length, and the budget caps what pathological
  // nesting could otherwise make quadratic.
  explicit Builder(size_t inputLength) : m_textBudget(8 * inputLength + (1u << 16)) {
    m_stream.reserve(inputLength / 2);
    m_elements.reserve(inputLength / 32);
  }

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

  std::vector<Element> Finish(std::u16string_view pageUrl, const QueryEncoder& queryEncoder) {
    // As in a browser reading a.href after parsing: the first <base href>
    // anywhere in the document is the base of every link.
    std::u16string base(pageUrl);
    if (m_hasBase) {
      if (auto resolved = ResolveUrl(m_baseHref, pageUrl, queryEncoder)) base = *resolved;
    }
    UrlResolver resolver(base, queryEncoder);
    for (auto& [index, raw] : m_links) {
      auto resolved = resolver.Resolve(raw);
      m_elements[index].href = resolved ? std::move(*resolved) : std::move(raw);
    }
    return std::move(m_elements);
  }

 private:
  static constexpr size_t kNone = size_t(-1);

  static constexpr uint32_t kNoId = uint32_t(-1);

  struct Open {
    size_t element;
    uint32_t id;
    uint16_t flags;
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
    out.resize(e);
    out.erase(0, b);
    return out;
  }

  // ---- the open-element stack ----
  // Tag names are interned to small ids; counts of open elements per id let
  // an end tag with nothing to close skip the stack search.
  uint32_t Id(const std::u16string& name) {
    auto [it, added] = m_ids.try_emplace(name, uint32_t(m_counts.size()));
    if (added) {
      m_counts.push_back(0);
      m_flags.push_back(TagFlags(name));
    }
    return it->second;
  }
  uint32_t KnownId(const std::u16string& name) const {
    auto it = m_ids.find(name);
    return it == m_ids.end() ? kNoId : it->second;
  }
  size_t FindOpen(uint32_t id, Scope scope) const {
    if (id == kNoId || m_counts[id] == 0) return kNone;
    for (size_t i = m_open.size(); i-- > 0;) {
      if (m_open[i].id == id) return i;
      if (m_open[i].flags & uint16_t(scope)) return kNone;
    }
    return kNone;
  }
  size_t FindOpenAny(std::initializer_list<uint32_t> ids, Scope scope) const {
    for (size_t i = m_open.size(); i-- > 0;) {
      if (std::find(ids.begin(), ids.end(), m_open[i].id) != ids.end()) return i;
      if (m_open[i].flags & uint16_t(scope)) return kNone;
    }
    return kNone;
  }
  void CloseTop() {
    Open& top = m_open.back();
    m_elements[top.element].innerText = Render(top.textStart, m_stream.size());
    AppendBreak(top.lineBreaks);
    --m_counts[top.id];
    m_open.pop_back();
  }
  void CloseThrough(size_t index) {
    while (m_open.size() > index) CloseTop();
  }
  bool CurrentIs(uint32_t id) const { return !m_open.empty() && m_open.back().id == id; }

  // ---- tokens ----
  size_t AddElement(std::u16string_view name) {
    Element& e = m_elements.emplace_back();
    e.tagName.assign(name);
    for (char16_t& c : e.tagName)
      if (c >= u'a' && c <= u'z') c = char16_t(c - 0x20);
    return m_elements.size() - 1;
  }

  // Implied ends a start tag causes (the "in body" and "in table" rules that
  // decide where earlier content ends).
  void ImpliedEndsBefore(uint32_t id, uint16_t flags) {
    if (flags & kClosesParagraph) {
      size_t p = FindOpen(m_idP, Scope::Button);
      if (p != kNone) CloseThrough(p);
    }
    if ((flags & kHeading) && !m_open.empty() && (m_open.back().flags & kHeading)) CloseTop();
    size_t at = kNone;
    if (id == m_idA) {
      at = FindOpen(m_idA, Scope::Default);
    } else if (id == m_idLi) {
      at = FindOpen(m_idLi, Scope::ListItem);
    } else if (id == m_idDt || id == m_idDd) {
      at = FindOpenAny({m_idDt, m_idDd}, Scope::Default);
    } else if (id == m_idTd || id == m_idTh) {
      at = FindOpenAny({m_idTd, m_idTh}, Scope::Table);
    } else if (id == m_idTr) {
      at = FindOpen(m_idTr, Scope::Table);
      if (at == kNone) at = FindOpenAny({m_idTd, m_idTh}, Scope::Table);
    } else if (flags & kTableSection) {
      size_t table = FindOpen(m_idTable, Scope::Table);
      if (table != kNone) at = table + 1;
    } else if (id == m_idOption) {
      if (CurrentIs(m_idOption)) CloseTop();
    } else if (id == m_idOptgroup) {
      if (CurrentIs(m_idOption)) CloseTop();
      if (CurrentIs(m_idOptgroup)) CloseTop();
    }
    if (at != kNone) CloseThrough(at);
  }

  void StartTag(const Token& token) {
    const uint32_t id = Id(token.name);
    const uint16_t flags = m_flags[id];
    // <html>, <head> and <body> exist once, implied by a browser where they
    // are missing; a tag for one that already exists (or is already implied
    // by content) only adds attributes, so it gives no element.
    if (id == m_idHtml) {
      if (!m_elements.empty() || m_sawText) return;
      m_seenHtml = true;
    } else if (id == m_idHead) {
      if (m_seenHead || m_bodyStarted || m_elements.size() > (m_seenHtml ? 1u : 0u)) return;
      m_seenHead = true;
    } else if (id == m_idBody) {
      if (m_bodyStarted) return;
      m_bodyStarted = true;
    } else if (!(flags & kHeadContent)) {
      m_bodyStarted = true;  // content that a browser puts in an implied <body>
    }
    ImpliedEndsBefore(id, flags);

    size_t index = AddElement(token.name);
    if (const std::u16string* target = token.FindAttribute(u"target")) m_elements[index].target = *target;
    if (id == m_idA || id == m_idArea) {
      if (const std::u16string* href = token.FindAttribute(u"href")) m_links.emplace_back(index, *href);
    } else if (id == m_idBase && !m_hasBase) {
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
    if (id == m_idBr) {
      m_stream.push_back(u'\n');
      return;
    }
    int breaks = (flags & kParagraph) ? 2 : (flags & kBlock) ? 1 : 0;
    if (flags & kVoid) {
      AppendBreak(breaks);  // <hr>: a line of its own
      return;
    }
    if (id == m_idTd || id == m_idTh) {
      size_t row = FindOpen(m_idTr, Scope::Table);
      if (row != kNone && m_open[row].cells++ > 0) m_stream.push_back(u'\t');
    }
    if (m_open.size() >= kMaxOpenElements) CloseTop();
    AppendBreak(breaks);
    m_open.push_back(Open{index, id, flags, m_stream.size(), breaks});
    ++m_counts[id];
  }

  void EndTag(const Token& token) {
    const uint32_t id = KnownId(token.name);  // kNoId: no element of that name was ever opened
    if (id == m_idBr) {  // "</br>" is a <br> to a browser
      AddElement(u"br");
      m_stream.push_back(u'\n');
      return;
    }
    if (id == m_idBody || id == m_idHtml) return;  // content after them still belongs to the body
    size_t at = kNone;
    if (id == m_idP) {
      at = FindOpen(m_idP, Scope::Button);
      if (at == kNone) {  // "</p>" with no open p gives an empty paragraph
        AddElement(u"p");
        AppendBreak(2);
        return;
      }
    } else if (id == kNoId) {
      return;
    } else if (id == m_idLi) {
      at = FindOpen(m_idLi, Scope::ListItem);
    } else if (m_flags[id] & kTablePart) {
      at = FindOpen(id, Scope::Table);
    } else if (m_flags[id] & kHeading) {
      at = FindOpenAny({m_idH[0], m_idH[1], m_idH[2], m_idH[3], m_idH[4], m_idH[5]}, Scope::Default);
    } else {
      at = FindOpen(id, Scope::Default);
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
  std::unordered_map<std::u16string, uint32_t> m_ids;
  std::vector<uint32_t> m_counts;  // open elements per id
  std::vector<uint16_t> m_flags;   // TagFlags per id
  const uint32_t m_idHtml = Id(u"html"), m_idHead = Id(u"head"), m_idBody = Id(u"body"), m_idBr = Id(u"br"),
                 m_idArea = Id(u"area"), m_idBase = Id(u"base");
  const uint32_t m_idP = Id(u"p"), m_idA = Id(u"a"), m_idLi = Id(u"li"), m_idDt = Id(u"dt"),
                 m_idDd = Id(u"dd"), m_idTd = Id(u"td"), m_idTh = Id(u"th"), m_idTr = Id(u"tr"),
                 m_idTable = Id(u"table"), m_idOption = Id(u"option"), m_idOptgroup = Id(u"optgroup");
  const uint32_t m_idH[6] = {Id(u"h1"), Id(u"h2"), Id(u"h3"), Id(u"h4"), Id(u"h5"), Id(u"h6")};
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

std::vector<Element> BuildElementList(std::u16string_view text, std::u16string_view pageUrl,
                                      const QueryEncoder& queryEncoder) {
  Builder builder(text.size());
  builder.Run(text);
  return builder.Finish(pageUrl, queryEncoder);
}

}  // namespace fw::html
