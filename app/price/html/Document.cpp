// The element list of a page, read from the tree the standard's tree builder
// makes of it (Tree.h): the elements in tree order, each link resolved against
// the document base, and every element's innerText by the HTML standard's
// rendered-text algorithm. The rules are in Document.h.
//
// innerText is computed for all elements in one walk of the tree: the walk
// lays the document's text out once, as one stream in which CSS white-space
// processing is already done and block boundaries, forced breaks, table
// separators and invisible stretches are markers; each element records the
// range of the stream its children made, and its innerText is that range with
// the algorithm's last steps applied (line-break runs merged, those at both
// ends dropped).
#include "app/price/html/Document.h"

#include <algorithm>
#include <array>

#include "app/price/html/Tree.h"
#include "app/price/html/Url.h"

namespace fw::html {
namespace {

using namespace names;

// Markers in the stream. They are noncharacters; the same code points in page
// text become U+FFFD before they reach the stream.
constexpr char16_t kBreak1 = 0xFDD1;   // required line break count 1 (a block box edge)
constexpr char16_t kBreak2 = 0xFDD2;   // required line break count 2 (a p element edge)
constexpr char16_t kEdge = 0xFDD3;     // a line edge that adds no break (an invisible block, a cell edge)
constexpr char16_t kObject = 0xFDD4;   // an atomic inline (an image): content without text
constexpr char16_t kDeleted = 0xFDD5;  // a collapsible space that the line's end removed
constexpr char16_t kHideOn = 0xFDD6;   // text from here on is not visible
constexpr char16_t kHideOff = 0xFDD7;  // text from here on is visible
bool IsReserved(char16_t c) { return c >= 0xFDD0 && c <= 0xFDEF; }

enum class Display : uint8_t {
  None, Inline, Block, ListItem, Table, InlineTable, TableRowGroup, TableRow, TableCell, TableCaption,
  TableColumn, Contents, InlineBlock,
};
enum class WhiteSpace : uint8_t { Normal, NoWrap, Pre, PreWrap, PreLine, BreakSpaces };
enum class Transform : uint8_t { None, Uppercase, Lowercase, Capitalize };

bool IsBlockLevel(Display d) {
  return d == Display::Block || d == Display::ListItem || d == Display::Table;
}
bool CollapsesSpaces(WhiteSpace w) {
  return w == WhiteSpace::Normal || w == WhiteSpace::NoWrap || w == WhiteSpace::PreLine;
}
bool PreservesNewlines(WhiteSpace w) { return !(w == WhiteSpace::Normal || w == WhiteSpace::NoWrap); }

// The default style sheet's display of an HTML element (the rendering
// section of the HTML standard), before its attributes.
Display DefaultDisplay(uint32_t name) {
  switch (name) {
    case kArea: case kBase: case kBasefont: case kDatalist: case kHead: case kLink: case kMeta: case kNoembed:
    case kNoframes: case kParam: case kRp: case kScript: case kStyle: case kTemplate: case kTitle:
    case kNoscript:  // scripting is enabled
      return Display::None;
    case kHtml: case kBody: case kAddress: case kBlockquote: case kCenter: case kDialog: case kDiv:
    case kFigure: case kFigcaption: case kFooter: case kForm: case kHeader: case kHr: case kLegend:
    case kListing: case kMain: case kP: case kPlaintext: case kPre: case kSearch: case kXmp: case kArticle:
    case kAside: case kH1: case kH2: case kH3: case kH4: case kH5: case kH6: case kHgroup: case kNav:
    case kSection: case kDir: case kDd: case kDl: case kDt: case kMenu: case kOl: case kUl: case kFieldset:
    case kDetails: case kSummary: case kFrameset: case kFrame: case kOptgroup: case kOption:
      return Display::Block;
    case kLi: return Display::ListItem;
    case kTable: return Display::Table;
    case kCaption: return Display::TableCaption;
    case kThead: case kTbody: case kTfoot: return Display::TableRowGroup;
    case kTr: return Display::TableRow;
    case kTd: case kTh: return Display::TableCell;
    case kCol: case kColgroup: return Display::TableColumn;
    default: return Display::Inline;
  }
}

// Replaced elements: a box of their own whose children give no text.
bool IsReplaced(uint32_t name) {
  switch (name) {
    case kImg: case kInput: case kTextarea: case kIframe: case kVideo: case kCanvas: case kEmbed: case kImage:
      return true;
    default: return false;
  }
}

struct Style {
  Display display = Display::Inline;
  bool visible = true;
  WhiteSpace whiteSpace = WhiteSpace::Normal;
  Transform transform = Transform::None;
};

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }
bool IsCssSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }
std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsCssSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsCssSpace(s.back())) s.remove_suffix(1);
  return s;
}

