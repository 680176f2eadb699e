// The document tree a browser builds from an HTML page: the HTML standard's
// "tree construction" stage on the tokenizer of Tokenizer.h, including
// its error recovery (implied and misnested tags, foster parenting, the
// adoption agency algorithm), foreign content (SVG, MathML) and templates.
// Scripting counts as enabled (a <noscript> holds raw text), as in a browser
// that runs scripts; no script runs.
//
// The tree is an arena: nodes are entries of one vector linked by index, text
// and attribute values live in one shared character buffer, and tag and
// attribute names are small interned ids. Adjacent text in the tree may be
// stored as several Text nodes (a run that could not grow in place continues
// in a further node, marked `more`); DumpTree and the element list's text
// treat such a run as one.
// Portable: no platform header.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fw::html {

enum class Namespace : uint32_t { Html, Svg, MathMl };
enum class NodeType : uint32_t { Document, Fragment, Doctype, Element, Text, Comment };
enum class QuirksMode : uint8_t { NoQuirks, LimitedQuirks, Quirks };
// The namespace of an adjusted foreign attribute ("xlink:href").
enum class AttrNamespace : uint32_t { None, XLink, Xml, Xmlns };

constexpr uint32_t kNoNode = UINT32_MAX;
constexpr uint32_t kMaxNameId = (1u << 24) - 1;

// 20 bytes a node. Children hang off their parent's last child and form a
// ring through `next` (the last child's `next` is the first child), so a
// node needs no link to its first child nor to its previous sibling.
struct Node {
  uint32_t parent = kNoNode;
  union {
    uint32_t lastChild = kNoNode;  // Document, Fragment, Element
    uint32_t length;               // Text, Comment: characters of data
  };
  uint32_t next = kNoNode;
  // Text, Comment: where the characters start in Tree::chars.
  // Element: its first attribute in Tree::attributes (kNoNode: none; the
  // last one of an element is marked). Doctype: an index of Tree::doctypes.
  uint32_t data = kNoNode;
  uint32_t name : 24 = 0;  // Element: a name id (Tree::Name)
  NodeType type : 3 = NodeType::Element;
  Namespace ns : 2 = Namespace::Html;
  uint32_t wide : 1 = 0;  // Text, Comment: two bytes a character in Tree::chars, else one
  uint32_t more : 1 = 0;  // Text: continues the text node before it (one run of text in the DOM)
};
static_assert(sizeof(Node) == 20);

struct TreeAttribute {
  uint32_t name : 24 = 0;  // a name id; for a namespaced one, its local name ("href" of "xlink:href")
  AttrNamespace ns : 2 = AttrNamespace::None;
  uint32_t wide : 1 = 0;
  uint32_t last : 1 = 0;  // the element's last attribute
  uint32_t value = 0;     // the characters [value, value + size) of Tree::chars
  uint32_t size = 0;
};

struct TreeDoctype {
  std::u16string name, publicId, systemId;
  bool hasPublicId = false, hasSystemId = false;
};

// Characters of the tree: one byte each when all are below U+0100, else two.
class TextRef {
 public:
  TextRef() = default;
  TextRef(const char* p, uint32_t size, bool wide) : m_p(p), m_size(size), m_wide(wide) {}
  uint32_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  char16_t operator[](size_t i) const {
    if (!m_wide) return char16_t(static_cast<unsigned char>(m_p[i]));
    char16_t c;
    std::memcpy(&c, m_p + 2 * i, 2);
    return c;
  }
  std::u16string str() const {
    std::u16string s(m_size, u'\0');
    for (uint32_t i = 0; i < m_size; ++i) s[i] = (*this)[i];
    return s;
  }
  bool operator==(std::u16string_view s) const {
    if (s.size() != m_size) return false;
    for (uint32_t i = 0; i < m_size; ++i)
      if ((*this)[i] != s[i]) return false;
    return true;
  }
  bool operator==(const TextRef& o) const {
    if (o.m_size != m_size) return false;
    if (o.m_wide == m_wide) return std::memcmp(o.m_p, m_p, m_size * (m_wide ? 2u : 1u)) == 0;
    for (uint32_t i = 0; i < m_size; ++i)
      if ((*this)[i] != o[i]) return false;
    return true;
  }

