// The document tree a browser builds from an HTML page: the HTML standard's
// tree construction stage (13.2.6) on the tokenizer of Tokenizer.h, including
// its error recovery (implied and misnested tags, foster parenting, the
// adoption agency algorithm), foreign content (SVG, MathML) and templates.
// Scripting counts as enabled (a <noscript> holds raw text), as in a browser
// that runs scripts; no script runs.
//
// The tree is an arena: nodes are entries of one vector linked by index, text
// and attribute values live in one shared character buffer, and tag and
// attribute names are small interned ids. Adjacent text in the tree may be
// stored as several Text nodes (a run that could not grow in place continues
// in a further node); TextOf() and the walkers treat such a run as one.
// Portable: no platform header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fw::html {

enum class Namespace : uint8_t { Html, Svg, MathMl };
enum class NodeType : uint8_t { Document, Fragment, Doctype, Element, Text, Comment };
enum class QuirksMode : uint8_t { NoQuirks, LimitedQuirks, Quirks };
// The namespace of an adjusted foreign attribute ("xlink:href").
enum class AttrNamespace : uint8_t { None, XLink, Xml, Xmlns };

constexpr uint32_t kNoNode = UINT32_MAX;

struct Node {
  uint32_t parent = kNoNode;
  uint32_t firstChild = kNoNode;
  uint32_t lastChild = kNoNode;
  uint32_t next = kNoNode;
  uint32_t prev = kNoNode;
  // Text, Comment: the characters [data, data + size) of Tree::chars.
  // Element: the attributes [data, data + size) of Tree::attributes.
  // Doctype: data indexes Tree::doctypes.
  uint32_t data = 0;
  uint32_t size = 0;
  uint32_t name = 0;  // Element: a name id (Tree::Name); Text: 1 when it continues the text node before it
  NodeType type = NodeType::Element;
  Namespace ns = Namespace::Html;
};

struct TreeAttribute {
  uint32_t name = 0;  // a name id; for a namespaced one, its local name ("href" of "xlink:href")
  AttrNamespace ns = AttrNamespace::None;
  uint32_t value = 0;  // the characters [value, value + size) of Tree::chars
  uint32_t size = 0;
};

struct TreeDoctype {
  std::u16string name, publicId, systemId;
  bool hasPublicId = false, hasSystemId = false;
};

class Tree {
 public:
  std::vector<Node> nodes;  // nodes[0] is the Document (or, for a fragment, the root html element's stand-in)
  std::vector<TreeAttribute> attributes;
  std::u16string chars;
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

  std::u16string_view Chars(uint32_t offset, uint32_t size) const {
    return std::u16string_view(chars).substr(offset, size);
  }
  // An element's attribute of that name (no namespace), or nullptr.
  const TreeAttribute* FindAttribute(uint32_t element, uint32_t name) const;
  std::u16string_view Value(const TreeAttribute& a) const { return Chars(a.value, a.size); }
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
