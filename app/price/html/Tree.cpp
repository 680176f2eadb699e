// The tree's name table, lookups and the test-format printer (Tree.h).
#include "app/price/html/Tree.h"

#include <algorithm>
#include <array>

#include "host/Utf8.h"

namespace fw::html {
namespace {

constexpr std::u16string_view kStaticNames[] = {
#define FW_HTML_NAME(id, text) text,
#include "app/price/html/TreeNames.inc"
#undef FW_HTML_NAME
};
static_assert(std::size(kStaticNames) == names::kStaticCount);

// The static names in an open-addressing table: a tag or attribute name is
// looked up for every tag, so this is on the parser's hot path.
uint32_t HashName(std::u16string_view name) {
  uint32_t h = 2166136261u;
  for (char16_t c : name) h = (h ^ c) * 16777619u;
  return h;
}
struct StaticTable {
  static constexpr uint32_t kSlots = 1024;  // a power of two, over four times the names
  std::array<uint16_t, kSlots> slots;
  StaticTable() {
    slots.fill(UINT16_MAX);
    for (uint32_t i = 0; i < names::kStaticCount; ++i) {
      uint32_t at = HashName(kStaticNames[i]) & (kSlots - 1);
      while (slots[at] != UINT16_MAX) at = (at + 1) & (kSlots - 1);
      slots[at] = uint16_t(i);
    }
  }
  uint32_t Find(std::u16string_view name) const {
    for (uint32_t at = HashName(name) & (kSlots - 1);; at = (at + 1) & (kSlots - 1)) {
      uint16_t id = slots[at];
      if (id == UINT16_MAX) return UINT32_MAX;
      if (kStaticNames[id] == name) return id;
    }
  }
};
const StaticTable& StaticIndex() {
  static const StaticTable table;
  return table;
}

}  // namespace

std::u16string_view Tree::Name(uint32_t id) const {
  if (id < names::kStaticCount) return kStaticNames[id];
  id -= names::kStaticCount;
  return id < m_dynamicNames.size() ? std::u16string_view(m_dynamicNames[id]) : std::u16string_view();
}

uint32_t Tree::FindName(std::u16string_view name) const {
  if (uint32_t id = StaticIndex().Find(name); id != UINT32_MAX) return id;
  if (auto it = m_dynamicIndex.find(std::u16string(name)); it != m_dynamicIndex.end()) return it->second;
  return UINT32_MAX;
}

uint32_t Tree::Intern(std::u16string_view name) {
  if (uint32_t id = StaticIndex().Find(name); id != UINT32_MAX) return id;
  // Past 16M distinct names (a page of 100 MB of made-up tags) the rest share the last id.
  if (names::kStaticCount + m_dynamicNames.size() > kMaxNameId) return kMaxNameId;
  auto [it, added] = m_dynamicIndex.try_emplace(std::u16string(name), 0);
  if (added) {
    it->second = uint32_t(names::kStaticCount + m_dynamicNames.size());
    m_dynamicNames.emplace_back(name);
  }
  return it->second;
}

const TreeAttribute* Tree::FindAttribute(uint32_t element, uint32_t name) const {
  const Node& n = nodes[element];
  if (n.data == kNoNode) return nullptr;
  for (uint32_t i = n.data;; ++i) {
    const TreeAttribute& a = attributes[i];
    if (a.name == name && a.ns == AttrNamespace::None) return &a;
    if (a.last) return nullptr;
  }
}

uint32_t Tree::AttributeCount(uint32_t element) const {
  const Node& n = nodes[element];
  if (n.data == kNoNode) return 0;
  uint32_t count = 1;
  for (uint32_t i = n.data; !attributes[i].last; ++i) ++count;
  return count;
}

uint32_t Tree::PreviousSibling(uint32_t node) const {
  const uint32_t parent = nodes[node].parent;
  if (parent == kNoNode) return kNoNode;
  const uint32_t first = FirstChild(parent);
  if (first == node) return kNoNode;
  uint32_t c = first;
  while (nodes[c].next != node) c = nodes[c].next;
  return c;
}

uint32_t Tree::TemplateContent(uint32_t element) const {
  for (const auto& [templ, content] : templateContents)
    if (templ == element) return content;
  return kNoNode;
}

std::u16string Tree::TagName(uint32_t element) const {
  const Node& n = nodes[element];
  std::u16string name(Name(n.name));
  if (n.ns == Namespace::Html)
    for (char16_t& c : name)
      if (c >= u'a' && c <= u'z') c = char16_t(c - 0x20);
  return name;
}

size_t Tree::MemoryBytes() const {
  size_t bytes = nodes.capacity() * sizeof(Node) + attributes.capacity() * sizeof(TreeAttribute) +
                 chars.capacity() + doctypes.capacity() * sizeof(TreeDoctype) +
                 templateContents.capacity() * sizeof(templateContents[0]);
  for (const std::u16string& s : m_dynamicNames) bytes += sizeof(s) + s.capacity() * sizeof(char16_t);
  bytes += m_dynamicIndex.size() * (sizeof(std::u16string) + 2 * sizeof(void*) + sizeof(uint32_t));
  return bytes;
}

void Tree::Compact() {
  nodes.shrink_to_fit();
  attributes.shrink_to_fit();
  chars.shrink_to_fit();
}

namespace {

void DumpChildren(const Tree& tree, uint32_t parent, int depth, std::string& out);

void Line(std::string& out, int depth) {
  if (!out.empty()) out += '\n';
  out += "| ";
  out.append(size_t(depth) * 2, ' ');
}

void DumpNode(const Tree& tree, uint32_t id, int depth, std::string& out) {
  const Node& n = tree.nodes[id];
  switch (n.type) {
    case NodeType::Doctype: {
      const TreeDoctype& d = tree.doctypes[n.data];
      Line(out, depth);
      out += "<!DOCTYPE " + Utf16ToUtf8(d.name);
      if (d.hasPublicId || d.hasSystemId)
        out += " \"" + Utf16ToUtf8(d.publicId) + "\" \"" + Utf16ToUtf8(d.systemId) + "\"";
      out += ">";
      return;
    }
    case NodeType::Comment:
      Line(out, depth);
      out += "<!-- " + Utf16ToUtf8(tree.Text(id).str()) + " -->";
      return;
    case NodeType::Text: {
      if (n.more) return;  // printed with the node it continues
      std::u16string text = tree.Text(id).str();
      for (uint32_t m = tree.NextSibling(id); m != kNoNode && tree.nodes[m].type == NodeType::Text && tree.nodes[m].more;
           m = tree.NextSibling(m))
        text += tree.Text(m).str();
      Line(out, depth);
      out += "\"" + Utf16ToUtf8(text) + "\"";
      return;
    }
    case NodeType::Element: {
      Line(out, depth);
      out += "<";
      if (n.ns == Namespace::Svg) out += "svg ";
      if (n.ns == Namespace::MathMl) out += "math ";
      out += Utf16ToUtf8(tree.Name(n.name)) + ">";
      std::vector<std::pair<std::string, std::string>> attrs;
      for (uint32_t i = n.data; i != kNoNode; i = tree.attributes[i].last ? kNoNode : i + 1) {
        const TreeAttribute& a = tree.attributes[i];
        std::string name;
        if (a.ns == AttrNamespace::XLink) name = "xlink ";
        if (a.ns == AttrNamespace::Xml) name = "xml ";
        if (a.ns == AttrNamespace::Xmlns) name = "xmlns ";
        name += Utf16ToUtf8(tree.Name(a.name));
        attrs.emplace_back(name, Utf16ToUtf8(tree.Value(a).str()));
      }
      std::sort(attrs.begin(), attrs.end());
      for (const auto& [name, value] : attrs) {
        Line(out, depth + 1);
        out += name + "=\"" + value + "\"";
      }
      uint32_t content = n.ns == Namespace::Html && n.name == names::kTemplate ? tree.TemplateContent(id) : kNoNode;
      if (content != kNoNode) {
        Line(out, depth + 1);
        out += "content";
        DumpChildren(tree, content, depth + 2, out);
      }
      DumpChildren(tree, id, depth + 1, out);
      return;
    }
    default: DumpChildren(tree, id, depth, out); return;
  }
}

void DumpChildren(const Tree& tree, uint32_t parent, int depth, std::string& out) {
  for (uint32_t c = tree.FirstChild(parent); c != kNoNode; c = tree.NextSibling(c)) DumpNode(tree, c, depth, out);
}

}  // namespace

std::string DumpTree(const Tree& tree) {
  std::string out;
  DumpChildren(tree, tree.root, 0, out);
  return out;
}

}  // namespace fw::html