// The declarations of a style attribute that innerText depends on: display,
// visibility, text-transform and white-space. A later declaration wins, an
// !important one over any that is not; values that are not understood are
// ignored, as CSS ignores an invalid declaration.
void ApplyStyleAttribute(std::u16string_view text, const Style& parent, const Style& defaults, Style& style) {
  // Comments go first; they may stand anywhere.
  std::u16string css;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
      size_t end = text.find(u"*/", i + 2);
      if (end == std::u16string_view::npos) break;
      i = end + 1;
      css.push_back(u' ');
      continue;
    }
    css.push_back(LowerAscii(text[i]));
  }
  bool important[4] = {};
  std::u16string_view rest = css;
  while (!rest.empty()) {
    size_t semi = rest.find(u';');
    std::u16string_view decl = rest.substr(0, semi);
    rest = semi == std::u16string_view::npos ? std::u16string_view() : rest.substr(semi + 1);
    size_t colon = decl.find(u':');
    if (colon == std::u16string_view::npos) continue;
    std::u16string_view prop = Trim(decl.substr(0, colon));
    std::u16string_view value = Trim(decl.substr(colon + 1));
    bool isImportant = false;
    if (size_t bang = value.find(u'!'); bang != std::u16string_view::npos) {
      if (Trim(value.substr(bang + 1)) != u"important") continue;
      isImportant = true;
      value = Trim(value.substr(0, bang));
    }
    int which = prop == u"display" ? 0 : prop == u"visibility" ? 1 : prop == u"text-transform" ? 2
              : prop == u"white-space" ? 3 : -1;
    if (which < 0 || (important[which] && !isImportant)) continue;
    bool ok = true;
    if (which == 0) {
      static constexpr std::pair<std::u16string_view, Display> kDisplays[] = {
          {u"none", Display::None}, {u"inline", Display::Inline}, {u"block", Display::Block},
          {u"list-item", Display::ListItem}, {u"table", Display::Table}, {u"inline-table", Display::InlineTable},
          {u"table-row-group", Display::TableRowGroup}, {u"table-header-group", Display::TableRowGroup},
          {u"table-footer-group", Display::TableRowGroup}, {u"table-row", Display::TableRow},
          {u"table-cell", Display::TableCell}, {u"table-caption", Display::TableCaption},
          {u"table-column", Display::TableColumn}, {u"table-column-group", Display::TableColumn},
          {u"contents", Display::Contents}, {u"inline-block", Display::InlineBlock},
          {u"flex", Display::Block}, {u"grid", Display::Block}, {u"flow-root", Display::Block},
          {u"inline-flex", Display::InlineBlock}, {u"inline-grid", Display::InlineBlock},
          {u"ruby", Display::Inline}, {u"ruby-text", Display::Inline}, {u"run-in", Display::Inline},
          {u"block flow", Display::Block}, {u"block flow-root", Display::Block},
          {u"inline flow", Display::Inline}, {u"inline flow-root", Display::InlineBlock},
          {u"block flex", Display::Block}, {u"block grid", Display::Block}, {u"block table", Display::Table},
          {u"inline table", Display::InlineTable}, {u"block flow list-item", Display::ListItem},
          {u"flow list-item", Display::ListItem}, {u"list-item block", Display::ListItem},
          {u"block list-item", Display::ListItem}, {u"list-item flow", Display::ListItem},
      };
      auto it = std::find_if(std::begin(kDisplays), std::end(kDisplays),
                             [&](const auto& e) { return e.first == value; });
      if (it != std::end(kDisplays)) style.display = it->second;
      else if (value == u"initial" || value == u"unset") style.display = Display::Inline;
      else if (value == u"inherit") style.display = parent.display;
      else if (value == u"revert" || value == u"revert-layer") style.display = defaults.display;
      else ok = false;
    } else if (which == 1) {
      if (value == u"visible" || value == u"initial") style.visible = true;
      else if (value == u"hidden" || value == u"collapse") style.visible = false;
      else if (value == u"inherit" || value == u"unset" || value == u"revert" || value == u"revert-layer")
        style.visible = parent.visible;
      else ok = false;
    } else if (which == 2) {
      if (value == u"none" || value == u"initial") style.transform = Transform::None;
      else if (value == u"uppercase") style.transform = Transform::Uppercase;
      else if (value == u"lowercase") style.transform = Transform::Lowercase;
      else if (value == u"capitalize") style.transform = Transform::Capitalize;
      else if (value == u"inherit" || value == u"unset" || value == u"revert" || value == u"revert-layer")
        style.transform = parent.transform;
      else ok = false;
    } else {
      static constexpr std::pair<std::u16string_view, WhiteSpace> kValues[] = {
          {u"normal", WhiteSpace::Normal}, {u"nowrap", WhiteSpace::NoWrap}, {u"pre", WhiteSpace::Pre},
          {u"pre-wrap", WhiteSpace::PreWrap}, {u"pre-line", WhiteSpace::PreLine},
          {u"break-spaces", WhiteSpace::BreakSpaces}, {u"initial", WhiteSpace::Normal},
      };
      auto it = std::find_if(std::begin(kValues), std::end(kValues), [&](const auto& e) { return e.first == value; });
      if (it != std::end(kValues)) style.whiteSpace = it->second;
      else if (value == u"inherit" || value == u"unset") style.whiteSpace = parent.whiteSpace;
      else if (value == u"revert" || value == u"revert-layer") style.whiteSpace = defaults.whiteSpace;
      else ok = false;
    }
    if (ok && isImportant) important[which] = true;
  }
}

