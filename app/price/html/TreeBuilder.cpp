// The HTML standard's "tree construction" stage on the tokenizer (Tokenizer.h).
//
// Conventions:
// - one method per insertion mode, named after it; a mode that "reprocesses
//   the token" switches m_mode and calls Process again;
// - character tokens arrive as runs; the modes that treat white space apart
//   split a run into its leading white space and the rest;
// - the tokenizer's content model (RCDATA, RAWTEXT, script data, PLAINTEXT,
//   CDATA in foreign content) is set from here, as the standard has the tree
//   builder do;
// - parse errors are not reported; the recovery is what matters here.
// Portable: no platform header.
#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "app/price/html/Tokenizer.h"
#include "app/price/html/Tree.h"

namespace fw::html {
namespace {

using namespace names;

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r'; }

// Element categories of the tree builder, per static name id.
enum Category : uint32_t {
  kSpecial = 1u << 0,
  kFormatting = 1u << 1,       // a b big code em font i nobr s small strike strong tt u
  kScopeDefault = 1u << 2,     // HTML boundaries of "in scope"
  kImpliedEnd = 1u << 3,       // generate implied end tags
  kImpliedEndThorough = 1u << 4,
  kHeading = 1u << 5,
  kClosesP = 1u << 6,          // start tags that close a p in button scope
};

struct CategoryTable {
  std::array<uint32_t, kStaticCount> flags{};
  CategoryTable() {
    auto set = [&](std::initializer_list<uint32_t> ids, uint32_t f) {
      for (uint32_t id : ids) flags[id] |= f;
    };
    set({kAddress, kApplet, kArea, kArticle, kAside, kBase, kBasefont, kBgsound, kBlockquote, kBody, kBr,
         kButton, kCaption, kCenter, kCol, kColgroup, kDd, kDetails, kDir, kDiv, kDl, kDt, kEmbed, kFieldset,
         kFigcaption, kFigure, kFooter, kForm, kFrame, kFrameset, kH1, kH2, kH3, kH4, kH5, kH6, kHead, kHeader,
         kHgroup, kHr, kHtml, kIframe, kImg, kInput, kKeygen, kLi, kLink, kListing, kMain, kMarquee, kMenu, kMeta,
         kNav, kNoembed, kNoframes, kNoscript, kObject, kOl, kP, kParam, kPlaintext, kPre, kScript, kSearch,
         kSection, kSelect, kSource, kStyle, kSummary, kTable, kTbody, kTd, kTemplate, kTextarea, kTfoot, kTh,
         kThead, kTitle, kTr, kTrack, kUl, kWbr, kXmp},
        kSpecial);
    set({kA, kB, kBig, kCode, kEm, kFont, kI, kNobr, kS, kSmall, kStrike, kStrong, kTt, kU}, kFormatting);
    set({kApplet, kCaption, kHtml, kTable, kTd, kTh, kMarquee, kObject, kTemplate}, kScopeDefault);
    set({kDd, kDt, kLi, kOptgroup, kOption, kP, kRb, kRp, kRt, kRtc}, kImpliedEnd | kImpliedEndThorough);
    set({kCaption, kColgroup, kTbody, kTd, kTfoot, kTh, kThead, kTr}, kImpliedEndThorough);
    set({kH1, kH2, kH3, kH4, kH5, kH6}, kHeading);
    set({kAddress, kArticle, kAside, kBlockquote, kCenter, kDetails, kDialog, kDir, kDiv, kDl, kFieldset,
         kFigcaption, kFigure, kFooter, kHeader, kHgroup, kMain, kMenu, kNav, kOl, kP, kSearch, kSection,
         kSummary, kUl},
        kClosesP);
  }
};
const CategoryTable& Categories() {
  static const CategoryTable table;
  return table;
}
uint32_t Flags(uint32_t id) { return id < kStaticCount ? Categories().flags[id] : 0; }

enum class Mode : uint8_t {
  Initial, BeforeHtml, BeforeHead, InHead, InHeadNoscript, AfterHead, InBody, Text, InTable, InTableText,
  InCaption, InColumnGroup, InTableBody, InRow, InCell, InTemplate, AfterBody, InFrameset, AfterFrameset,
  AfterAfterBody, AfterAfterFrameset,
};

enum class Scope : uint8_t { Default, ListItem, Button, Table };

constexpr uint32_t kMarker = kNoNode;  // a marker in the list of active formatting elements

// SVG tag and attribute names whose case the tree builder restores.
const std::unordered_map<std::u16string_view, std::u16string_view>& SvgTagNames() {
  static const std::unordered_map<std::u16string_view, std::u16string_view> map = {
      {u"altglyph", u"altGlyph"}, {u"altglyphdef", u"altGlyphDef"}, {u"altglyphitem", u"altGlyphItem"},
      {u"animatecolor", u"animateColor"}, {u"animatemotion", u"animateMotion"},
      {u"animatetransform", u"animateTransform"}, {u"clippath", u"clipPath"}, {u"feblend", u"feBlend"},
      {u"fecolormatrix", u"feColorMatrix"}, {u"fecomponenttransfer", u"feComponentTransfer"},
      {u"fecomposite", u"feComposite"}, {u"feconvolvematrix", u"feConvolveMatrix"},
      {u"fediffuselighting", u"feDiffuseLighting"}, {u"fedisplacementmap", u"feDisplacementMap"},
      {u"fedistantlight", u"feDistantLight"}, {u"fedropshadow", u"feDropShadow"}, {u"feflood", u"feFlood"},
      {u"fefunca", u"feFuncA"}, {u"fefuncb", u"feFuncB"}, {u"fefuncg", u"feFuncG"}, {u"fefuncr", u"feFuncR"},
      {u"fegaussianblur", u"feGaussianBlur"}, {u"feimage", u"feImage"}, {u"femerge", u"feMerge"},
      {u"femergenode", u"feMergeNode"}, {u"femorphology", u"feMorphology"}, {u"feoffset", u"feOffset"},
      {u"fepointlight", u"fePointLight"}, {u"fespecularlighting", u"feSpecularLighting"},
      {u"fespotlight", u"feSpotLight"}, {u"fetile", u"feTile"}, {u"feturbulence", u"feTurbulence"},
      {u"foreignobject", u"foreignObject"}, {u"glyphref", u"glyphRef"}, {u"lineargradient", u"linearGradient"},
      {u"radialgradient", u"radialGradient"}, {u"textpath", u"textPath"},
  };
  return map;
}
const std::unordered_map<std::u16string_view, std::u16string_view>& SvgAttributeNames() {
  static const std::unordered_map<std::u16string_view, std::u16string_view> map = {
      {u"attributename", u"attributeName"}, {u"attributetype", u"attributeType"},
      {u"basefrequency", u"baseFrequency"}, {u"baseprofile", u"baseProfile"}, {u"calcmode", u"calcMode"},
      {u"clippathunits", u"clipPathUnits"}, {u"diffuseconstant", u"diffuseConstant"},
      {u"edgemode", u"edgeMode"}, {u"filterunits", u"filterUnits"}, {u"glyphref", u"glyphRef"},
      {u"gradienttransform", u"gradientTransform"}, {u"gradientunits", u"gradientUnits"},
      {u"kernelmatrix", u"kernelMatrix"}, {u"kernelunitlength", u"kernelUnitLength"},
      {u"keypoints", u"keyPoints"}, {u"keysplines", u"keySplines"}, {u"keytimes", u"keyTimes"},
      {u"lengthadjust", u"lengthAdjust"}, {u"limitingconeangle", u"limitingConeAngle"},
      {u"markerheight", u"markerHeight"}, {u"markerunits", u"markerUnits"}, {u"markerwidth", u"markerWidth"},
      {u"maskcontentunits", u"maskContentUnits"}, {u"maskunits", u"maskUnits"},
      {u"numoctaves", u"numOctaves"}, {u"pathlength", u"pathLength"},
      {u"patterncontentunits", u"patternContentUnits"}, {u"patterntransform", u"patternTransform"},
      {u"patternunits", u"patternUnits"}, {u"pointsatx", u"pointsAtX"}, {u"pointsaty", u"pointsAtY"},
      {u"pointsatz", u"pointsAtZ"}, {u"preservealpha", u"preserveAlpha"},
      {u"preserveaspectratio", u"preserveAspectRatio"}, {u"primitiveunits", u"primitiveUnits"},
      {u"refx", u"refX"}, {u"refy", u"refY"}, {u"repeatcount", u"repeatCount"}, {u"repeatdur", u"repeatDur"},
      {u"requiredextensions", u"requiredExtensions"}, {u"requiredfeatures", u"requiredFeatures"},
      {u"specularconstant", u"specularConstant"}, {u"specularexponent", u"specularExponent"},
      {u"spreadmethod", u"spreadMethod"}, {u"startoffset", u"startOffset"}, {u"stddeviation", u"stdDeviation"},
      {u"stitchtiles", u"stitchTiles"}, {u"surfacescale", u"surfaceScale"},
      {u"systemlanguage", u"systemLanguage"}, {u"tablevalues", u"tableValues"}, {u"targetx", u"targetX"},
      {u"targety", u"targetY"}, {u"textlength", u"textLength"}, {u"viewbox", u"viewBox"},
      {u"viewtarget", u"viewTarget"}, {u"xchannelselector", u"xChannelSelector"},
      {u"ychannelselector", u"yChannelSelector"}, {u"zoomandpan", u"zoomAndPan"},
  };
  return map;
}

struct ForeignAttr {
  AttrNamespace ns;
  std::u16string_view local;
};
const std::unordered_map<std::u16string_view, ForeignAttr>& ForeignAttributes() {
  static const std::unordered_map<std::u16string_view, ForeignAttr> map = {
      {u"xlink:actuate", {AttrNamespace::XLink, u"actuate"}}, {u"xlink:arcrole", {AttrNamespace::XLink, u"arcrole"}},
      {u"xlink:href", {AttrNamespace::XLink, u"href"}}, {u"xlink:role", {AttrNamespace::XLink, u"role"}},
      {u"xlink:show", {AttrNamespace::XLink, u"show"}}, {u"xlink:title", {AttrNamespace::XLink, u"title"}},
      {u"xlink:type", {AttrNamespace::XLink, u"type"}}, {u"xml:lang", {AttrNamespace::Xml, u"lang"}},
      {u"xml:space", {AttrNamespace::Xml, u"space"}}, {u"xmlns", {AttrNamespace::Xmlns, u"xmlns"}},
      {u"xmlns:xlink", {AttrNamespace::Xmlns, u"xlink"}},
  };
  return map;
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = char16_t(x + 32);
    if (y >= u'A' && y <= u'Z') y = char16_t(y + 32);
    if (x != y) return false;
  }
  return true;
}
bool StartsWithIgnoringAsciiCase(std::u16string_view s, std::u16string_view prefix) {
  return s.size() >= prefix.size() && EqualsIgnoringAsciiCase(s.substr(0, prefix.size()), prefix);
}

QuirksMode DoctypeQuirks(const Token& t) {
  static constexpr std::u16string_view kQuirkyPrefixes[] = {
      u"+//silmaril//dtd html pro v0r11 19970101//", u"-//as//dtd html 3.0 aswedit + extensions//",
      u"-//advasoft ltd//dtd html 3.0 aswedit + extensions//", u"-//ietf//dtd html 2.0 level 1//",
      u"-//ietf//dtd html 2.0 level 2//", u"-//ietf//dtd html 2.0 strict level 1//",
      u"-//ietf//dtd html 2.0 strict level 2//", u"-//ietf//dtd html 2.0 strict//", u"-//ietf//dtd html 2.0//",
      u"-//ietf//dtd html 2.1e//", u"-//ietf//dtd html 3.0//", u"-//ietf//dtd html 3.2 final//",
      u"-//ietf//dtd html 3.2//", u"-//ietf//dtd html 3//", u"-//ietf//dtd html level 0//",
      u"-//ietf//dtd html level 1//", u"-//ietf//dtd html level 2//", u"-//ietf//dtd html level 3//",
      u"-//ietf//dtd html strict level 0//", u"-//ietf//dtd html strict level 1//",
      u"-//ietf//dtd html strict level 2//", u"-//ietf//dtd html strict level 3//", u"-//ietf//dtd html strict//",
      u"-//ietf//dtd html//", u"-//metrius//dtd metrius presentational//",
      u"-//microsoft//dtd internet explorer 2.0 html strict//", u"-//microsoft//dtd internet explorer 2.0 html//",
      u"-//microsoft//dtd internet explorer 2.0 tables//", u"-//microsoft//dtd internet explorer 3.0 html strict//",
      u"-//microsoft//dtd internet explorer 3.0 html//", u"-//microsoft//dtd internet explorer 3.0 tables//",
      u"-//netscape comm. corp.//dtd html//", u"-//netscape comm. corp.//dtd strict html//",
      u"-//o'reilly and associates//dtd html 2.0//", u"-//o'reilly and associates//dtd html extended 1.0//",
      u"-//o'reilly and associates//dtd html extended relaxed 1.0//",
      u"-//sq//dtd html 2.0 hotmetal + extensions//",
      u"-//softquad software//dtd hotmetal pro 6.0::19990601::extensions to html 4.0//",
      u"-//softquad//dtd hotmetal pro 4.0::19971010::extensions to html 4.0//",
      u"-//spyglass//dtd html 2.0 extended//", u"-//sun microsystems corp.//dtd hotjava html//",
      u"-//sun microsystems corp.//dtd hotjava strict html//", u"-//w3c//dtd html 3 1995-03-24//",
      u"-//w3c//dtd html 3.2 draft//", u"-//w3c//dtd html 3.2 final//", u"-//w3c//dtd html 3.2//",
      u"-//w3c//dtd html 3.2s draft//", u"-//w3c//dtd html 4.0 frameset//", u"-//w3c//dtd html 4.0 transitional//",
      u"-//w3c//dtd html experimental 19960712//", u"-//w3c//dtd html experimental 970421//",
      u"-//w3c//dtd w3 html//", u"-//w3o//dtd w3 html 3.0//", u"-//webtechs//dtd mozilla html 2.0//",
      u"-//webtechs//dtd mozilla html//",
  };
  if (t.forceQuirks || t.name != u"html") return QuirksMode::Quirks;
  const std::u16string_view pub = t.hasPublicId ? std::u16string_view(t.publicId) : std::u16string_view();
  const std::u16string_view sys = t.hasSystemId ? std::u16string_view(t.systemId) : std::u16string_view();
  if (t.hasPublicId && (EqualsIgnoringAsciiCase(pub, u"-//W3O//DTD W3 HTML Strict 3.0//EN//") ||
                        EqualsIgnoringAsciiCase(pub, u"-/W3C/DTD HTML 4.0 Transitional/EN") ||
                        EqualsIgnoringAsciiCase(pub, u"HTML")))
    return QuirksMode::Quirks;
  if (t.hasSystemId &&
      EqualsIgnoringAsciiCase(sys, u"http://www.ibm.com/data/dtd/v11/ibmxhtml1-transitional.dtd"))
    return QuirksMode::Quirks;
  if (t.hasPublicId) {
    for (std::u16string_view p : kQuirkyPrefixes)
      if (StartsWithIgnoringAsciiCase(pub, p)) return QuirksMode::Quirks;
    const bool html401 = StartsWithIgnoringAsciiCase(pub, u"-//W3C//DTD HTML 4.01 Frameset//") ||
                         StartsWithIgnoringAsciiCase(pub, u"-//W3C//DTD HTML 4.01 Transitional//");
    if (!t.hasSystemId && html401) return QuirksMode::Quirks;
    if (StartsWithIgnoringAsciiCase(pub, u"-//W3C//DTD XHTML 1.0 Frameset//") ||
        StartsWithIgnoringAsciiCase(pub, u"-//W3C//DTD XHTML 1.0 Transitional//"))
      return QuirksMode::LimitedQuirks;
    if (t.hasSystemId && html401) return QuirksMode::LimitedQuirks;
  }
  return QuirksMode::NoQuirks;
}

class Builder {
 public:
  Builder(Tree& tree, std::u16string_view text) : m_t(tree), m_tokenizer(text) {
    m_tokenizer.SetContentModelSwitching(false);
    m_t.nodes.reserve(text.size() / 20 + 16);
    m_t.attributes.reserve(text.size() / 36 + 16);
    Node doc;
    doc.type = NodeType::Document;
    m_t.nodes.push_back(doc);
    m_t.chars.reserve(text.size() / 2 + 16);
  }

