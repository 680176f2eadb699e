// innerText by the HTML standard's rendered-text algorithm, one table row per
// rule: white-space processing, <br>, blocks and paragraphs, table cells and
// rows, elements not rendered, the style attribute's display, visibility,
// text-transform and white-space. Each expectation is worked out by hand
// from the algorithm and the default style sheet.
#include <gtest/gtest.h>

#include <string>

#include "app/price/html/Document.h"
#include "tests/app/price/html/Json.h"

namespace fw::html {
namespace {

struct Case {
  const char16_t* html;
  const char16_t* tag;  // the first element with this tagName is asked
  const char16_t* expected;
};

const Case kCases[] = {
    // White space: runs collapse to one space, also across inline elements;
    // spaces at the start and end of a line go.
    {u"<a> a  \n\t b </a>", u"A", u"a b"},
    {u"<a>x <b> y</b></a>", u"A", u"x y"},
    {u"<a>x <b> </b> y</a>", u"A", u"x y"},
    // A space inside the link that is not at a line's edge is kept.
    {u"<p>x<a> y</a></p>", u"A", u" y"},
    {u"<p><a>y </a>z</p>", u"A", u"y "},
    {u"<p><a>y </a></p>", u"A", u"y"},
    // <br>: a line feed of its own, not trimmed; the spaces around it are line edges.
    {u"<a>a <br> b</a>", u"A", u"a\nb"},
    {u"<a>a<br><br>b</a>", u"A", u"a\n\nb"},
    // Block-level boxes: one required line break before and after; <p> two;
    // runs take their largest count; those at both ends go.
    {u"<a>a<div>b</div>c</a>", u"A", u"a\nb\nc"},
    {u"<a>a<p>b</p>c</a>", u"A", u"a\n\nb\n\nc"},
    {u"<div><p>a</p><div>b</div></div>", u"DIV", u"a\n\nb"},
    {u"<div><p>a</p></div>", u"DIV", u"a"},
    {u"<div> <div> a </div> </div>", u"DIV", u"a"},
    {u"<ul><li>a<li>b</ul>", u"UL", u"a\nb"},
    {u"<div>a<h2>t</h2>b<hr>c</div>", u"DIV", u"a\nt\nb\nc"},
    // Tables: a tab after each cell but the row's last, a line feed after each
    // row but the table's last; the caption is a block.
    {u"<table><tr><td>a<td>b</tr><tr><td>c</table>", u"TABLE", u"a\tb\nc"},
    {u"<table><caption>cap</caption><tr><td>a<td> b </table>", u"TABLE", u"cap\na\tb"},
    {u"<table><thead><tr><th>h</thead><tbody><tr><td>a</tbody></table>", u"TABLE", u"h\na"},
    {u"<table><tr><td>a<td style='visibility:hidden'>b<td>c</table>", u"TABLE", u"a\tc"},
    {u"<table><tr><td>a<td style='display:none'>b<td>c</table>", u"TABLE", u"a\tc"},
    // Elements not rendered: no part of their ancestors' text; their own
    // innerText is their text content, white space as written.
    {u"<a>a<span style='display:none'>b</span>c</a>", u"A", u"ac"},
    {u"<a style='display:none'>x <b>y</b>  z</a>", u"A", u"x y  z"},
    {u"<div style='display:none'><a>x  <i>y</i></a></div>", u"A", u"x  y"},
    {u"<a>x<script>s</script><style>t</style>y</a>", u"A", u"xy"},
    {u"<a>a<noscript>n</noscript>b</a>", u"A", u"ab"},
    {u"<a>a<noscript>n</noscript>b</a>", u"NOSCRIPT", u"n"},
    {u"<a>a<template>t</template>b</a>", u"A", u"ab"},
    {u"<title> T  t </title>", u"TITLE", u" T  t "},
    {u"<a>a<span hidden>b</span>c</a>", u"A", u"ac"},
    {u"<div hidden><a>t  u</a></div>", u"A", u"t  u"},
    {u"<a>a<input type=hidden value=v>b</a>", u"A", u"ab"},
    {u"<a>a<dialog>d</dialog>b</a>", u"A", u"ab"},
    {u"<a>a<dialog open>d</dialog>b</a>", u"A", u"a\nd\nb"},
    {u"<a>a<details><summary>s</summary>d<p>e</p></details>b</a>", u"A", u"a\ns\nb"},
    {u"<a>a<details open><summary>s</summary>d</details>b</a>", u"A", u"a\ns\nd\nb"},
    // Replaced elements give no text; an image is content between spaces.
    {u"<a>a<img alt=x>b</a>", u"A", u"ab"},
    {u"<a>a <img alt=x> b</a>", u"A", u"a  b"},
    {u"<a>a<textarea>t</textarea>b</a>", u"A", u"ab"},
    // Foreign content: an SVG drawing gives no text to the link around it.
    {u"<a>x<svg><text>y</text></svg>z</a>", u"A", u"xz"},
    // The style attribute's display.
    {u"<a>a<span style='display:block'>b</span>c</a>", u"A", u"a\nb\nc"},
    {u"<a>a<div style='display:inline'>b</div>c</a>", u"A", u"abc"},
    {u"<a>a<div style='display:inline-block'>b</div>c</a>", u"A", u"abc"},
    {u"<a>a<div style='display:contents'>b</div>c</a>", u"A", u"abc"},
    {u"<a>a<span hidden style='display:inline'>b</span>c</a>", u"A", u"abc"},
    {u"<a>a<span style='display:none; display:block'>b</span>c</a>", u"A", u"a\nb\nc"},
    {u"<a>a<span style='display:block !important; display:none'>b</span>c</a>", u"A", u"a\nb\nc"},
    {u"<a>a<span style='display:block; display:bogus'>b</span>c</a>", u"A", u"a\nb\nc"},
    {u"<a>a<span style='/*x*/DISPLAY/**/ : NONE'>b</span>c</a>", u"A", u"ac"},
    {u"<a>a<li style='display:list-item'>b</li>c</a>", u"A", u"a\nb\nc"},
    // visibility: hidden text gives nothing, nor do the element's breaks; a
    // visible descendant counts.
    {u"<a>a<span style='visibility:hidden'>b<i style='visibility:visible'>c</i></span>d</a>", u"A", u"acd"},
    {u"<a>a<div style='visibility:hidden'>b</div>c</a>", u"A", u"ac"},
    {u"<a>a<span style='visibility:collapse'>b</span>c</a>", u"A", u"ac"},
    {u"<a style='visibility:hidden'>a<b>b</b></a>", u"A", u""},
    // text-transform, inherited.
    {u"<a style='text-transform:uppercase'>guang zhou</a>", u"A", u"GUANG ZHOU"},
    {u"<a style='text-transform: lowercase'>ABC \u00C9</a>", u"A", u"abc \u00E9"},
    {u"<a style='text-transform:capitalize'>gu<b>ang</b> zhou-city</a>", u"A", u"Guang Zhou-City"},
    {u"<div style='text-transform:uppercase'><a>x<b style='text-transform:none'>y</b></a></div>", u"A", u"Xy"},
    // white-space: pre keeps spaces and line feeds, pre-line only line feeds;
    // <pre> is pre by default, and the line feed right after its tag is no text.
    {u"<a style='white-space:pre'>a  b\n c</a>", u"A", u"a  b\n c"},
    {u"<pre>\na  b\n c</pre>", u"PRE", u"a  b\n c"},
    {u"<a style='white-space:pre-line'>a   b \n  c</a>", u"A", u"a b\nc"},
    {u"<a style='white-space:nowrap'>a   b</a>", u"A", u"a b"},
    {u"<div style='white-space:pre'><a>a  b</a></div>", u"A", u"a  b"},
    {u"<pre><span style='white-space:normal'>a   b</span></pre>", u"SPAN", u"a b"},
};

TEST(InnerText, RenderedTextRules) {
  for (const Case& c : kCases) {
    const auto elements = BuildElementList(c.html, u"http://h.cn/");
    const Element* found = nullptr;
    for (const Element& e : elements) {
      if (e.tagName == c.tag) {
        found = &e;
        break;
      }
    }
    ASSERT_NE(found, nullptr) << testjson::ToUtf8(c.html);
    EXPECT_EQ(found->innerText, std::u16string(c.expected)) << testjson::ToUtf8(c.html);
  }
}

}  // namespace
}  // namespace fw::html
