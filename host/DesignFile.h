// Window designs: the controls of a window and their saved properties as a
// readable text file (grammar in docs/design-files.md). The reader and the
// writer round-trip: WriteDesign then ParseDesign gives an equal tree.
// Portable: no platform header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/PropertyStore.h"

namespace fw {

// One `Begin Kind Name` ... `End` block: the window itself at the root, its
// controls below, controls placed in a container nested in the container's block.
struct DesignNode {
  std::u16string kind;           // "Form", "skbutton", "XPContainer", ...
  std::u16string name;           // "ForMain", "labPrice", ...
  std::optional<int32_t> index;  // set for a member of a control array
  PropertyStore props;           // in file order, each with its line; Index is not among them
  std::vector<DesignNode> children;

  friend bool operator==(const DesignNode&, const DesignNode&) = default;
};

struct DesignParseResult {
  std::optional<DesignNode> root;  // set on success
  int errorLine = 0;               // 1-based line of the fault, on failure
  std::string error;               // UTF-8 message, on failure
};

// Nesting deeper than this many blocks (the root counts as 1) is refused.
constexpr int kMaxDesignDepth = 64;

// Reads a design. A leading byte order mark is skipped. Never throws for bad
// input: every fault is reported with its line.
DesignParseResult ParseDesign(std::u16string_view text);

// Convenience for a file held as UTF-8 bytes (with or without a byte order mark).
DesignParseResult ParseDesignUtf8(std::string_view bytes);

// Writes a design: properties in the store's order, then the child blocks;
// fonts as sub-blocks; 3 spaces of indentation per level; CRLF line ends.
std::u16string WriteDesign(const DesignNode& root);

// A value as a design file writes it (a font as "BeginProperty ... EndProperty"),
// for messages about it.
std::u16string DesignValueText(const PropertyValue& value);

// The first node below `root`, depth-first in file order, whose name matches
// `name` (ASCII case-insensitive) and whose index equals `index` (no index
// given: only a control that is not in an array matches). nullptr if none.
const DesignNode* FindChild(const DesignNode& root, std::u16string_view name,
                            std::optional<int32_t> index = {});

// Every node below `root` of that name, depth-first in file order: the members
// of a control array.
std::vector<const DesignNode*> FindChildren(const DesignNode& root, std::u16string_view name);

}  // namespace fw