  void RunDocument() { Run(); }

  // The HTML fragment parsing algorithm, with a context element of the given name.
  void RunFragment(std::u16string_view contextName, Namespace contextNs) {
    m_fragment = true;
    // The context element lives outside the tree (a detached node of the arena).
    uint32_t nameId = m_t.Intern(contextName);
    m_context = NewNode(NodeType::Element, contextNs, nameId);
    if (contextNs == Namespace::Html) {
      switch (nameId) {
        case kTitle: case kTextarea: m_tokenizer.SetState(TokenizerState::Rcdata); break;
        case kStyle: case kXmp: case kIframe: case kNoembed: case kNoframes: case kNoscript:
          m_tokenizer.SetState(TokenizerState::Rawtext);
          break;
        case kScript: m_tokenizer.SetState(TokenizerState::ScriptData); break;
        case kPlaintext: m_tokenizer.SetState(TokenizerState::Plaintext); break;
        default: break;
      }
      // No start tag came from this tokenizer, so no end tag is "appropriate":
      // a <script> context's text runs on past "</script>".
    }
    uint32_t root = NewNode(NodeType::Element, Namespace::Html, kHtml);
    AppendChild(0, root);
    m_t.root = root;
    PushOpen(root);
    if (contextNs == Namespace::Html && nameId == kTemplate) m_templateModes.push_back(Mode::InTemplate);
    ResetInsertionMode();
    // The form element pointer: the context element or its nearest form ancestor (none here).
    if (contextNs == Namespace::Html && nameId == kForm) m_form = m_context;
    Run();
  }

 private:
  // ---- arena ----
  uint32_t NewNode(NodeType type, Namespace ns = Namespace::Html, uint32_t name = 0) {
    Node n;
    n.type = type;
    n.ns = ns;
    n.name = name;
    m_t.nodes.push_back(n);
    return uint32_t(m_t.nodes.size() - 1);
  }
  Node& N(uint32_t i) { return m_t.nodes[i]; }

  // Stores characters in the tree's pool: one byte each when they allow,
  // else two. Returns whether they went in wide.
  static bool NeedsWide(std::u16string_view text) {
    for (char16_t c : text)
      if (c > 0xFF) return true;
    return false;
  }
  void StoreChars(std::u16string_view text, bool wide) {
    if (!wide) {
      size_t at = m_t.chars.size();
      m_t.chars.resize(at + text.size());
      char* out = m_t.chars.data() + at;
      for (size_t i = 0; i < text.size(); ++i) out[i] = char(static_cast<unsigned char>(text[i]));
      return;
    }
    size_t at = m_t.chars.size();
    m_t.chars.resize(at + 2 * text.size());
    std::memcpy(m_t.chars.data() + at, text.data(), 2 * text.size());
  }

  // The sibling before `node` (kNoNode for the first). The children form a
  // ring, so this walks it; the last node inserted before a given one is
  // remembered, which makes repeated foster parenting before a table O(1).
  uint32_t Predecessor(uint32_t parent, uint32_t node) {
    if (m_predHint != kNoNode && m_predHint < m_t.nodes.size() && N(m_predHint).parent == parent &&
        N(m_predHint).next == node && N(parent).lastChild != m_predHint)
      return m_predHint;
    const uint32_t last = N(parent).lastChild;
    uint32_t c = last;
    while (N(c).next != node) c = N(c).next;
    return c == last ? kNoNode : c;  // the last child's next is the first child
  }
  void Detach(uint32_t child) {
    Node& c = N(child);
    if (c.parent == kNoNode) return;
    const uint32_t parent = c.parent;
    Node& p = N(parent);
    if (c.next == child) {
      p.lastChild = kNoNode;  // the only child
    } else {
      uint32_t pred = Predecessor(parent, child);
      uint32_t ringPred = pred == kNoNode ? p.lastChild : pred;
      N(ringPred).next = c.next;
      if (p.lastChild == child) p.lastChild = ringPred;
    }
    c.parent = kNoNode;
    c.next = kNoNode;
  }
  void InsertBefore(uint32_t parent, uint32_t child, uint32_t before) {
    Detach(child);
    Node& c = N(child);
    Node& p = N(parent);
    c.parent = parent;
    if (p.lastChild == kNoNode) {
      c.next = child;
      p.lastChild = child;
      return;
    }
    if (before == kNoNode) {
      c.next = N(p.lastChild).next;
      N(p.lastChild).next = child;
      p.lastChild = child;
      return;
    }
    uint32_t pred = Predecessor(parent, before);
    N(pred == kNoNode ? p.lastChild : pred).next = child;
    c.next = before;
    m_predHint = child;
  }
  // Moves all children of `from` to the end of `to`.
  void MoveChildren(uint32_t from, uint32_t to) {
    while (N(from).lastChild != kNoNode) {
      uint32_t first = N(N(from).lastChild).next;
      AppendChild(to, first);
    }
  }
  void AppendChild(uint32_t parent, uint32_t child) { InsertBefore(parent, child, kNoNode); }