// Case mapping of text-transform. Letters outside ASCII and Latin-1 keep
// their case (the index pages are Chinese, which has none).
char16_t Upper(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return char16_t(c - 32);
  if (c == 0xFF) return 0x178;
  return c;
}
char16_t Lower(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return char16_t(c + 32);
  return c;
}
bool IsWordChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'\'' ||
         (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c < 0x2000) || c > 0x3000;
}

struct Range {
  uint32_t start = 0, end = 0;
  bool rendered = false;
  bool visibleAtStart = true;
};

class TextLayout {
 public:
  TextLayout(const Tree& tree, size_t inputLength) : m_t(tree) { m_stream.reserve(inputLength / 2); }

  // Walks the document's tree; fills one Range per element in tree order.
  // `closing` gets the elements' indexes in the order their content ends
  // (children before parents).
  void Run(std::vector<uint32_t>& elements, std::vector<Range>& ranges, std::vector<uint32_t>& closing) {
    struct Frame {
      uint32_t node;
      uint32_t child;         // next child to visit
      Style style;
      size_t index;           // in elements/ranges
      bool rendered;          // the element has a box
      bool childrenRendered;  // its children may have boxes (not so in a replaced element)
      bool hideText;          // its text is not visible (its visibility, or foreign content)
      bool foreign;
      bool lastInRow;         // for table cells and rows: no separator after it
      bool hidesText = false; // a closed details: its own text is not rendered
    };
    std::vector<Frame> stack;
    Style root;
    root.display = Display::Block;
    stack.push_back(Frame{m_t.root, m_t.FirstChild(m_t.root), root, size_t(-1), true, true, false, false, true});
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (f.child == kNoNode) {
        const Frame done = f;
        stack.pop_back();
        if (done.index != size_t(-1)) closing.push_back(uint32_t(done.index));
        if (done.index != size_t(-1))
          Leave(done.node, done.style, ranges[done.index], done.rendered, done.lastInRow,
                stack.empty() ? false : stack.back().hideText);
        continue;
      }
      const uint32_t id = f.child;
      const Node& n = m_t.nodes[id];
      f.child = m_t.NextSibling(id);
      if (n.type == NodeType::Text) {
        if (f.childrenRendered && !f.hidesText) Text(m_t.Text(id), f.style);
        continue;
      }
      if (n.type != NodeType::Element) continue;
      const Frame parent = f;  // f dangles once the stack grows
      const Style style = ComputeStyle(id, parent.style);
      const bool rendered = parent.childrenRendered && style.display != Display::None;
      const bool foreign = parent.foreign || n.ns != Namespace::Html;
      const bool hideText = !style.visible || foreign;  // foreign content gives no text here
      const size_t index = elements.size();
      elements.push_back(id);
      ranges.emplace_back();
      const bool lastInRow = rendered ? IsLastInRow(id, style.display) : true;
      Enter(id, style, rendered, hideText, parent.hideText, ranges[index]);
      const bool childrenRendered = rendered && !(n.ns == Namespace::Html && IsReplaced(n.name));
      stack.push_back(Frame{id, m_t.FirstChild(id), style, index, rendered, childrenRendered, hideText, foreign, lastInRow,
                            m_t.IsHtml(id, kDetails) && !m_t.FindAttribute(id, kOpen)});
    }
  }

  std::u16string_view Stream() const { return m_stream; }

 private:
  Style ComputeStyle(uint32_t id, const Style& parent) const {
    const Node& n = m_t.nodes[id];
    Style defaults;
    defaults.visible = parent.visible;
    defaults.transform = parent.transform;
    defaults.whiteSpace = parent.whiteSpace;
    if (n.ns == Namespace::Html) {
      defaults.display = DefaultDisplay(n.name);
      switch (n.name) {
        case kPre: case kListing: case kPlaintext: case kXmp: defaults.whiteSpace = WhiteSpace::Pre; break;
        case kTextarea: defaults.whiteSpace = WhiteSpace::PreWrap; break;
        case kNobr: defaults.whiteSpace = WhiteSpace::NoWrap; break;
        case kDialog:
          if (!m_t.FindAttribute(id, kOpen)) defaults.display = Display::None;
          break;
        case kInput:
          if (const TreeAttribute* type = m_t.FindAttribute(id, kType)) {
            std::u16string v = m_t.Value(*type).str();
            for (char16_t& c : v) c = LowerAscii(c);
            if (v == u"hidden") defaults.display = Display::None;
          }
          break;
        default: break;
      }
      if (const TreeAttribute* hidden = m_t.FindAttribute(id, kHidden)) {
        std::u16string v = m_t.Value(*hidden).str();
        for (char16_t& c : v) c = LowerAscii(c);
        if (v != u"until-found") defaults.display = Display::None;
      }
      // A closed details shows its first summary child only.
      if (n.parent != kNoNode && m_t.IsHtml(n.parent, kDetails) && !m_t.FindAttribute(n.parent, kOpen)) {
        bool first = n.name == kSummary;
        for (uint32_t c = m_t.FirstChild(n.parent); c != id && first; c = m_t.NextSibling(c))
          first = !m_t.IsHtml(c, kSummary);
        if (!first) defaults.display = Display::None;
      }
    } else if (n.ns == Namespace::Svg && n.name == kSvg) {
      defaults.display = Display::InlineBlock;
    }
    Style style = defaults;
    if (n.ns == Namespace::Html || n.ns == Namespace::Svg || n.ns == Namespace::MathMl) {
      if (const TreeAttribute* css = m_t.FindAttribute(id, kStyle)) ApplyStyleAttribute(m_t.Value(*css).str(), parent, defaults, style);
    }
    return style;
  }

  // A cell is the last of its row, a row the last of its table, when no
  // later sibling is one (rows of later row groups count too).
  bool IsLastInRow(uint32_t id, Display display) const {
    if (display != Display::TableCell && display != Display::TableRow) return true;
    auto laterOfKind = [&](uint32_t from) {
      for (uint32_t s = m_t.NextSibling(from); s != kNoNode; s = m_t.NextSibling(s)) {
        const Node& n = m_t.nodes[s];
        if (n.type != NodeType::Element || n.ns != Namespace::Html) continue;
        if (display == Display::TableCell && (n.name == kTd || n.name == kTh)) return true;
        if (display == Display::TableRow) {
          if (n.name == kTr) return true;
          if (n.name == kTbody || n.name == kThead || n.name == kTfoot)
            for (uint32_t c = m_t.FirstChild(s); c != kNoNode; c = m_t.NextSibling(c))
              if (m_t.IsHtml(c, kTr)) return true;
        }
      }
      return false;
    };
    if (laterOfKind(id)) return false;
    if (display == Display::TableRow) {
      uint32_t parent = m_t.nodes[id].parent;
      if (parent != kNoNode && (m_t.IsHtml(parent, kTbody) || m_t.IsHtml(parent, kThead) || m_t.IsHtml(parent, kTfoot)))
        return !laterOfKind(parent);
    }
    return true;
  }

  void Enter(uint32_t id, const Style& style, bool rendered, bool hideText, bool parentHide, Range& range) {
    const Node& n = m_t.nodes[id];
    if (rendered) {
      if (IsBlockLevel(style.display) || style.display == Display::TableCaption ||
          style.display == Display::TableCell || style.display == Display::TableRow ||
          style.display == Display::TableRowGroup) {
        bool counts = style.visible && !parentHide &&
                      (IsBlockLevel(style.display) || style.display == Display::TableCaption);
        bool paragraph = n.ns == Namespace::Html && n.name == kP;
        LineEdge(counts ? (paragraph ? kBreak2 : kBreak1) : kEdge);
      } else if (style.display == Display::InlineBlock || style.display == Display::InlineTable ||
                 (n.ns == Namespace::Html && IsReplaced(n.name))) {
        Content(kObject);
      }
      if (n.ns == Namespace::Html && n.name == kBr && style.visible && !parentHide) {
        ForcedBreak();
      } else if (n.ns == Namespace::Html && n.name == kBr) {
        LineEdge(kEdge);
      }
    }
    if (hideText != m_hidden) {
      m_stream.push_back(hideText ? kHideOn : kHideOff);
      m_hidden = hideText;
    }
    range.start = uint32_t(m_stream.size());
    range.rendered = rendered;
    range.visibleAtStart = !hideText;
  }

  void Leave(uint32_t id, const Style& style, Range& range, bool rendered, bool lastInRow, bool parentHide) {
    range.end = uint32_t(m_stream.size());
    if (parentHide != m_hidden) {
      m_stream.push_back(parentHide ? kHideOn : kHideOff);
      m_hidden = parentHide;
    }
    if (!rendered) return;
    const Node& n = m_t.nodes[id];
    const bool shows = style.visible && !parentHide;
    if (IsBlockLevel(style.display) || style.display == Display::TableCaption || style.display == Display::TableCell ||
        style.display == Display::TableRow || style.display == Display::TableRowGroup) {
      bool counts = shows && (IsBlockLevel(style.display) || style.display == Display::TableCaption);
      bool paragraph = n.ns == Namespace::Html && n.name == kP;
      LineEdge(counts ? (paragraph ? kBreak2 : kBreak1) : kEdge);
    }
    if (shows && !lastInRow) {
      if (style.display == Display::TableCell) {
        m_stream.push_back(u'\t');
        m_lineStart = false;
        m_lastSpace = size_t(-1);
        m_prevWord = false;
      } else if (style.display == Display::TableRow) {
        m_stream.push_back(u'\n');
        m_lineStart = true;
        m_lastSpace = size_t(-1);
        m_prevWord = false;
      }
    }
  }

  // A line ends here: a collapsible space just before it goes.
  void LineEdge(char16_t marker) {
    if (m_lastSpace != size_t(-1)) m_stream[m_lastSpace] = kDeleted;
    m_lastSpace = size_t(-1);
    m_collapsing = false;
    m_stream.push_back(marker);
    m_lineStart = true;
    m_prevWord = false;
  }
  void ForcedBreak() {
    if (m_lastSpace != size_t(-1)) m_stream[m_lastSpace] = kDeleted;
    m_lastSpace = size_t(-1);
    m_collapsing = false;
    m_stream.push_back(u'\n');
    m_lineStart = true;
    m_prevWord = false;
  }
  void Content(char16_t c) {
    m_stream.push_back(c);
    m_lineStart = false;
    m_lastSpace = size_t(-1);
    m_collapsing = false;
  }

  // One text node's characters through white-space processing and text-transform.
  void Text(const TextRef& text, const Style& style) {
    const bool collapse = CollapsesSpaces(style.whiteSpace);
    const bool newlines = PreservesNewlines(style.whiteSpace);
    const uint32_t size = text.size();
    for (uint32_t i = 0; i < size; ++i) {
      char16_t c = text[i];
      if (style.transform == Transform::None && c > u' ' && !IsReserved(c)) {
        // A run of ordinary characters goes in whole.
        uint32_t end = i + 1;
        while (end < size && text[end] > u' ' && !IsReserved(text[end])) ++end;
        const size_t at = m_stream.size();
        m_stream.resize(at + (end - i));
        for (uint32_t k = i; k < end; ++k) m_stream[at + (k - i)] = text[k];
        m_prevWord = true;
        m_lastChar = text[end - 1];
        m_lineStart = false;
        m_lastSpace = size_t(-1);
        m_collapsing = false;
        i = end - 1;
        continue;
      }
      if (c == u'\r') c = u'\n';
      if (collapse && (c == u' ' || c == u'\t' || c == u'\f' || (c == u'\n' && !newlines))) {
        // A collapsible space: dropped at a line start or after another one;
        // kept for now otherwise, and removed if the line ends right after it.
        m_prevWord = false;
        if (m_lineStart || m_collapsing) continue;
        m_collapsing = true;
        m_lastSpace = m_stream.size();
        m_stream.push_back(u' ');
        continue;
      }
      if (c == u'\n') {
        // A preserved segment break: a forced line break.
        ForcedBreak();
        m_collapsing = false;
        continue;
      }
      if (IsReserved(c)) c = u'\uFFFD';
      if (c == 0) continue;
      switch (style.transform) {
        case Transform::Uppercase: c = Upper(c); break;
        case Transform::Lowercase: c = Lower(c); break;
        case Transform::Capitalize:
          if (!m_prevWord || !IsWordChar(m_lastChar)) c = Upper(c);
          break;
        case Transform::None: break;
      }
      m_prevWord = true;
      m_lastChar = c;
      m_stream.push_back(c);
      m_lineStart = false;
      m_lastSpace = size_t(-1);
      m_collapsing = false;
    }
  }

  const Tree& m_t;
  std::u16string m_stream;
  bool m_hidden = false;
  bool m_lineStart = true;
  bool m_collapsing = false;       // the last content was a collapsible space
  size_t m_lastSpace = size_t(-1);  // the collapsible space a line end would remove
  bool m_prevWord = false;         // for capitalize: m_lastChar is the last character, with no space or break since
  char16_t m_lastChar = 0;
};

