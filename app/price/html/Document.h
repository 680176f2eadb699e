// The flat element list of a decoded HTML page: what a browser's
// document.all collection would give a link collector, built without a
// browser. Portable: no platform header.
//
// Rules (kept deliberately simple, since there is no tree builder):
// - Every start tag in the token stream becomes one element, in document
//   order. No implied elements are added (a page without <html>, <head>,
//   <body> or <tbody> gives no such element), but a tag for an <html>, <head>
//   or <body> that a browser already has (given or implied by earlier
//   content) gives none either, as it only adds attributes there. "</br>"
//   gives a BR element and "</p>" with no open paragraph an empty P, as in a
//   browser. Tags inside comments, inside script/style/xmp/iframe/noembed/
//   noframes/noscript raw text and inside title/textarea text do not exist,
//   as they are not tags to the tokenizer either (scripting counts as enabled).
// - tagName is the tag name in ASCII capitals ("A", "TD").
// - href: for A and AREA with an href attribute, the attribute (character
//   references decoded the attribute way, so "?a=1&copy=2" stays as written)
//   resolved against the document base URL; when the value cannot be parsed
//   as a URL, the value as written. Empty for other elements and for links
//   without href. The base is the page URL, or the href of the first <base>
//   element that has one, resolved against the page URL (an unparsable one is
//   ignored). As in a browser reading a.href once the document is parsed,
//   that base applies to every link, also those written before the <base>.
// - target: the target attribute as written, empty when absent.
// - innerText: the element's content as a browser renders it:
//     * text of nested elements counts; the text of script, style, title,
//       textarea, iframe, noembed, noframes and noscript does not (those
//       elements report their own text as written, like a DOM does for an
//       element that is not rendered); img alt text does not count;
//     * runs of space, tab, CR, LF and FF collapse to one space; U+00A0 is
//       kept; white space is not preserved in <pre> either;
//     * <br> gives "\n"; a block-level element (div, p, ul/ol/li, dl/dt/dd,
//       table, tbody/thead/tfoot, tr, caption, h1-h6, hr, blockquote, pre,
//       form, center, address, section, article, header, footer, nav, aside,
//       main, fieldset, legend, details, summary, figure, option...) starts
//       and ends a line, and a paragraph is set off by a blank line ("\n\n")
//       as a browser's innerText does; adjacent line breaks of blocks merge;
//     * table cells (td, th) of one row are separated by a tab;
//     * spaces at the start and end of each line are removed, and white
//       space (line breaks and tabs included) at both ends of the element;
//     * U+0000 in text is dropped (as a browser's tree builder does).
// - Content ends at the matching end tag. Unclosed elements end where the HTML
//   standard's implied-end rules would end them for the cases that matter to
//   links: an <a> start tag ends an open a; a block start tag ends an open p;
//   a new <li>, <dt>/<dd>, <td>/<th>, <tr>, <option> ends the previous one
//   of its kind; a table section start tag ends what is open inside the
//   table; an end tag ends the element it names and everything opened inside
//   it, but does not reach out of a table cell or table (the standard's
//   element scopes); an end tag that matches nothing is ignored. At the end
//   of input every open element ends. (Simplification: a <table> does not end
//   an open <p>, which only standards-mode pages would do.)
// - Bounds: at 512 open elements the deepest one ends before the next starts,
//   so deeper markup becomes siblings (browsers flatten such trees alike);
//   the innerText of all elements together is capped at 8 characters per
//   input character plus 64K, after which elements that end later (outer
//   ones) get their innerText cut short. A normal page stays far below the
//   cap; the cap keeps pathological nesting from going quadratic.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/price/html/Url.h"

namespace fw::html {

struct Element {
  std::u16string tagName;    // upper case, as a DOM's tagName for HTML elements ("A", "TD")
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