 private:
  const char* m_p = nullptr;
  uint32_t m_size = 0;
  bool m_wide = false;
};

class Tree {
 public:
  std::vector<Node> nodes;  // nodes[0] is the Document; detached nodes (a fragment's context) may follow
  std::vector<TreeAttribute> attributes;
  std::string chars;  // text, comments and attribute values (see TextRef)
  std::vector<TreeDoctype> doctypes;
  // Template element -> its content (a Fragment node, not a child of the template).
  std::vector<std::pair<uint32_t, uint32_t>> templateContents;
  QuirksMode quirks = QuirksMode::NoQuirks;
  // The node whose children are the parse result: the Document, or for a
  // fragment the html element that holds it.
  uint32_t root = 0;

  // The name of a name id: an element's local name as the DOM has it
  // ("div", "foreignObject"), or an attribute's.
  std::u16string_view Name(uint32_t id) const;
  // The id of a name if the tree or the static table knows it; else UINT32_MAX.
  uint32_t FindName(std::u16string_view name) const;
  uint32_t Intern(std::u16string_view name);

  // Children, in order.
  uint32_t FirstChild(uint32_t node) const {
    const Node& n = nodes[node];
    if (n.type == NodeType::Text || n.type == NodeType::Comment || n.type == NodeType::Doctype) return kNoNode;
    return n.lastChild == kNoNode ? kNoNode : nodes[n.lastChild].next;
  }
  uint32_t LastChild(uint32_t node) const {
    const Node& n = nodes[node];
    if (n.type == NodeType::Text || n.type == NodeType::Comment || n.type == NodeType::Doctype) return kNoNode;
    return n.lastChild;
  }
  uint32_t NextSibling(uint32_t node) const {
    const Node& n = nodes[node];
    if (n.parent == kNoNode || nodes[n.parent].lastChild == node) return kNoNode;
    return n.next;
  }
  // Walks the parent's children: for occasional use only.
  uint32_t PreviousSibling(uint32_t node) const;

  TextRef Text(uint32_t node) const {  // of a Text or Comment node
    const Node& n = nodes[node];
    return TextRef(chars.data() + n.data, n.length, n.wide);
  }
  TextRef Value(const TreeAttribute& a) const { return TextRef(chars.data() + a.value, a.size, a.wide); }
  // An element's attribute of that name (no namespace), or nullptr.
  const TreeAttribute* FindAttribute(uint32_t element, uint32_t name) const;
  uint32_t AttributeCount(uint32_t element) const;
  uint32_t TemplateContent(uint32_t element) const;
  // An element's tag name as the DOM's tagName gives it: ASCII upper case for
  // HTML elements, as stored for foreign ones.
  std::u16string TagName(uint32_t element) const;
  bool IsHtml(uint32_t node, uint32_t name) const {
    const Node& n = nodes[node];
    return n.type == NodeType::Element && n.ns == Namespace::Html && n.name == name;
  }
  // Bytes the tree occupies (capacity of its arrays and strings).
  size_t MemoryBytes() const;
  // Gives back the arrays' unused capacity.
  void Compact();

 private:
  // Names not in the static table: id - names::kStaticCount indexes m_dynamicNames.
  std::vector<std::u16string> m_dynamicNames;
  std::unordered_map<std::u16string, uint32_t> m_dynamicIndex;
};

struct ParseOptions {
  // The context element of the fragment parsing algorithm (e.g. u"div", in
  // contextNamespace); empty parses a whole document.
  std::u16string_view contextName;
  Namespace contextNamespace = Namespace::Html;
};

// Builds the tree of a decoded document (or fragment).
Tree ParseHtml(std::u16string_view text, const ParseOptions& options = {});

// Prints the tree in the html5lib tree-construction tests' format ("| <html>"
// lines, two spaces of indent per level), without a trailing newline.
std::string DumpTree(const Tree& tree);

// Static name ids (the first entries of the name table) for the tags and
// attributes the tree builder and the renderer look at.
namespace names {
enum : uint32_t {
#define FW_HTML_NAME(id, text) id,
#include "app/price/html/TreeNames.inc"
#undef FW_HTML_NAME
  kStaticCount
};
}  // namespace names

}  // namespace fw::html