  // ---- element properties ----
  bool Is(uint32_t node, uint32_t name) const { return m_t.IsHtml(node, name); }
  bool IsHtml(uint32_t node) const { return m_t.nodes[node].ns == Namespace::Html; }
  uint32_t HtmlFlags(uint32_t node) const {
    const Node& n = m_t.nodes[node];
    return n.ns == Namespace::Html ? Flags(n.name) : 0;
  }
  bool IsSpecial(uint32_t node) const {
    const Node& n = m_t.nodes[node];
    if (n.ns == Namespace::Html) return Flags(n.name) & kSpecial;
    if (n.ns == Namespace::MathMl)
      return n.name == kMi || n.name == kMo || n.name == kMn || n.name == kMs || n.name == kMtext ||
             n.name == kAnnotationXml;
    return n.name == kForeignObject || n.name == kDesc || n.name == kTitle;
  }
  bool IsMathMlTextIntegration(uint32_t node) const {
    const Node& n = m_t.nodes[node];
    return n.ns == Namespace::MathMl &&
           (n.name == kMi || n.name == kMo || n.name == kMn || n.name == kMs || n.name == kMtext);
  }
  bool IsHtmlIntegration(uint32_t node) const {
    const Node& n = m_t.nodes[node];
    if (n.ns == Namespace::Svg) return n.name == kForeignObject || n.name == kDesc || n.name == kTitle;
    if (n.ns == Namespace::MathMl && n.name == kAnnotationXml) {
      // Set when the element was created from a token with such an encoding
      // (in creation order, so sorted).
      return std::binary_search(m_annotationHtml.begin(), m_annotationHtml.end(), node);
    }
    return false;
  }
  bool IsScopeBoundary(uint32_t node, Scope scope) const {
    const Node& n = m_t.nodes[node];
    if (n.ns == Namespace::Html) {
      switch (scope) {
        case Scope::Table: return n.name == kHtml || n.name == kTable || n.name == kTemplate;
        case Scope::ListItem:
          if (n.name == kOl || n.name == kUl) return true;
          break;
        case Scope::Button:
          if (n.name == kButton) return true;
          break;
        case Scope::Default: break;
      }
      return Flags(n.name) & kScopeDefault;
    }
    if (scope == Scope::Table) return false;
    if (n.ns == Namespace::MathMl)
      return n.name == kMi || n.name == kMo || n.name == kMn || n.name == kMs || n.name == kMtext ||
             n.name == kAnnotationXml;
    return n.name == kForeignObject || n.name == kDesc || n.name == kTitle;
  }
  bool InScope(uint32_t name, Scope scope = Scope::Default) const {
    if (!AnyOpen(name)) return false;
    for (size_t i = m_open.size(); i-- > 0;) {
      uint32_t node = m_open[i];
      if (m_t.IsHtml(node, name)) return true;
      if (IsScopeBoundary(node, scope)) return false;
    }
    return false;
  }
  template <typename Pred>
  bool InScopeIf(Pred pred, Scope scope = Scope::Default) const {
    for (size_t i = m_open.size(); i-- > 0;) {
      uint32_t node = m_open[i];
      if (IsHtml(node) && pred(m_t.nodes[node].name)) return true;
      if (IsScopeBoundary(node, scope)) return false;
    }
    return false;
  }
  bool NodeInScope(uint32_t target) const {
    for (size_t i = m_open.size(); i-- > 0;) {
      if (m_open[i] == target) return true;
      if (IsScopeBoundary(m_open[i], Scope::Default)) return false;
    }
    return false;
  }
  bool HeadingInScope() const {
    return InScopeIf([](uint32_t n) { return (Flags(n) & kHeading) != 0; });
  }

  // ---- the stack of open elements ----
  // Every change goes through these, which keep a count of open HTML
  // elements per name and a flag per node: "is there a p open", "is this
  // node open" are then answered without walking the stack, which keeps deep
  // markup linear.
  void Mark(uint32_t node, bool open) {
    if (m_isOpen.size() <= node) m_isOpen.resize(m_t.nodes.size() + 64, 0);
    m_isOpen[node] = open;
    const Node& n = m_t.nodes[node];
    if (n.ns != Namespace::Html) return;
    if (m_openCount.size() <= n.name) m_openCount.resize(n.name + 64, 0);
    m_openCount[n.name] += open ? 1 : uint32_t(-1);
  }
  void PushOpen(uint32_t node) {
    m_open.push_back(node);
    Mark(node, true);
  }
  uint32_t PopOpen() {
    uint32_t node = m_open.back();
    m_open.pop_back();
    Mark(node, false);
    if (Is(node, kOption)) MaybeCloneOptionIntoSelectedContent(node);
    return node;
  }
  void EraseOpen(size_t i) {
    Mark(m_open[i], false);
    m_open.erase(m_open.begin() + std::ptrdiff_t(i));
  }
  void InsertOpen(size_t i, uint32_t node) {
    m_open.insert(m_open.begin() + std::ptrdiff_t(i), node);
    Mark(node, true);
  }
  void ReplaceOpen(size_t i, uint32_t node) {
    Mark(m_open[i], false);
    m_open[i] = node;
    Mark(node, true);
  }
  bool AnyOpen(uint32_t name) const { return name < m_openCount.size() && m_openCount[name] > 0; }
  uint32_t Current() const { return m_open.empty() ? kNoNode : m_open.back(); }
  uint32_t AdjustedCurrent() const {
    if (m_fragment && m_open.size() == 1) return m_context;
    return Current();
  }
  bool CurrentIs(uint32_t name) const { return !m_open.empty() && Is(m_open.back(), name); }
  void Pop() {
    PopOpen();
  }
  void PopUntil(uint32_t name) {  // pops through the nearest HTML element of that name
    while (!m_open.empty()) {
      uint32_t n = PopOpen();
      if (Is(n, name)) return;
    }
  }
  template <typename Pred>
  void PopUntilIf(Pred pred) {
    while (!m_open.empty()) {
      uint32_t n = PopOpen();
      if (IsHtml(n) && pred(m_t.nodes[n].name)) return;
    }
  }
  void PopUntilNode(uint32_t node) {
    while (!m_open.empty()) {
      uint32_t n = PopOpen();
      if (n == node) return;
    }
  }
  bool OnStack(uint32_t node) const { return node < m_isOpen.size() && m_isOpen[node]; }
  size_t StackIndex(uint32_t node) const {
    for (size_t i = m_open.size(); i-- > 0;)
      if (m_open[i] == node) return i;
    return size_t(-1);
  }
  bool StackHas(uint32_t name) const { return AnyOpen(name); }
  void GenerateImpliedEndTags(uint32_t except = UINT32_MAX) {
    while (!m_open.empty()) {
      uint32_t n = m_open.back();
      if (!(HtmlFlags(n) & kImpliedEnd) || m_t.nodes[n].name == except) return;
      PopElement();
    }
  }
  void GenerateImpliedEndTagsThoroughly() {
    while (!m_open.empty() && (HtmlFlags(m_open.back()) & kImpliedEndThorough)) PopElement();
  }
  // Pops the current node, running what its removal from the stack does.
  void PopElement() { PopOpen(); }
  // The marker a select pushed stays: formatting open before its end is
  // reconstructed after it.
  void CloseSelect() {
    while (!m_open.empty()) {
      uint32_t n = m_open.back();
      PopElement();
      if (Is(n, kSelect)) break;
    }
  }
  void ClosePElement() {
    GenerateImpliedEndTags(kP);
    PopUntil(kP);
  }
  void ClearStackBackTo(std::initializer_list<uint32_t> names) {
    while (!m_open.empty()) {
      uint32_t n = m_open.back();
      if (IsHtml(n) && std::find(names.begin(), names.end(), m_t.nodes[n].name) != names.end()) return;
      PopOpen();
    }
  }

  // ---- the list of active formatting elements ----
  bool SameElement(uint32_t a, uint32_t b) const {
    const Node& x = m_t.nodes[a];
    const Node& y = m_t.nodes[b];
    if (x.name != y.name || x.ns != y.ns) return false;
    if (x.data == y.data) return true;
    if (m_t.AttributeCount(a) != m_t.AttributeCount(b)) return false;
    for (uint32_t i = x.data; i != kNoNode; i = m_t.attributes[i].last ? kNoNode : i + 1) {
      const TreeAttribute& p = m_t.attributes[i];
      bool found = false;
      for (uint32_t j = y.data; j != kNoNode && !found; j = m_t.attributes[j].last ? kNoNode : j + 1) {
        const TreeAttribute& q = m_t.attributes[j];
        found = p.name == q.name && p.ns == q.ns && m_t.Value(p) == m_t.Value(q);
      }
      if (!found) return false;
    }
    return true;
  }
  void PushActiveFormatting(uint32_t element) {
    // Noah's Ark: at most three equal elements after the last marker.
    int count = 0;
    size_t earliest = size_t(-1);
    for (size_t i = m_active.size(); i-- > 0;) {
      uint32_t e = m_active[i];
      if (e == kMarker) break;
      if (SameElement(e, element)) {
        ++count;
        earliest = i;
      }
    }
    if (count >= 3) m_active.erase(m_active.begin() + std::ptrdiff_t(earliest));
    m_active.push_back(element);
  }
  void ReconstructActiveFormatting() {
    if (m_active.empty()) return;
    uint32_t last = m_active.back();
    if (last == kMarker || OnStack(last)) return;
    size_t i = m_active.size() - 1;
    while (i > 0) {
      uint32_t prev = m_active[i - 1];
      if (prev == kMarker || OnStack(prev)) break;
      --i;
    }
    for (; i < m_active.size(); ++i) {
      uint32_t entry = m_active[i];
      uint32_t clone = CloneElement(entry);
      InsertAtAppropriatePlace(clone);
      PushOpen(clone);
      m_active[i] = clone;
    }
  }
  void ClearActiveToLastMarker() {
    while (!m_active.empty()) {
      uint32_t e = m_active.back();
      m_active.pop_back();
      if (e == kMarker) return;
    }
  }
  size_t ActiveIndex(uint32_t node) const {
    for (size_t i = m_active.size(); i-- > 0;)
      if (m_active[i] == node) return i;
    return size_t(-1);
  }
  void RemoveActive(uint32_t node) {
    size_t i = ActiveIndex(node);
    if (i != size_t(-1)) m_active.erase(m_active.begin() + std::ptrdiff_t(i));
  }

  // ---- creating and inserting ----
  uint32_t CloneElement(uint32_t element) {
    const Node src = N(element);
    uint32_t clone = NewNode(NodeType::Element, src.ns, src.name);
    N(clone).data = src.data;  // attributes are shared: they are never changed in place
    return clone;
  }
  uint32_t CreateElement(const Token& token, Namespace ns, uint32_t name) {
    uint32_t node = NewNode(NodeType::Element, ns, name);
    if (!token.attributes.empty()) N(node).data = uint32_t(m_t.attributes.size());
    for (const Attribute& a : token.attributes) {
      TreeAttribute ta;
      if (ns == Namespace::Html) {
        ta.name = (m_t.Intern(a.name));
      } else {
        std::u16string_view n = a.name;
        if (ns == Namespace::Svg) {
          auto it = SvgAttributeNames().find(n);
          if (it != SvgAttributeNames().end()) n = it->second;
        } else if (n == u"definitionurl") {
          n = u"definitionURL";
        }
        auto f = ForeignAttributes().find(n);
        if (f != ForeignAttributes().end()) {
          ta.ns = f->second.ns;
          n = f->second.local;
        }
        ta.name = (m_t.Intern(n));
      }
      SetValue(ta, a.value);
      m_t.attributes.push_back(ta);
      if (ns == Namespace::MathMl && name == kAnnotationXml && a.name == u"encoding" &&
          (EqualsIgnoringAsciiCase(a.value, u"text/html") ||
           EqualsIgnoringAsciiCase(a.value, u"application/xhtml+xml")))
        m_annotationHtml.push_back(node);
    }
    if (!token.attributes.empty()) m_t.attributes.back().last = 1;
    if (ns == Namespace::Html && name == kTemplate) {
      uint32_t content = NewNode(NodeType::Fragment);
      m_t.templateContents.emplace_back(node, content);
    }
    return node;
  }
  void SetValue(TreeAttribute& ta, std::u16string_view value) {
    const bool wide = NeedsWide(value);
    ta.value = uint32_t(m_t.chars.size());
    ta.size = uint32_t(value.size());
    ta.wide = wide;
    StoreChars(value, wide);
  }
  void AddMissingAttributes(uint32_t element, const Token& token) {
    for (const Attribute& a : token.attributes) {
      uint32_t id = m_t.Intern(a.name);
      if (m_t.FindAttribute(element, id)) continue;
      // An element's attributes are one run ending in a marked one: copy the
      // run to the end to grow it (clones may share the old run).
      const uint32_t count = m_t.AttributeCount(element);
      const uint32_t start = uint32_t(m_t.attributes.size());
      for (uint32_t i = 0; i < count; ++i) {
        TreeAttribute copy = m_t.attributes[N(element).data + i];
        copy.last = 0;
        m_t.attributes.push_back(copy);
      }
      TreeAttribute ta;
      ta.name = id;
      SetValue(ta, a.value);
      ta.last = 1;
      m_t.attributes.push_back(ta);
      N(element).data = start;
    }
  }

