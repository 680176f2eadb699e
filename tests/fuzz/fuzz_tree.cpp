// Text through the tree builder, as a document and as a fragment in a context
// picked by the first byte: nothing may trap or leak, and the arena must hold
// a well-formed tree (every link matched by its back link, every node in at
// most one place, no cycle).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/price/html/Tree.h"

namespace {

void Check(const fw::html::Tree& tree) {
  using fw::html::kNoNode;
  const auto& nodes = tree.nodes;
  std::vector<uint8_t> seen(nodes.size(), 0);
  std::vector<uint32_t> pending = {tree.root};
  for (const auto& [templ, content] : tree.templateContents) {
    if (templ >= nodes.size() || content >= nodes.size()) std::abort();
    if (nodes[content].parent != kNoNode) std::abort();  // a template's content is no one's child
    pending.push_back(content);
  }
  while (!pending.empty()) {
    uint32_t id = pending.back();
    pending.pop_back();
    if (id >= nodes.size() || seen[id]) std::abort();
    seen[id] = 1;
    const fw::html::Node& n = nodes[id];
    uint32_t prev = kNoNode;
    for (uint32_t c = n.firstChild; c != kNoNode; c = nodes[c].next) {
      if (c >= nodes.size() || nodes[c].parent != id || nodes[c].prev != prev) std::abort();
      prev = c;
      pending.push_back(c);
    }
    if (prev != n.lastChild) std::abort();
    if (n.type == fw::html::NodeType::Text || n.type == fw::html::NodeType::Comment) {
      if (size_t(n.data) + n.size > tree.chars.size()) std::abort();
    }
    if (n.type == fw::html::NodeType::Element) {
      if (size_t(n.data) + n.size > tree.attributes.size()) std::abort();
      if (tree.Name(n.name).empty()) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // UTF-16 from the bytes: ASCII as is, other bytes spread over the BMP so
  // that non-ASCII text and the noncharacters meet the builder too.
  std::u16string text;
  text.reserve(size);
  for (size_t i = 0; i < size; ++i) text.push_back(data[i] < 0x80 ? char16_t(data[i]) : char16_t(data[i] * 0x101));

  fw::html::Tree tree = fw::html::ParseHtml(text);
  Check(tree);
  if (size < 4096) fw::html::DumpTree(tree);

  static const char16_t* const kContexts[] = {u"div", u"table", u"tr", u"td", u"select", u"template",
                                              u"title", u"script", u"plaintext", u"html", u"body", u"frameset"};
  if (size > 0) {
    fw::html::ParseOptions options;
    uint8_t pick = data[0] % 16;
    if (pick < 12) {
      options.contextName = kContexts[pick];
    } else {
      options.contextName = pick % 2 ? u"svg" : u"math";
      options.contextNamespace = pick % 2 ? fw::html::Namespace::Svg : fw::html::Namespace::MathMl;
    }
    fw::html::Tree fragment = fw::html::ParseHtml(text, options);
    Check(fragment);
  }
  return 0;
}
