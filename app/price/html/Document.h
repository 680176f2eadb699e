// The flat element list of a decoded HTML page: what a browser's
// document.all collection would give a link collector, built without a
// browser. Portable: no platform header.
//
// Rules (kept deliberately simple, since there is no tree builder):
// - Every start tag in the token stream becomes one element, in document
//   order. No implied elements are added (a page without <html>, <head>,
//   <body> or <tbody> gives no such element). Tags inside comments, inside
//   script/style/xmp/iframe/noembed/noframes raw text and inside title/textarea
//   text do not exist, as they are not tags to the tokenizer either.
// - tagName is the lower-cased tag name in ASCII capitals ("A", "TD").
// - href: for A and AREA with an href attribute, the attribute resolved
//   against the document base URL; when the value cannot be parsed as a URL,
//   the value as written. Empty for other elements and for links without href.
//   The base is the page URL, or the href of the first <base> element that has
//   one (resolved against the page URL). As in a browser reading a.href once
//   the document is parsed, that base applies to every link, also those
//   written before the <base> element.
// - target: the target attribute as written, empty when absent.
// - innerText: the text of the element's content, as a browser renders inline
//   content:
//     * text of nested elements counts; text in script/style/template, title,
//       textarea, noscript... counts only if it is ordinary tokenized text
//       (raw text of script/style/xmp/iframe/noembed/noframes never counts);
//     * runs of space, tab, CR, LF and FF collapse to one space; NBSP is kept;
//     * <br> gives "\n"; a block-level element (div, p, li, tr, table, h1..h6,
//       ul, ol, dl, dt, dd, blockquote, pre, form, section, article, header,
//       footer, nav, aside, address, fieldset, center, hr...) starts and ends
//       on its own line; table cells (td, th) are separated by a tab, as a
//       browser's innerText does; no more than one line break is produced
//       between blocks;
//     * white space at the start and end of each line is removed, and so is
//       the element's leading and trailing white space;
//     * <pre>/<textarea>/<listing> white space is not preserved (collapsed as
//       everywhere else).
// - Content ends at the matching end tag. Unclosed elements end where the HTML
//   standard's implied-end rules would end them for the cases that matter to
//   links: an <a> start tag closes an open a; </p>, </td>, </th>, </tr>,
//   </table>, </li>, </div> and the like close the inline elements opened
//   inside them; a new <td>/<th>/<tr>/<li>/<option>/<p>/<dt>/<dd> closes the
//   previous sibling of its kind; void elements (br, img, input, meta, link,
//   hr, area, base, col, embed, param, source, track, wbr) have no content.
//   An end tag that matches no open element is ignored. At the end of input
//   every open element ends.
// - Cost is linear in the input in the usual case; the open-element stack is
//   bounded (deeper nesting is treated as closed at the limit), so deeply
//   nested or unclosed markup cannot make the build quadratic or exhaust memory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw::html {

struct Element {
  std::u16string tagName;    // upper case, as a DOM's tagName for HTML elements ("A", "TD")
  std::u16string href;       // for A/AREA with an href: the URL resolved against the base; else empty
  std::u16string innerText;  // as a browser renders inline content (rules above)
  std::u16string target;     // the target attribute as written (empty if none)
};

// Builds the element list of a decoded document. pageUrl is the document's
// URL; a <base href> in the document (the first one with an href) changes the
// base for later resolution, as browsers do.
std::vector<Element> BuildElementList(std::u16string_view text, std::u16string_view pageUrl);

}  // namespace fw::html