class ElementListBuilder {
 public:
  ElementListBuilder(const Tree& tree, size_t inputLength)
      : m_t(tree), m_layout(tree, inputLength), m_textBudget(8 * inputLength + (1u << 16)) {}

  std::vector<Element> Build(std::u16string_view pageUrl, const QueryEncoder& queryEncoder) {
    std::vector<uint32_t> ids;
    std::vector<Range> ranges;
    ids.reserve(m_t.nodes.size() / 2);
    ranges.reserve(m_t.nodes.size() / 2);
    std::vector<uint32_t> order;
    order.reserve(m_t.nodes.size() / 2);
    m_layout.Run(ids, ranges, order);

    std::vector<Element> elements(ids.size());
    // As in a browser reading a.href after parsing: the first <base href> in
    // tree order is the base of every link.
    std::u16string base(pageUrl);
    for (uint32_t id : ids) {
      if (!m_t.IsHtml(id, kBase)) continue;
      if (const TreeAttribute* href = m_t.FindAttribute(id, kHref)) {
        if (auto resolved = ResolveUrl(m_t.Value(*href).str(), pageUrl, queryEncoder)) base = *resolved;
        break;
      }
    }
    UrlResolver resolver(base, queryEncoder);
    // Elements whose content ends first take their text first: with the text
    // budget spent, the outer elements of pathological nesting get theirs cut.
    for (const uint32_t i : order) {
      const uint32_t id = ids[i];
      const Node& n = m_t.nodes[id];
      Element& e = elements[i];
      e.tagName = TagName(id);
      if (const TreeAttribute* target = m_t.FindAttribute(id, kTarget)) e.target = m_t.Value(*target).str();
      if (n.ns != Namespace::Html) continue;  // no innerText or href on foreign elements
      if (n.name == kA || n.name == kArea) {
        if (const TreeAttribute* href = m_t.FindAttribute(id, kHref)) {
          std::u16string value = m_t.Value(*href).str();
          auto resolved = resolver.Resolve(value);
          e.href = resolved ? std::move(*resolved) : std::move(value);
        }
      }
      e.innerText = ranges[i].rendered ? Render(ranges[i]) : TextContent(id);
    }
    return elements;
  }