  struct Place {
    uint32_t parent;
    uint32_t before;  // kNoNode: append
  };
  Place AppropriatePlace(uint32_t overrideTarget = kNoNode) {
    uint32_t target = overrideTarget != kNoNode ? overrideTarget : Current();
    Place place{target, kNoNode};
    if (m_fosterParenting && IsHtml(target)) {
      uint32_t n = N(target).name;
      if (n == kTable || n == kTbody || n == kTfoot || n == kThead || n == kTr) {
        size_t lastTemplate = size_t(-1), lastTable = size_t(-1);
        for (size_t i = m_open.size(); i-- > 0;) {
          if (lastTemplate == size_t(-1) && Is(m_open[i], kTemplate)) lastTemplate = i;
          if (lastTable == size_t(-1) && Is(m_open[i], kTable)) lastTable = i;
        }
        if (lastTemplate != size_t(-1) && (lastTable == size_t(-1) || lastTemplate > lastTable)) {
          place = Place{m_open[lastTemplate], kNoNode};
        } else if (lastTable == size_t(-1)) {
          place = Place{m_open[0], kNoNode};
        } else if (N(m_open[lastTable]).parent != kNoNode) {
          place = Place{N(m_open[lastTable]).parent, m_open[lastTable]};
        } else {
          place = Place{m_open[lastTable - 1], kNoNode};
        }
      }
    }
    if (Is(place.parent, kTemplate)) place = Place{m_t.TemplateContent(place.parent), kNoNode};
    return place;
  }
  void InsertAtAppropriatePlace(uint32_t node) {
    Place p = AppropriatePlace();
    InsertBefore(p.parent, node, p.before);
  }
  uint32_t InsertElement(const Token& token, Namespace ns, uint32_t name) {
    uint32_t node = CreateElement(token, ns, name);
    InsertAtAppropriatePlace(node);
    PushOpen(node);
    return node;
  }
  uint32_t InsertHtml(const Token& token) { return InsertElement(token, Namespace::Html, m_tag); }
  // An element for a start tag the markup left out (no attributes).
  uint32_t InsertImplied(uint32_t name) {
    static const Token kNoAttributes;
    return InsertElement(kNoAttributes, Namespace::Html, name);
  }
  uint32_t InsertForeign(const Token& token, Namespace ns) {
    uint32_t name = m_tag;
    if (ns == Namespace::Svg) {
      auto it = SvgTagNames().find(token.name);
      if (it != SvgTagNames().end()) name = m_t.Intern(it->second);
    }
    return InsertElement(token, ns, name);
  }
  void InsertComment(const Token& token, Place place) {
    uint32_t node = NewText(token.data);
    N(node).type = NodeType::Comment;
    InsertBefore(place.parent, node, place.before);
  }
  void InsertComment(const Token& token) { InsertComment(token, AppropriatePlace()); }
  void InsertText(std::u16string_view text) {
    if (text.empty()) return;
    Place place = AppropriatePlace();
    if (N(place.parent).type == NodeType::Document) return;  // the document takes no text
    uint32_t before = place.before == kNoNode ? N(place.parent).lastChild : Predecessor(place.parent, place.before);
    if (before != kNoNode && N(before).type == NodeType::Text) {
      Node& t = N(before);
      const bool wide = NeedsWide(text);
      const uint64_t end = uint64_t(t.data) + uint64_t(t.length) * (t.wide ? 2 : 1);
      if (end == m_t.chars.size() && bool(t.wide) == wide && uint64_t(t.length) + text.size() < (1ull << 31)) {
        StoreChars(text, wide);
        t.length += uint32_t(text.size());
        return;
      }
      // The run cannot grow in place: it continues in a further node.
      uint32_t more = NewText(text);
      N(more).more = 1;
      InsertBefore(place.parent, more, place.before);
      return;
    }
    InsertBefore(place.parent, NewText(text), place.before);
  }
  uint32_t NewText(std::u16string_view text) {
    uint32_t node = NewNode(NodeType::Text);
    const bool wide = NeedsWide(text);
    N(node).data = uint32_t(m_t.chars.size());
    N(node).length = uint32_t(text.size());
    N(node).wide = wide;
    StoreChars(text, wide);
    return node;
  }

  // ---- options and selectedcontent ----
  // When an option ends, a select whose button holds a selectedcontent
  // element shows a copy of the selected option's content there.
  void MaybeCloneOptionIntoSelectedContent(uint32_t option) {
    if (m_selectedContentCount == 0) return;
    uint32_t select = kNoNode;
    for (uint32_t p = N(option).parent; p != kNoNode; p = N(p).parent) {
      if (Is(p, kSelect)) {
        select = p;
        break;
      }
    }
    if (select == kNoNode) return;
    uint32_t selectedContent = FindDescendant(select, kSelectedcontent);
    if (selectedContent == kNoNode) return;
    // The option is the select's selected one when it has the selected
    // attribute, or when it is the first option and no option had it.
    bool selected = m_t.FindAttribute(option, kSelected) != nullptr;
    if (!selected) {
      uint32_t first = FindDescendant(select, kOption);
      if (first != option) return;
      auto it = std::find(m_selectHasSelected.begin(), m_selectHasSelected.end(), select);
      if (it != m_selectHasSelected.end()) return;
    } else if (std::find(m_selectHasSelected.begin(), m_selectHasSelected.end(), select) ==
               m_selectHasSelected.end()) {
      m_selectHasSelected.push_back(select);
    } else {
      // A later selected option replaces an earlier one's copy.
    }
    while (N(selectedContent).lastChild != kNoNode) Detach(N(selectedContent).lastChild);
    CloneChildren(option, selectedContent);
  }
  // The first HTML element of that name below root, in tree order.
  uint32_t FindDescendant(uint32_t root, uint32_t name) const {
    uint32_t n = m_t.FirstChild(root);
    while (n != kNoNode) {
      if (m_t.IsHtml(n, name)) return n;
      if (uint32_t first = m_t.FirstChild(n); first != kNoNode) {
        n = first;
        continue;
      }
      while (n != root && m_t.NextSibling(n) == kNoNode) n = m_t.nodes[n].parent;
      if (n == root) return kNoNode;
      n = m_t.NextSibling(n);
    }
    return kNoNode;
  }
  // Deep copies of from's children appended to `to` (without recursion: the
  // content may be deep).
  void CloneChildren(uint32_t from, uint32_t to) {
    std::vector<std::pair<uint32_t, uint32_t>> work;  // (source, copy's parent)
    for (uint32_t c = m_t.FirstChild(from); c != kNoNode; c = m_t.NextSibling(c)) work.emplace_back(c, to);
    std::reverse(work.begin(), work.end());
    while (!work.empty()) {
      auto [src, parent] = work.back();
      work.pop_back();
      const Node copyOf = N(src);
      uint32_t copy = NewNode(copyOf.type, copyOf.ns, copyOf.name);
      N(copy).data = copyOf.data;
      N(copy).wide = copyOf.wide;
      N(copy).more = copyOf.more;
      if (copyOf.type == NodeType::Text || copyOf.type == NodeType::Comment) N(copy).length = copyOf.length;
      AppendChild(parent, copy);
      size_t mark = work.size();
      for (uint32_t c = m_t.FirstChild(src); c != kNoNode; c = m_t.NextSibling(c)) work.emplace_back(c, copy);
      std::reverse(work.begin() + std::ptrdiff_t(mark), work.end());
    }
  }

  // ---- the driver ----
  void Run() {
    Token& token = m_token;
    for (;;) {
      uint32_t adjusted = AdjustedCurrent();
      m_tokenizer.SetForeignContent(adjusted != kNoNode && !IsHtml(adjusted));
      if (!m_tokenizer.Next(token)) break;
      if (token.type == TokenType::Character) {
        std::u16string_view text = token.data;
        if (m_ignoreLineFeed) {
          m_ignoreLineFeed = false;
          if (!text.empty() && text[0] == u'\n') text.remove_prefix(1);
        }
        if (!text.empty()) Characters(text);
        continue;
      }
      m_ignoreLineFeed = false;
      if (token.type == TokenType::StartTag || token.type == TokenType::EndTag) m_tag = m_t.Intern(token.name);
      Dispatch(token);
    }
    EndOfFile();
  }

  bool UseModeRules(const Token* token) const {
    uint32_t node = AdjustedCurrent();
    if (node == kNoNode || IsHtml(node)) return true;
    const bool start = token && token->type == TokenType::StartTag;
    const bool chars = !token;
    if (IsMathMlTextIntegration(node)) {
      if (chars) return true;
      if (start && m_tag != kMglyph && m_tag != kMalignmark) return true;
    }
    const Node& n = m_t.nodes[node];
    if (n.ns == Namespace::MathMl && n.name == kAnnotationXml && start && m_tag == kSvg) return true;
    if (IsHtmlIntegration(node) && (start || chars)) return true;
    return false;
  }

  void Dispatch(Token& token) {
    if (UseModeRules(&token)) Process(token);
    else ForeignContent(token);
  }

  void Characters(std::u16string_view text) {
    if (UseModeRules(nullptr)) ModeCharacters(text);
    else ForeignCharacters(text);
  }

  void Process(Token& token) {
    switch (m_mode) {
      case Mode::Initial: return Initial(token);
      case Mode::BeforeHtml: return BeforeHtml(token);
      case Mode::BeforeHead: return BeforeHead(token);
      case Mode::InHead: return InHead(token);
      case Mode::InHeadNoscript: return InHead(token);  // scripting is enabled: never entered
      case Mode::AfterHead: return AfterHead(token);
      case Mode::InBody: return InBody(token);
      case Mode::Text: return TextMode(token);
      case Mode::InTable: return InTable(token);
      case Mode::InTableText: return InTableText(token);
      case Mode::InCaption: return InCaption(token);
      case Mode::InColumnGroup: return InColumnGroup(token);
      case Mode::InTableBody: return InTableBody(token);
      case Mode::InRow: return InRow(token);
      case Mode::InCell: return InCell(token);
      case Mode::InTemplate: return InTemplate(token);
      case Mode::AfterBody: return AfterBody(token);
      case Mode::InFrameset: return InFrameset(token);
      case Mode::AfterFrameset: return AfterFrameset(token);
      case Mode::AfterAfterBody: return AfterAfterBody(token);
      case Mode::AfterAfterFrameset: return AfterAfterFrameset(token);
    }
  }

