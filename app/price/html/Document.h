// The element list of a decoded HTML page: what a browser's document.all
// collection gives a link collector, built without a browser. Portable: no
// platform header.
//
// Rules:
// - The page is parsed into a tree as the HTML standard's tree builder does
//   (Tree.h): implied elements exist (every document has HTML, HEAD and BODY;
//   a table row without a row group gets a TBODY), misnested and unclosed
//   markup is repaired (an <a> left open ends where the next <a> or list item
//   starts, misnested formatting is split by the adoption agency algorithm,
//   content misplaced in a table is moved before it), SVG and MathML are
//   foreign content, and a <template>'s content is not in the document.
//   Scripting counts as enabled (a <noscript> holds text, not elements).
// - The list is every element of the document in tree order.
// - tagName: for HTML elements the name in ASCII capitals ("A", "TD"); for
//   SVG and MathML elements the name as the tree has it ("svg", "a",
//   "foreignObject"): an SVG <a> is no "A".
// - href: for HTML A and AREA with an href attribute, the attribute (character
//   references decoded the attribute way, so "?a=1&copy=2" stays as written)
//   resolved against the document base URL; when the value cannot be parsed
//   as a URL, the value as written. Empty for other elements and for links
//   without href. The base is the page URL, or the href of the first <base>
//   element in tree order that has one, resolved against the page URL (an
//   unparsable one is ignored). As in a browser reading a.href once the
//   document is parsed, that base applies to every link, also those before it.
// - target: the target attribute as written, empty when absent.
// - innerText: the HTML standard's innerText of the element (empty for SVG
//   and MathML elements, which have none):
//     * an element that is not being rendered (display: none, or inside such
//       an element or inside a replaced element) gives its text content;
//     * otherwise the rendered-text collection steps run on its children:
//       text after CSS white-space processing (runs of collapsible white space
//       become one space, and collapsible spaces at the start and end of a
//       line go) and text-transform; "\n" for <br>; a tab after each table
//       cell but the last of its row, a line feed after each row but the last
//       of its table; a required line break before and after each block-level
//       box and table caption, two for <p>; nothing from elements whose
//       visibility is hidden or collapse (their visible descendants count);
//       runs of required line breaks become that many line feeds, those at
//       the start and end are dropped;
//     * styles: the default style sheet's display (block, list-item, table
//       parts, and display: none for head, script, style, template, title,
//       noscript, [hidden], input type=hidden, a closed dialog, a closed
//       details' content but its summary...) and white-space (pre for pre,
//       listing, plaintext, xmp; pre-wrap for textarea; nowrap for nobr),
//       and these declarations of the element's own style attribute:
//       display, visibility, text-transform, white-space. No other CSS (no
//       style sheets, no selectors). A segment break in collapsible white
//       space becomes a space; text-transform maps the case of ASCII and
//       Latin-1 letters only; img alt text does not count.
//     * U+0000 in text is dropped (as the tree builder does); U+FDD0-U+FDEF in
//       text become U+FFFD.
// - Bounds: the innerText of all elements together is capped at 8 characters
//   per input character plus 64K; elements whose content ends first take
//   their text first, so under pathological nesting the outer elements get
//   their innerText cut short. A normal page stays far below the cap; the cap
//   keeps deep nesting from going quadratic.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/price/html/Url.h"

namespace fw::html {

struct Element {
  std::u16string tagName;    // as a DOM's tagName: upper case for HTML elements ("A", "TD")
  std::u16string href;       // for A/AREA with an href: the URL resolved against the base; else empty
  std::u16string innerText;  // as a browser renders inline content (rules above)
  std::u16string target;     // the target attribute as written (empty if none)
};

// Builds the element list of a decoded document. pageUrl is the document's
// URL; a <base href> in the document (the first one with an href) changes the
// base for later resolution, as browsers do. `queryEncoder` encodes link queries
// in the document's character encoding (see ResolveUrl); none means UTF-8.
std::vector<Element> BuildElementList(std::u16string_view text, std::u16string_view pageUrl,
                                      const QueryEncoder& queryEncoder = {});

}  // namespace fw::html