 private:
  // tagName, made once per name.
  const std::u16string& TagName(uint32_t id) {
    const Node& n = m_t.nodes[id];
    std::vector<std::u16string>& names = n.ns == Namespace::Html ? m_htmlNames : m_foreignNames;
    if (names.size() <= n.name) names.resize(n.name + 1);
    std::u16string& name = names[n.name];
    if (name.empty()) name = m_t.TagName(id);
    return name;
  }

  // The algorithm's last steps on a range of the stream.
  std::u16string Render(const Range& range) {
    const char16_t* stream = m_layout.Stream().data();
    size_t length = std::min<size_t>(range.end - range.start, m_textBudget);
    m_textBudget -= length;
    std::u16string out;
    int pending = 0;
    bool visible = range.visibleAtStart;
    const char16_t* p = stream + range.start;
    const char16_t* end = p + length;
    while (p < end) {
      // A run of text goes in whole.
      const char16_t* run = p;
      while (p < end && !IsReserved(*p)) ++p;
      if (p > run && visible) {
        if (pending > 0 && !out.empty()) out.append(size_t(pending), u'\n');
        pending = 0;
        out.append(run, size_t(p - run));
      }
      if (p == end) break;
      switch (*p++) {
        case kBreak1: if (visible) pending = std::max(pending, 1); break;
        case kBreak2: if (visible) pending = std::max(pending, 2); break;
        case kHideOn: visible = false; break;
        case kHideOff: visible = true; break;
        default: break;  // kEdge, kObject, kDeleted
      }
    }
    return out;
  }