  static size_t LeadingSpace(std::u16string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == u' ' || s[i] == u'\t' || s[i] == u'\n' || s[i] == u'\f' || s[i] == u'\r')) ++i;
    return i;
  }

  // Character runs by insertion mode. Returns once the run is used up.
  void ModeCharacters(std::u16string_view text) {
    while (!text.empty()) {
      switch (m_mode) {
        case Mode::Initial:
        case Mode::BeforeHtml:
        case Mode::BeforeHead: {
          size_t n = LeadingSpace(text);
          text.remove_prefix(n);  // ignored
          if (text.empty()) return;
          AnythingElseBeforeContent();
          continue;
        }
        case Mode::InHead:
        case Mode::InHeadNoscript:
        case Mode::AfterHead: {
          size_t n = LeadingSpace(text);
          InsertText(text.substr(0, n));
          text.remove_prefix(n);
          if (text.empty()) return;
          AnythingElseBeforeContent();
          continue;
        }
        case Mode::InBody:
        case Mode::InCaption:
        case Mode::InCell:
        case Mode::InTemplate:
          return BodyCharacters(text);
        case Mode::Text:
          return InsertText(text);
        case Mode::InTable:
        case Mode::InTableBody:
        case Mode::InRow:
          if (uint32_t c = Current(); IsHtml(c) && (N(c).name == kTable || N(c).name == kTbody ||
                                                      N(c).name == kTemplate || N(c).name == kTfoot ||
                                                      N(c).name == kThead || N(c).name == kTr)) {
            m_pendingTableText.clear();
            m_pendingTableTextNonSpace = false;
            m_originalMode = m_mode;
            m_mode = Mode::InTableText;
            continue;
          }
          // Anything else: foster parenting with the in-body rules.
          m_fosterParenting = true;
          BodyCharacters(text);
          m_fosterParenting = false;
          return;
        case Mode::InTableText:
          for (char16_t c : text) {
            if (c == 0) continue;
            if (!IsSpace(c)) m_pendingTableTextNonSpace = true;
            m_pendingTableText.push_back(c);
          }
          return;
        case Mode::InColumnGroup: {
          size_t n = LeadingSpace(text);
          InsertText(text.substr(0, n));
          text.remove_prefix(n);
          if (text.empty()) return;
          if (!CurrentIs(kColgroup)) return;  // ignored
          Pop();
          m_mode = Mode::InTable;
          continue;
        }
        case Mode::AfterBody:
        case Mode::AfterAfterBody: {
          size_t n = LeadingSpace(text);
          if (n > 0) {
            // White space is processed with the in-body rules.
            BodyCharacters(text.substr(0, n));
            text.remove_prefix(n);
          }
          if (text.empty()) return;
          m_mode = Mode::InBody;
          continue;
        }
        case Mode::InFrameset:
        case Mode::AfterFrameset: {
          // Only white space is inserted; anything else is ignored.
          for (size_t i = 0; i < text.size();) {
            size_t n = LeadingSpace(text.substr(i));
            InsertText(text.substr(i, n));
            i += n;
            while (i < text.size() && !IsSpace(text[i])) ++i;
          }
          return;
        }
        case Mode::AfterAfterFrameset: {
          for (size_t i = 0; i < text.size();) {
            size_t n = LeadingSpace(text.substr(i));
            if (n) BodyCharacters(text.substr(i, n));
            i += n;
            while (i < text.size() && !IsSpace(text[i])) ++i;
          }
          return;
        }
      }
    }
  }

  // Characters before the body: what "anything else" does in the modes
  // before it, then the run goes on in the next mode.
  void AnythingElseBeforeContent() {
    switch (m_mode) {
      case Mode::Initial:
        if (!m_fragment) m_t.quirks = QuirksMode::Quirks;
        m_mode = Mode::BeforeHtml;
        return;
      case Mode::BeforeHtml: {
        uint32_t html = NewNode(NodeType::Element, Namespace::Html, kHtml);
        AppendChild(0, html);
        PushOpen(html);
        m_mode = Mode::BeforeHead;
        return;
      }
      case Mode::BeforeHead:
        m_head = InsertImplied(kHead);
        m_mode = Mode::InHead;
        return;
      case Mode::InHead:
      case Mode::InHeadNoscript:
        Pop();
        m_mode = Mode::AfterHead;
        return;
      case Mode::AfterHead:
        InsertImplied(kBody);
        m_mode = Mode::InBody;
        return;
      default: return;
    }
  }

  void BodyCharacters(std::u16string_view text) {
    // U+0000 is dropped; the rest is inserted after reconstructing formatting.
    bool any = false, nonSpace = false;
    for (char16_t c : text) {
      if (c == 0) continue;
      any = true;
      if (!IsSpace(c)) nonSpace = true;
    }
    if (!any) return;
    ReconstructActiveFormatting();
    if (text.find(u'\0') == std::u16string_view::npos) {
      InsertText(text);
    } else {
      std::u16string clean;
      for (char16_t c : text)
        if (c != 0) clean.push_back(c);
      InsertText(clean);
    }
    if (nonSpace) m_framesetOk = false;
  }

  void ForeignCharacters(std::u16string_view text) {
    bool nonSpace = false;
    std::u16string clean;
    bool hasNul = text.find(u'\0') != std::u16string_view::npos;
    for (char16_t c : text) {
      if (c != 0 && !IsSpace(c)) nonSpace = true;
      if (hasNul) clean.push_back(c == 0 ? u'\uFFFD' : c);
    }
    InsertText(hasNul ? std::u16string_view(clean) : text);
    if (nonSpace) m_framesetOk = false;
  }

  // ---- "the rules for parsing tokens in foreign content" ----
  void ForeignContent(Token& token) {
    if (token.type == TokenType::Comment) return InsertComment(token);
    if (token.type == TokenType::Doctype) return;
    if (token.type == TokenType::StartTag) {
      bool breakout = false;
      switch (m_tag) {
        case kB: case kBig: case kBlockquote: case kBody: case kBr: case kCenter: case kCode: case kDd:
        case kDiv: case kDl: case kDt: case kEm: case kEmbed: case kH1: case kH2: case kH3: case kH4:
        case kH5: case kH6: case kHead: case kHr: case kI: case kImg: case kLi: case kListing: case kMenu:
        case kMeta: case kNobr: case kOl: case kP: case kPre: case kRuby: case kS: case kSmall: case kSpan:
        case kStrong: case kStrike: case kSub: case kSup: case kTable: case kTt: case kU: case kUl:
        case kVar:
          breakout = true;
          break;
        case kFont:
          breakout = token.FindAttribute(u"color") || token.FindAttribute(u"face") ||
                     token.FindAttribute(u"size");
          break;
        default: break;
      }
      if (breakout) {
        while (!m_open.empty()) {
          uint32_t c = Current();
          if (IsHtml(c) || IsMathMlTextIntegration(c) || IsHtmlIntegration(c)) break;
          Pop();
        }
        return Process(token);
      }
      uint32_t adjusted = AdjustedCurrent();
      Namespace ns = N(adjusted).ns;
      InsertForeign(token, ns);
      if (token.selfClosing) Pop();
      return;
    }
    if (token.type == TokenType::EndTag) {
      if (m_tag == kBr || m_tag == kP) {
        // Parsed as HTML: leave foreign content first.
        while (!m_open.empty()) {
          uint32_t c = Current();
          if (IsHtml(c) || IsMathMlTextIntegration(c) || IsHtmlIntegration(c)) break;
          Pop();
        }
        return Process(token);
      }
      if (m_tag == kScript && CurrentIs(kScript) == false && !m_open.empty() &&
          N(Current()).ns == Namespace::Svg && N(Current()).name == kScript) {
        Pop();
        return;
      }
      // Walk down the stack for an element of that name (ASCII case-insensitively).
      for (size_t i = m_open.size(); i-- > 0;) {
        uint32_t node = m_open[i];
        if (i == 0) return;
        if (EqualsIgnoringAsciiCase(m_t.Name(N(node).name), token.name)) {
          if (m_fragment && node == m_open[0]) return;
          while (m_open.size() > i) PopElement();
          return;
        }
        if (IsHtml(m_open[i - 1])) return Process(token);
      }
    }
  }

  // ---- insertion modes ----
  void Initial(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token, Place{0, kNoNode});
      case TokenType::Doctype: {
        uint32_t node = NewNode(NodeType::Doctype);
        TreeDoctype d;
        d.name = token.name;
        d.publicId = token.publicId;
        d.systemId = token.systemId;
        d.hasPublicId = token.hasPublicId;
        d.hasSystemId = token.hasSystemId;
        N(node).data = uint32_t(m_t.doctypes.size());
        m_t.doctypes.push_back(std::move(d));
        AppendChild(0, node);
        if (!m_fragment) m_t.quirks = DoctypeQuirks(token);
        m_mode = Mode::BeforeHtml;
        return;
      }
      default:
        if (!m_fragment) m_t.quirks = QuirksMode::Quirks;
        m_mode = Mode::BeforeHtml;
        return Process(token);
    }
  }

  void BeforeHtml(Token& token) {
    switch (token.type) {
      case TokenType::Doctype: return;
      case TokenType::Comment: return InsertComment(token, Place{0, kNoNode});
      case TokenType::StartTag:
        if (m_tag == kHtml) {
          uint32_t html = CreateElement(token, Namespace::Html, kHtml);
          AppendChild(0, html);
          PushOpen(html);
          m_mode = Mode::BeforeHead;
          return;
        }
        break;
      case TokenType::EndTag:
        if (m_tag != kHead && m_tag != kBody && m_tag != kHtml && m_tag != kBr) return;
        break;
      default: break;
    }
    AnythingElseBeforeContent();
    Process(token);
  }

  void BeforeHead(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token);
      case TokenType::Doctype: return;
      case TokenType::StartTag:
        if (m_tag == kHtml) return InBody(token);
        if (m_tag == kHead) {
          m_head = InsertHtml(token);
          m_mode = Mode::InHead;
          return;
        }
        break;
      case TokenType::EndTag:
        if (m_tag != kHead && m_tag != kBody && m_tag != kHtml && m_tag != kBr) return;
        break;
      default: break;
    }
    AnythingElseBeforeContent();
    Process(token);
  }

  void StartRawText(Token& token, TokenizerState state) {
    InsertHtml(token);
    m_tokenizer.SetState(state);
    m_originalMode = m_mode;
    m_mode = Mode::Text;
  }

  void InHead(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token);
      case TokenType::Doctype: return;
      case TokenType::StartTag:
        switch (m_tag) {
          case kHtml: return InBody(token);
          case kBase: case kBasefont: case kBgsound: case kLink: case kMeta:
            InsertHtml(token);
            Pop();
            return;
          case kTitle: return StartRawText(token, TokenizerState::Rcdata);
          case kNoscript: case kNoframes: case kStyle: return StartRawText(token, TokenizerState::Rawtext);
          case kScript: return StartRawText(token, TokenizerState::ScriptData);
          case kTemplate:
            InsertHtml(token);
            m_active.push_back(kMarker);
            m_framesetOk = false;
            m_mode = Mode::InTemplate;
            m_templateModes.push_back(Mode::InTemplate);
            return;
          case kHead: return;
          default: break;
        }
        break;
      case TokenType::EndTag:
        if (m_tag == kHead) {
          Pop();
          m_mode = Mode::AfterHead;
          return;
        }
        if (m_tag == kTemplate) {
          if (!StackHas(kTemplate)) return;
          GenerateImpliedEndTagsThoroughly();
          PopUntil(kTemplate);
          ClearActiveToLastMarker();
          m_templateModes.pop_back();
          ResetInsertionMode();
          return;
        }
        if (m_tag != kBody && m_tag != kHtml && m_tag != kBr) return;
        break;
      default: break;
    }
    Pop();  // the head
    m_mode = Mode::AfterHead;
    Process(token);
  }

  void AfterHead(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token);
      case TokenType::Doctype: return;
      case TokenType::StartTag:
        switch (m_tag) {
          case kHtml: return InBody(token);
          case kBody:
            InsertHtml(token);
            m_framesetOk = false;
            m_mode = Mode::InBody;
            return;
          case kFrameset:
            InsertHtml(token);
            m_mode = Mode::InFrameset;
            return;
          case kBase: case kBasefont: case kBgsound: case kLink: case kMeta: case kNoframes: case kScript:
          case kStyle: case kTemplate: case kTitle: {
            PushOpen(m_head);
            InHead(token);
            auto it = std::find(m_open.begin(), m_open.end(), m_head);
            if (it != m_open.end()) EraseOpen(size_t(it - m_open.begin()));
            return;
          }
          case kHead: return;
          default: break;
        }
        break;
      case TokenType::EndTag:
        if (m_tag == kTemplate) return InHead(token);
        if (m_tag != kBody && m_tag != kHtml && m_tag != kBr) return;
        break;
      default: break;
    }
    AnythingElseBeforeContent();
    Process(token);
  }

  void TextMode(Token& token) {
    if (token.type == TokenType::EndTag) {
      PopElement();
      m_mode = m_originalMode;
    }
  }

  // "Any other end tag" of the in-body rules.
  void AnyOtherEndTag(const Token&) {
    for (size_t i = m_open.size(); i-- > 0;) {
      uint32_t node = m_open[i];
      if (Is(node, m_tag)) {
        GenerateImpliedEndTags(m_tag);
        while (m_open.size() > i) PopElement();
        return;
      }
      if (IsSpecial(node)) return;
    }
  }

  // The adoption agency algorithm. Returns false when the token is to be
  // handled as "any other end tag".
  bool AdoptionAgency(const Token& token) {
    const uint32_t subject = m_tag;
    uint32_t current = Current();
    if (current != kNoNode && Is(current, subject) && ActiveIndex(current) == size_t(-1)) {
      Pop();
      return true;
    }
    for (int outer = 0; outer < 8; ++outer) {
      // The last formatting element of that name after the last marker.
      uint32_t formatting = kNoNode;
      size_t formattingIndex = 0;
      for (size_t i = m_active.size(); i-- > 0;) {
        uint32_t e = m_active[i];
        if (e == kMarker) break;
        if (Is(e, subject)) {
          formatting = e;
          formattingIndex = i;
          break;
        }
      }
      if (formatting == kNoNode) return false;
      size_t stackIndex = StackIndex(formatting);
      if (stackIndex == size_t(-1)) {
        m_active.erase(m_active.begin() + std::ptrdiff_t(formattingIndex));
        return true;
      }
      if (!NodeInScope(formatting)) return true;
      // The furthest block: the topmost special element below it in the stack.
      uint32_t furthest = kNoNode;
      size_t furthestIndex = 0;
      for (size_t i = stackIndex + 1; i < m_open.size(); ++i) {
        if (IsSpecial(m_open[i])) {
          furthest = m_open[i];
          furthestIndex = i;
          break;
        }
      }
      if (furthest == kNoNode) {
        while (m_open.size() > stackIndex) PopElement();
        RemoveActive(formatting);
        return true;
      }
      uint32_t commonAncestor = m_open[stackIndex - 1];
      size_t bookmark = formattingIndex;
      uint32_t node = furthest;
      uint32_t lastNode = furthest;
      size_t nodeIndex = furthestIndex;
      for (int inner = 1;; ++inner) {
        --nodeIndex;
        node = m_open[nodeIndex];
        if (node == formatting) break;
        size_t activeIndex = ActiveIndex(node);
        if (inner > 3 && activeIndex != size_t(-1)) {
          m_active.erase(m_active.begin() + std::ptrdiff_t(activeIndex));
          if (activeIndex < bookmark) --bookmark;
          activeIndex = size_t(-1);
        }
        if (activeIndex == size_t(-1)) {
          EraseOpen(nodeIndex);
          continue;
        }
        uint32_t clone = CloneElement(node);
        m_active[activeIndex] = clone;
        ReplaceOpen(nodeIndex, clone);
        node = clone;
        if (lastNode == furthest) bookmark = activeIndex + 1;
        AppendChild(node, lastNode);
        lastNode = node;
      }
      {
        Place place = AppropriatePlaceFor(commonAncestor);
        InsertBefore(place.parent, lastNode, place.before);
      }
      uint32_t clone = CloneElement(formatting);
      MoveChildren(furthest, clone);
      AppendChild(furthest, clone);
      // The clone takes the formatting element's place at the bookmark.
      size_t oldIndex = ActiveIndex(formatting);
      m_active.insert(m_active.begin() + std::ptrdiff_t(bookmark), clone);
      if (oldIndex >= bookmark) ++oldIndex;
      m_active.erase(m_active.begin() + std::ptrdiff_t(oldIndex));
      EraseOpen(StackIndex(formatting));
      InsertOpen(StackIndex(furthest) + 1, clone);
    }
    (void)token;
    return true;
  }
  Place AppropriatePlaceFor(uint32_t target) { return AppropriatePlace(target); }

  void InBody(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token);
      case TokenType::Doctype: return;
      case TokenType::Character: return BodyCharacters(token.data);
      case TokenType::StartTag: return InBodyStart(token);
      case TokenType::EndTag: return InBodyEnd(token);
    }
  }

  void InBodyStart(Token& token) {
    const uint32_t tag = m_tag;
    switch (tag) {
      case kHtml:
        if (StackHas(kTemplate)) return;
        if (!m_open.empty()) AddMissingAttributes(m_open[0], token);
        return;
      case kBase: case kBasefont: case kBgsound: case kLink: case kMeta: case kNoframes: case kScript:
      case kStyle: case kTemplate: case kTitle:
        return InHead(token);
      case kBody: {
        if (m_open.size() < 2 || !Is(m_open[1], kBody) || StackHas(kTemplate)) return;
        m_framesetOk = false;
        AddMissingAttributes(m_open[1], token);
        return;
      }
      case kFrameset: {
        if (m_open.size() < 2 || !Is(m_open[1], kBody) || !m_framesetOk) return;
        Detach(m_open[1]);
        while (m_open.size() > 1) Pop();
        InsertHtml(token);
        m_mode = Mode::InFrameset;
        return;
      }
      case kAddress: case kArticle: case kAside: case kBlockquote: case kCenter: case kDetails: case kDialog:
      case kDir: case kDiv: case kDl: case kFieldset: case kFigcaption: case kFigure: case kFooter:
      case kHeader: case kHgroup: case kMain: case kMenu: case kNav: case kOl: case kP: case kSearch:
      case kSection: case kSummary: case kUl:
        if (InScope(kP, Scope::Button)) ClosePElement();
        InsertHtml(token);
        return;
      case kH1: case kH2: case kH3: case kH4: case kH5: case kH6:
        if (InScope(kP, Scope::Button)) ClosePElement();
        if (HtmlFlags(Current()) & kHeading) Pop();
        InsertHtml(token);
        return;
      case kPre: case kListing:
        if (InScope(kP, Scope::Button)) ClosePElement();
        InsertHtml(token);
        m_ignoreLineFeed = true;
        m_framesetOk = false;
        return;
      case kForm:
        if (m_form != kNoNode && !StackHas(kTemplate)) return;
        if (InScope(kP, Scope::Button)) ClosePElement();
        {
          uint32_t form = InsertHtml(token);
          if (!StackHas(kTemplate)) m_form = form;
        }
        return;
      case kLi: case kDd: case kDt: {
        m_framesetOk = false;
        for (size_t i = m_open.size(); i-- > 0;) {
          uint32_t node = m_open[i];
          bool match = tag == kLi ? Is(node, kLi) : (Is(node, kDd) || Is(node, kDt));
          if (match) {
            uint32_t name = N(node).name;
            GenerateImpliedEndTags(name);
            PopUntil(name);
            break;
          }
          if (IsSpecial(node) && !Is(node, kAddress) && !Is(node, kDiv) && !Is(node, kP)) break;
        }
        if (InScope(kP, Scope::Button)) ClosePElement();
        InsertHtml(token);
        return;
      }
      case kPlaintext:
        if (InScope(kP, Scope::Button)) ClosePElement();
        InsertHtml(token);
        m_tokenizer.SetState(TokenizerState::Plaintext);
        return;
      case kButton:
        if (InScope(kButton)) {
          GenerateImpliedEndTags();
          PopUntil(kButton);
        }
        ReconstructActiveFormatting();
        InsertHtml(token);
        m_framesetOk = false;
        return;
      case kA: {
        for (size_t i = m_active.size(); i-- > 0;) {
          uint32_t e = m_active[i];
          if (e == kMarker) break;
          if (Is(e, kA)) {
            if (!AdoptionAgency(token)) AnyOtherEndTag(token);
            RemoveActive(e);
            size_t at = StackIndex(e);
            if (at != size_t(-1)) EraseOpen(at);
            break;
          }
        }
        ReconstructActiveFormatting();
        PushActiveFormatting(InsertHtml(token));
        return;
      }
      case kB: case kBig: case kCode: case kEm: case kFont: case kI: case kS: case kSmall: case kStrike:
      case kStrong: case kTt: case kU:
        ReconstructActiveFormatting();
        PushActiveFormatting(InsertHtml(token));
        return;
      case kNobr:
        ReconstructActiveFormatting();
        if (InScope(kNobr)) {
          if (!AdoptionAgency(token)) AnyOtherEndTag(token);
          ReconstructActiveFormatting();
        }
        PushActiveFormatting(InsertHtml(token));
        return;
      case kApplet: case kMarquee: case kObject:
        ReconstructActiveFormatting();
        InsertHtml(token);
        m_active.push_back(kMarker);
        m_framesetOk = false;
        return;
      case kTable:
        if (m_t.quirks != QuirksMode::Quirks && InScope(kP, Scope::Button)) ClosePElement();
        InsertHtml(token);
        m_framesetOk = false;
        m_mode = Mode::InTable;
        return;
      case kArea: case kBr: case kEmbed: case kImg: case kKeygen: case kWbr:
        ReconstructActiveFormatting();
        InsertHtml(token);
        Pop();
        m_framesetOk = false;
        return;
      case kInput: {
        if (m_fragment && Is(m_context, kSelect)) return;
        if (InScope(kSelect)) CloseSelect();
        ReconstructActiveFormatting();
        InsertHtml(token);
        Pop();
        const std::u16string* type = token.FindAttribute(u"type");
        if (!type || !EqualsIgnoringAsciiCase(*type, u"hidden")) m_framesetOk = false;
        return;
      }
      case kParam: case kSource: case kTrack:
        InsertHtml(token);
        Pop();
        return;
      case kHr:
        if (InScope(kP, Scope::Button)) ClosePElement();
        if (InScope(kSelect)) GenerateImpliedEndTags();
        InsertHtml(token);
        Pop();
        m_framesetOk = false;
        return;
      case kImage:
        m_tag = kImg;
        return InBodyStart(token);
      case kTextarea:
        InsertHtml(token);
        m_ignoreLineFeed = true;
        m_tokenizer.SetState(TokenizerState::Rcdata);
        m_originalMode = m_mode;
        m_framesetOk = false;
        m_mode = Mode::Text;
        return;
      case kXmp:
        if (InScope(kP, Scope::Button)) ClosePElement();
        ReconstructActiveFormatting();
        m_framesetOk = false;
        return StartRawText(token, TokenizerState::Rawtext);
      case kIframe:
        m_framesetOk = false;
        return StartRawText(token, TokenizerState::Rawtext);
      case kNoembed: case kNoscript:
        return StartRawText(token, TokenizerState::Rawtext);
      case kSelect:
        if (m_fragment && Is(m_context, kSelect)) return;
        if (InScope(kSelect)) {
          CloseSelect();
          return;
        }
        ReconstructActiveFormatting();
        InsertHtml(token);
        // Formatting inside a select stays inside it, as in a cell.
        m_active.push_back(kMarker);
        m_framesetOk = false;
        return;
      case kOption:
        if (InScope(kSelect)) {
          GenerateImpliedEndTags(kOptgroup);
        } else if (CurrentIs(kOption)) {
          PopElement();
        }
        ReconstructActiveFormatting();
        InsertHtml(token);
        return;
      case kOptgroup:
        if (InScope(kSelect)) {
          GenerateImpliedEndTags();
        } else if (CurrentIs(kOption)) {
          PopElement();
        }
        ReconstructActiveFormatting();
        InsertHtml(token);
        return;
      case kRb: case kRtc:
        if (InScope(kRuby)) GenerateImpliedEndTags();
        InsertHtml(token);
        return;
      case kRp: case kRt:
        if (InScope(kRuby)) GenerateImpliedEndTags(kRtc);
        InsertHtml(token);
        return;
      case kMath:
      case kSvg: {
        ReconstructActiveFormatting();
        InsertForeign(token, tag == kMath ? Namespace::MathMl : Namespace::Svg);
        if (token.selfClosing) Pop();
        return;
      }
      case kCaption: case kCol: case kColgroup: case kFrame: case kHead: case kTbody: case kTd: case kTfoot:
      case kTh: case kThead: case kTr:
        return;
      case kSelectedcontent:
        ReconstructActiveFormatting();
        InsertHtml(token);
        ++m_selectedContentCount;
        return;
      default:
        ReconstructActiveFormatting();
        InsertHtml(token);
        return;
    }
  }

  void InBodyEnd(Token& token) {
    const uint32_t tag = m_tag;
    switch (tag) {
      case kTemplate: return InHead(token);
      case kBody:
        if (!InScope(kBody)) return;
        m_mode = Mode::AfterBody;
        return;
      case kHtml:
        if (!InScope(kBody)) return;
        m_mode = Mode::AfterBody;
        return Process(token);
      case kAddress: case kArticle: case kAside: case kBlockquote: case kButton: case kCenter: case kDetails:
      case kDialog: case kDir: case kDiv: case kDl: case kFieldset: case kFigcaption: case kFigure:
      case kFooter: case kHeader: case kHgroup: case kListing: case kMain: case kMenu: case kNav: case kOl:
      case kPre: case kSearch: case kSection: case kSummary: case kUl:
        if (!InScope(tag)) return;
        GenerateImpliedEndTags();
        PopUntil(tag);
        return;
      case kSelect:
        if (!InScope(kSelect)) return;
        CloseSelect();
        return;
      case kForm:
        if (!StackHas(kTemplate)) {
          uint32_t node = m_form;
          m_form = kNoNode;
          if (node == kNoNode || !NodeInScope(node)) return;
          GenerateImpliedEndTags();
          size_t at = StackIndex(node);
          if (at != size_t(-1)) EraseOpen(at);
        } else {
          if (!InScope(kForm)) return;
          GenerateImpliedEndTags();
          PopUntil(kForm);
        }
        return;
      case kP:
        if (!InScope(kP, Scope::Button)) InsertImplied(kP);
        ClosePElement();
        return;
      case kLi:
        if (!InScope(kLi, Scope::ListItem)) return;
        GenerateImpliedEndTags(kLi);
        PopUntil(kLi);
        return;
      case kDd: case kDt:
        if (!InScope(tag)) return;
        GenerateImpliedEndTags(tag);
        PopUntil(tag);
        return;
      case kH1: case kH2: case kH3: case kH4: case kH5: case kH6:
        if (!HeadingInScope()) return;
        GenerateImpliedEndTags();
        PopUntilIf([](uint32_t n) { return (Flags(n) & kHeading) != 0; });
        return;
      case kA: case kB: case kBig: case kCode: case kEm: case kFont: case kI: case kNobr: case kS: case kSmall:
      case kStrike: case kStrong: case kTt: case kU:
        if (!AdoptionAgency(token)) AnyOtherEndTag(token);
        return;
      case kApplet: case kMarquee: case kObject:
        if (!InScope(tag)) return;
        GenerateImpliedEndTags();
        PopUntil(tag);
        ClearActiveToLastMarker();
        return;
      case kBr: {
        token.attributes.clear();
        token.type = TokenType::StartTag;
        token.selfClosing = false;
        return InBodyStart(token);
      }
      default:
        return AnyOtherEndTag(token);
    }
  }

  void InTable(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token);
      case TokenType::Doctype: return;
      case TokenType::StartTag:
        switch (m_tag) {
          case kCaption:
            ClearStackBackTo({kTable, kTemplate, kHtml});
            m_active.push_back(kMarker);
            InsertHtml(token);
            m_mode = Mode::InCaption;
            return;
          case kColgroup:
            ClearStackBackTo({kTable, kTemplate, kHtml});
            InsertHtml(token);
            m_mode = Mode::InColumnGroup;
            return;
          case kCol: {
            ClearStackBackTo({kTable, kTemplate, kHtml});
            InsertImplied(kColgroup);
            m_mode = Mode::InColumnGroup;
            return Process(token);
          }
          case kTbody: case kTfoot: case kThead:
            ClearStackBackTo({kTable, kTemplate, kHtml});
            InsertHtml(token);
            m_mode = Mode::InTableBody;
            return;
          case kTd: case kTh: case kTr: {
            ClearStackBackTo({kTable, kTemplate, kHtml});
            InsertImplied(kTbody);
            m_mode = Mode::InTableBody;
            return Process(token);
          }
          case kTable:
            if (!InScope(kTable, Scope::Table)) return;
            PopUntil(kTable);
            ResetInsertionMode();
            return Process(token);
          case kStyle: case kScript: case kTemplate:
            return InHead(token);
          case kInput: {
            const std::u16string* type = token.FindAttribute(u"type");
            if (!type || !EqualsIgnoringAsciiCase(*type, u"hidden")) break;
            InsertHtml(token);
            Pop();
            return;
          }
          case kForm:
            if (StackHas(kTemplate) || m_form != kNoNode) return;
            m_form = InsertHtml(token);
            Pop();
            return;
          default: break;
        }
        break;
      case TokenType::EndTag:
        switch (m_tag) {
          case kTable:
            if (!InScope(kTable, Scope::Table)) return;
            PopUntil(kTable);
            ResetInsertionMode();
            return;
          case kBody: case kCaption: case kCol: case kColgroup: case kHtml: case kTbody: case kTd:
          case kTfoot: case kTh: case kThead: case kTr:
            return;
          case kTemplate: return InHead(token);
          default: break;
        }
        break;
      case TokenType::Character: break;
    }
    m_fosterParenting = true;
    InBody(token);
    m_fosterParenting = false;
  }

  void InTableText(Token& token) {
    // Any token other than characters: the pending run goes in, then the token.
    if (m_pendingTableTextNonSpace) {
      m_mode = m_originalMode;
      m_fosterParenting = true;
      BodyCharacters(m_pendingTableText);
      m_fosterParenting = false;
    } else {
      InsertText(m_pendingTableText);
    }
    m_pendingTableText.clear();
    m_mode = m_originalMode;
    Process(token);
  }
  void FlushTableText() {
    if (m_mode != Mode::InTableText) return;
    if (m_pendingTableTextNonSpace) {
      m_fosterParenting = true;
      BodyCharacters(m_pendingTableText);
      m_fosterParenting = false;
    } else {
      InsertText(m_pendingTableText);
    }
    m_pendingTableText.clear();
    m_mode = m_originalMode;
  }

  void InCaption(Token& token) {
    if (token.type == TokenType::EndTag && m_tag == kCaption) {
      if (!InScope(kCaption, Scope::Table)) return;
      GenerateImpliedEndTags();
      PopUntil(kCaption);
      ClearActiveToLastMarker();
      m_mode = Mode::InTable;
      return;
    }
    const bool tableStart = token.type == TokenType::StartTag &&
                            (m_tag == kCaption || m_tag == kCol || m_tag == kColgroup || m_tag == kTbody ||
                             m_tag == kTd || m_tag == kTfoot || m_tag == kTh || m_tag == kThead || m_tag == kTr);
    if (tableStart || (token.type == TokenType::EndTag && m_tag == kTable)) {
      if (!InScope(kCaption, Scope::Table)) return;
      GenerateImpliedEndTags();
      PopUntil(kCaption);
      ClearActiveToLastMarker();
      m_mode = Mode::InTable;
      return Process(token);
    }
    if (token.type == TokenType::EndTag &&
        (m_tag == kBody || m_tag == kCol || m_tag == kColgroup || m_tag == kHtml || m_tag == kTbody ||
         m_tag == kTd || m_tag == kTfoot || m_tag == kTh || m_tag == kThead || m_tag == kTr))
      return;
    InBody(token);
  }

  void InColumnGroup(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token);
      case TokenType::Doctype: return;
      case TokenType::StartTag:
        if (m_tag == kHtml) return InBody(token);
        if (m_tag == kCol) {
          InsertHtml(token);
          Pop();
          return;
        }
        if (m_tag == kTemplate) return InHead(token);
        break;
      case TokenType::EndTag:
        if (m_tag == kColgroup) {
          if (!CurrentIs(kColgroup)) return;
          Pop();
          m_mode = Mode::InTable;
          return;
        }
        if (m_tag == kCol) return;
        if (m_tag == kTemplate) return InHead(token);
        break;
      default: break;
    }
    if (!CurrentIs(kColgroup)) return;
    Pop();
    m_mode = Mode::InTable;
    Process(token);
  }

  void InTableBody(Token& token) {
    if (token.type == TokenType::StartTag) {
      if (m_tag == kTr) {
        ClearStackBackTo({kTbody, kTfoot, kThead, kTemplate, kHtml});
        InsertHtml(token);
        m_mode = Mode::InRow;
        return;
      }
      if (m_tag == kTh || m_tag == kTd) {
        ClearStackBackTo({kTbody, kTfoot, kThead, kTemplate, kHtml});
        InsertImplied(kTr);
        m_mode = Mode::InRow;
        return Process(token);
      }
      if (m_tag == kCaption || m_tag == kCol || m_tag == kColgroup || m_tag == kTbody || m_tag == kTfoot ||
          m_tag == kThead) {
        if (!InScope(kTbody, Scope::Table) && !InScope(kThead, Scope::Table) && !InScope(kTfoot, Scope::Table))
          return;
        ClearStackBackTo({kTbody, kTfoot, kThead, kTemplate, kHtml});
        Pop();
        m_mode = Mode::InTable;
        return Process(token);
      }
    } else if (token.type == TokenType::EndTag) {
      if (m_tag == kTbody || m_tag == kTfoot || m_tag == kThead) {
        if (!InScope(m_tag, Scope::Table)) return;
        ClearStackBackTo({kTbody, kTfoot, kThead, kTemplate, kHtml});
        Pop();
        m_mode = Mode::InTable;
        return;
      }
      if (m_tag == kTable) {
        if (!InScope(kTbody, Scope::Table) && !InScope(kThead, Scope::Table) && !InScope(kTfoot, Scope::Table))
          return;
        ClearStackBackTo({kTbody, kTfoot, kThead, kTemplate, kHtml});
        Pop();
        m_mode = Mode::InTable;
        return Process(token);
      }
      if (m_tag == kBody || m_tag == kCaption || m_tag == kCol || m_tag == kColgroup || m_tag == kHtml ||
          m_tag == kTd || m_tag == kTh || m_tag == kTr)
        return;
    }
    InTable(token);
  }

  void InRow(Token& token) {
    if (token.type == TokenType::StartTag) {
      if (m_tag == kTh || m_tag == kTd) {
        ClearStackBackTo({kTr, kTemplate, kHtml});
        InsertHtml(token);
        m_mode = Mode::InCell;
        m_active.push_back(kMarker);
        return;
      }
      if (m_tag == kCaption || m_tag == kCol || m_tag == kColgroup || m_tag == kTbody || m_tag == kTfoot ||
          m_tag == kThead || m_tag == kTr) {
        if (!InScope(kTr, Scope::Table)) return;
        ClearStackBackTo({kTr, kTemplate, kHtml});
        Pop();
        m_mode = Mode::InTableBody;
        return Process(token);
      }
    } else if (token.type == TokenType::EndTag) {
      if (m_tag == kTr) {
        if (!InScope(kTr, Scope::Table)) return;
        ClearStackBackTo({kTr, kTemplate, kHtml});
        Pop();
        m_mode = Mode::InTableBody;
        return;
      }
      if (m_tag == kTable) {
        if (!InScope(kTr, Scope::Table)) return;
        ClearStackBackTo({kTr, kTemplate, kHtml});
        Pop();
        m_mode = Mode::InTableBody;
        return Process(token);
      }
      if (m_tag == kTbody || m_tag == kTfoot || m_tag == kThead) {
        if (!InScope(m_tag, Scope::Table)) return;
        if (!InScope(kTr, Scope::Table)) return;
        ClearStackBackTo({kTr, kTemplate, kHtml});
        Pop();
        m_mode = Mode::InTableBody;
        return Process(token);
      }
      if (m_tag == kBody || m_tag == kCaption || m_tag == kCol || m_tag == kColgroup || m_tag == kHtml ||
          m_tag == kTd || m_tag == kTh)
        return;
    }
    InTable(token);
  }

  void CloseCell() {
    GenerateImpliedEndTags();
    PopUntilIf([](uint32_t n) { return n == kTd || n == kTh; });
    ClearActiveToLastMarker();
    m_mode = Mode::InRow;
  }

  void InCell(Token& token) {
    if (token.type == TokenType::EndTag) {
      if (m_tag == kTd || m_tag == kTh) {
        if (!InScope(m_tag, Scope::Table)) return;
        GenerateImpliedEndTags();
        PopUntil(m_tag);
        ClearActiveToLastMarker();
        m_mode = Mode::InRow;
        return;
      }
      if (m_tag == kBody || m_tag == kCaption || m_tag == kCol || m_tag == kColgroup || m_tag == kHtml) return;
      if (m_tag == kTable || m_tag == kTbody || m_tag == kTfoot || m_tag == kThead || m_tag == kTr) {
        if (!InScope(m_tag, Scope::Table)) return;
        CloseCell();
        return Process(token);
      }
    } else if (token.type == TokenType::StartTag) {
      if (m_tag == kCaption || m_tag == kCol || m_tag == kColgroup || m_tag == kTbody || m_tag == kTd ||
          m_tag == kTfoot || m_tag == kTh || m_tag == kThead || m_tag == kTr) {
        if (!InScope(kTd, Scope::Table) && !InScope(kTh, Scope::Table)) return;
        CloseCell();
        return Process(token);
      }
    }
    InBody(token);
  }

  void InTemplate(Token& token) {
    switch (token.type) {
      case TokenType::Comment: case TokenType::Doctype: case TokenType::Character:
        return InBody(token);
      case TokenType::StartTag: {
        Mode next;
        switch (m_tag) {
          case kBase: case kBasefont: case kBgsound: case kLink: case kMeta: case kNoframes: case kScript:
          case kStyle: case kTemplate: case kTitle:
            return InHead(token);
          case kCaption: case kColgroup: case kTbody: case kTfoot: case kThead: next = Mode::InTable; break;
          case kCol: next = Mode::InColumnGroup; break;
          case kTr: next = Mode::InTableBody; break;
          case kTd: case kTh: next = Mode::InRow; break;
          default: next = Mode::InBody; break;
        }
        m_templateModes.back() = next;
        m_mode = next;
        return Process(token);
      }
      case TokenType::EndTag:
        if (m_tag == kTemplate) return InHead(token);
        return;
    }
  }

  void AfterBody(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token, Place{m_open[0], kNoNode});
      case TokenType::Doctype: return;
      case TokenType::StartTag:
        if (m_tag == kHtml) return InBody(token);
        break;
      case TokenType::EndTag:
        if (m_tag == kHtml) {
          if (m_fragment) return;
          m_mode = Mode::AfterAfterBody;
          return;
        }
        break;
      default: break;
    }
    m_mode = Mode::InBody;
    Process(token);
  }

  void InFrameset(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token);
      case TokenType::StartTag:
        if (m_tag == kHtml) return InBody(token);
        if (m_tag == kFrameset) {
          InsertHtml(token);
          return;
        }
        if (m_tag == kFrame) {
          InsertHtml(token);
          Pop();
          return;
        }
        if (m_tag == kNoframes) return InHead(token);
        return;
      case TokenType::EndTag:
        if (m_tag == kFrameset) {
          if (m_open.size() == 1) return;
          Pop();
          if (!m_fragment && !CurrentIs(kFrameset)) m_mode = Mode::AfterFrameset;
        }
        return;
      default: return;
    }
  }

  void AfterFrameset(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token);
      case TokenType::StartTag:
        if (m_tag == kHtml) return InBody(token);
        if (m_tag == kNoframes) return InHead(token);
        return;
      case TokenType::EndTag:
        if (m_tag == kHtml) m_mode = Mode::AfterAfterFrameset;
        return;
      default: return;
    }
  }

  void AfterAfterBody(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token, Place{0, kNoNode});
      case TokenType::Doctype: return InBody(token);
      case TokenType::StartTag:
        if (m_tag == kHtml) return InBody(token);
        break;
      default: break;
    }
    m_mode = Mode::InBody;
    Process(token);
  }

  void AfterAfterFrameset(Token& token) {
    switch (token.type) {
      case TokenType::Comment: return InsertComment(token, Place{0, kNoNode});
      case TokenType::Doctype: return InBody(token);
      case TokenType::StartTag:
        if (m_tag == kHtml) return InBody(token);
        if (m_tag == kNoframes) return InHead(token);
        return;
      default: return;
    }
  }

  void ResetInsertionMode() {
    for (size_t i = m_open.size(); i-- > 0;) {
      uint32_t node = m_open[i];
      const bool last = i == 0;
      if (last && m_fragment) node = m_context;
      if (!IsHtml(node)) {
        if (last) break;
        continue;
      }
      switch (N(node).name) {
        case kTd: case kTh:
          if (!last) {
            m_mode = Mode::InCell;
            return;
          }
          break;
        case kTr: m_mode = Mode::InRow; return;
        case kTbody: case kThead: case kTfoot: m_mode = Mode::InTableBody; return;
        case kCaption: m_mode = Mode::InCaption; return;
        case kColgroup: m_mode = Mode::InColumnGroup; return;
        case kTable: m_mode = Mode::InTable; return;
        case kTemplate: m_mode = m_templateModes.empty() ? Mode::InBody : m_templateModes.back(); return;
        case kHead:
          if (!last) {
            m_mode = Mode::InHead;
            return;
          }
          break;
        case kBody: m_mode = Mode::InBody; return;
        case kFrameset: m_mode = Mode::InFrameset; return;
        case kHtml: m_mode = m_head == kNoNode ? Mode::BeforeHead : Mode::AfterHead; return;
        default: break;
      }
      if (last) break;
    }
    m_mode = Mode::InBody;
  }

  void EndOfFile() {
    FlushTableText();
    for (;;) {
      if (m_mode == Mode::Text) {
        PopElement();
        m_mode = m_originalMode;
        continue;
      }
      if (m_mode == Mode::InTemplate ||
          ((m_mode == Mode::InBody || m_mode == Mode::InTable || m_mode == Mode::InCaption ||
            m_mode == Mode::InColumnGroup || m_mode == Mode::InTableBody || m_mode == Mode::InRow ||
            m_mode == Mode::InCell) &&
           !m_templateModes.empty())) {
        if (!StackHas(kTemplate)) break;
        PopUntil(kTemplate);
        ClearActiveToLastMarker();
        m_templateModes.pop_back();
        ResetInsertionMode();
        continue;
      }
      if (m_mode == Mode::Initial || m_mode == Mode::BeforeHtml || m_mode == Mode::BeforeHead ||
          m_mode == Mode::InHead || m_mode == Mode::InHeadNoscript || m_mode == Mode::AfterHead) {
        AnythingElseBeforeContent();
        continue;
      }
      break;
    }
    // The options still open end too (for selectedcontent).
    while (!m_open.empty()) PopElement();
  }

  Tree& m_t;
  Tokenizer m_tokenizer;
  Token m_token;
  uint32_t m_tag = 0;  // the current tag token's name id
  Mode m_mode = Mode::Initial;
  Mode m_originalMode = Mode::Initial;
  std::vector<uint32_t> m_open;
  std::vector<uint32_t> m_openCount;  // open HTML elements per name id
  std::vector<uint8_t> m_isOpen;      // per node
  std::vector<uint32_t> m_active;
  std::vector<Mode> m_templateModes;
  std::vector<uint32_t> m_annotationHtml;  // annotation-xml elements that are HTML integration points
  std::vector<uint32_t> m_selectHasSelected;
  uint32_t m_selectedContentCount = 0;
  uint32_t m_head = kNoNode;
  uint32_t m_form = kNoNode;
  uint32_t m_context = kNoNode;
  uint32_t m_predHint = kNoNode;  // see Predecessor
  bool m_fragment = false;
  bool m_framesetOk = true;
  bool m_fosterParenting = false;
  bool m_ignoreLineFeed = false;
  std::u16string m_pendingTableText;
  bool m_pendingTableTextNonSpace = false;
};

}  // namespace

Tree ParseHtml(std::u16string_view text, const ParseOptions& options) {
  Tree tree;
  Builder builder(tree, text);
  if (options.contextName.empty()) builder.RunDocument();
  else builder.RunFragment(options.contextName, options.contextNamespace);
  // The arrays grew by doubling; the tree is kept while the page is read.
  tree.Compact();
  return tree;
}

}  // namespace fw::html