  // What the DOM gives for an element that is not being rendered: its text content.
  std::u16string TextContent(uint32_t id) {
    std::u16string out;
    uint32_t n = m_t.FirstChild(id);
    while (n != kNoNode && m_textBudget > 0) {
      const Node& node = m_t.nodes[n];
      if (node.type == NodeType::Text) {
        const TextRef text = m_t.Text(n);
        size_t take = std::min<size_t>(text.size(), m_textBudget);
        for (size_t i = 0; i < take; ++i) out.push_back(text[i]);
        m_textBudget -= take;
      }
      if (node.type == NodeType::Element) {
        if (uint32_t first = m_t.FirstChild(n); first != kNoNode) {
          n = first;
          continue;
        }
      }
      while (n != id && m_t.NextSibling(n) == kNoNode) n = m_t.nodes[n].parent;
      if (n == id) break;
      n = m_t.NextSibling(n);
    }
    return out;
  }

  const Tree& m_t;
  std::vector<std::u16string> m_htmlNames, m_foreignNames;  // by name id
  TextLayout m_layout;
  size_t m_textBudget;
};

}  // namespace

std::vector<Element> BuildElementList(std::u16string_view text, std::u16string_view pageUrl,
                                      const QueryEncoder& queryEncoder) {
  const Tree tree = ParseHtml(text);
  ElementListBuilder builder(tree, text.size());
  return builder.Build(pageUrl, queryEncoder);
}

}  // namespace fw::html
