// Document loader throughput on a ~200 KB index page: the sample site's index
// page repeated, as fetched (GBK bytes), decoded the way the Win32 side does
// (natively: by iconv). Natively the same page is also parsed by another HTML5
// parser, when the build found one, for scale.
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif
#ifdef FUELWISE_BENCH_GUMBO
#include <gumbo.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/price/html/Charset.h"
#include "app/price/html/Document.h"
#include "app/price/html/Tokenizer.h"
#include "app/price/html/Tree.h"
#include "app/price/html/Url.h"
#include "bench/Bench.h"

namespace {

// The page bytes, repeated to about 200 KB. Without the page the figures would
// time empty work, so the bench stops instead.
const std::string& PageBytes() {
  static const std::string bytes = [] {
    std::string path = FUELWISE_SAMPLE_INDEX_PAGE;
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    std::string one = ss.str();
    if (one.empty()) {
      std::fprintf(stderr, "bench_html: cannot read %s\n", path.c_str());
      std::exit(2);
    }
    for (size_t at; (at = one.find("__HOST__")) != std::string::npos;) one.replace(at, 8, "127.0.0.1:18731");
    std::string page;
    while (page.size() < 200 * 1024) page += one;
    return page;
  }();
  return bytes;
}

#ifdef _WIN32
std::u16string Decode(const std::string& bytes) {
  std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  unsigned cp = fw::html::CodePageForEncoding(fw::html::SniffEncoding(span, "text/html", "gbk"));
  int n = MultiByteToWideChar(cp, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  if (n == 0 && cp == 54936) {  // Wine 8 has no GB18030 table: GBK (936) decodes this page alike
    cp = 936;
    n = MultiByteToWideChar(cp, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  }
  std::u16string text(size_t(n), u'\0');
  MultiByteToWideChar(cp, 0, bytes.data(), int(bytes.size()), reinterpret_cast<wchar_t*>(text.data()), n);
  return text;
}
#else
std::string Convert(const std::string& bytes, const char* to) {
  iconv_t cd = iconv_open(to, "GBK");
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* o = out.data();
  size_t outLeft = out.size();
  iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

std::u16string Decode(const std::string& bytes) {
  const std::string utf16 = Convert(bytes, "UTF-16LE");
  return std::u16string(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size() / 2);
}
#endif

const std::u16string& PageText() {
  static const std::u16string text = Decode(PageBytes());
  return text;
}

}  // namespace

// The index loader's whole parse: tokens, the tree, the element list with
// every element's innerText, every link resolved.
FW_BENCH(IndexLoader_Parse_200KB, 25) {
  bench::SetBytesPerRun(PageBytes().size());
  std::vector<fw::html::Element> elements =
      fw::html::BuildElementList(PageText(), u"http://127.0.0.1:18731/youjiamap.asp");
  size_t links = 0;
  for (const fw::html::Element& e : elements) links += e.href.empty() ? 0 : 1;
  bench::DoNotOptimize(&links);
}

#ifdef FUELWISE_BENCH_GUMBO
// The same page through the other parser (it reads UTF-8), with its links
// collected from the tree it builds.
void CollectLinks(const GumboNode* node, size_t& links) {
  if (node->type != GUMBO_NODE_ELEMENT) return;
  if (node->v.element.tag == GUMBO_TAG_A && gumbo_get_attribute(&node->v.element.attributes, "href")) ++links;
  const GumboVector& children = node->v.element.children;
  for (unsigned i = 0; i < children.length; ++i) CollectLinks(static_cast<const GumboNode*>(children.data[i]), links);
}

FW_BENCH(OtherParser_Parse_200KB, 25) {
  static const std::string utf8 = Convert(PageBytes(), "UTF-8");
  bench::SetBytesPerRun(PageBytes().size());
  GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(), utf8.size());
  size_t links = 0;
  CollectLinks(output->root, links);
  gumbo_destroy_output(&kGumboDefaultOptions, output);
  bench::DoNotOptimize(&links);
}

// The two side by side, run after run: on a busy machine each pair shares
// the same conditions, so the median of the pairs' ratios is steadier than the
// ratio of two medians taken apart. Each run (31 pairs) prints
// "@ IndexLoader_OtherParser_PairedRatio_x1000 <median ratio * 1000> <pairs>";
// its time is that of the 31 pairs.
FW_BENCH(IndexLoader_OtherParser_31Pairs_200KB, 1) {
  static const std::string utf8 = Convert(PageBytes(), "UTF-8");
  std::vector<double> ratios;
  for (int i = 0; i < 31; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<fw::html::Element> elements =
        fw::html::BuildElementList(PageText(), u"http://127.0.0.1:18731/youjiamap.asp");
    const auto t1 = std::chrono::steady_clock::now();
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(), utf8.size());
    size_t links = 0;
    CollectLinks(output->root, links);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    const auto t2 = std::chrono::steady_clock::now();
    bench::DoNotOptimize(elements.data());
    bench::DoNotOptimize(&links);
    ratios.push_back(std::chrono::duration<double>(t2 - t1).count() / std::chrono::duration<double>(t1 - t0).count());
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf("@ IndexLoader_OtherParser_PairedRatio_x1000 %d %zu\n", int(ratios[ratios.size() / 2] * 1000),
              ratios.size());
}
#endif

FW_BENCH(Html_SniffAndDecode_200KB, 25) {
  bench::SetBytesPerRun(PageBytes().size());
  std::u16string text = Decode(PageBytes());
  bench::DoNotOptimize(text.data());
}

FW_BENCH(Html_Tokenize_200KB, 25) {
  bench::SetBytesPerRun(PageBytes().size());
  fw::html::Tokenizer tokenizer(PageText());
  fw::html::Token token;
  size_t count = 0;
  while (tokenizer.Next(token)) ++count;
  bench::DoNotOptimize(&count);
}

// The tree alone (tokens and tree construction). The first run also prints
// the tree's size in memory beside the page's ("@ name bytes page_bytes").
FW_BENCH(Html_BuildTree_200KB, 25) {
  bench::SetBytesPerRun(PageBytes().size());
  fw::html::Tree tree = fw::html::ParseHtml(PageText());
  static bool printed = false;
  if (!printed) {
    printed = true;
    std::printf("@ IndexTree_MemoryBytes %zu %zu\n", tree.MemoryBytes(), PageBytes().size());
  }
  bench::DoNotOptimize(tree.nodes.data());
}

// Markup that is quadratic to a naive tree builder: deeply nested formatting
// elements (each one reconstructed, scoped, counted by the Noah's Ark clause)
// and links never closed (each one runs the adoption agency on the last).
// Each at two sizes: linear time shows as the same time per element.
const std::u16string& NestedFormatting(size_t n) {
  static std::u16string pages[2];
  std::u16string& page = pages[n == 10000 ? 1 : 0];
  if (page.empty()) {
    static const char16_t* const kTags[] = {u"<b>", u"<i>x", u"<u>", u"<em>y", u"<strong>", u"<font color=red>"};
    for (size_t i = 0; i < n; ++i) page += kTags[i % 6];
    page += u"<p>tail";
  }
  return page;
}
const std::u16string& UnclosedLinks(size_t n) {
  static std::u16string pages[2];
  std::u16string& page = pages[n == 100000 ? 1 : 0];
  if (page.empty())
    for (size_t i = 0; i < n; ++i) page += u"<a href=c" + std::u16string(1, char16_t(u'a' + i % 26)) + u".html>t";
  return page;
}
FW_BENCH(Pathological_NestedFormatting_5000, 9) {
  auto elements = fw::html::BuildElementList(NestedFormatting(5000), u"http://h/");
  bench::DoNotOptimize(elements.data());
}
FW_BENCH(Pathological_NestedFormatting_10000, 9) {
  auto elements = fw::html::BuildElementList(NestedFormatting(10000), u"http://h/");
  bench::DoNotOptimize(elements.data());
}
FW_BENCH(Pathological_UnclosedLinks_50000, 9) {
  auto elements = fw::html::BuildElementList(UnclosedLinks(50000), u"http://h/");
  bench::DoNotOptimize(elements.data());
}
FW_BENCH(Pathological_UnclosedLinks_100000, 9) {
  auto elements = fw::html::BuildElementList(UnclosedLinks(100000), u"http://h/");
  bench::DoNotOptimize(elements.data());
}

FW_BENCH(Html_BuildElementList_200KB, 25) {
  bench::SetBytesPerRun(PageBytes().size());
  std::vector<fw::html::Element> elements =
      fw::html::BuildElementList(PageText(), u"http://127.0.0.1:18731/youjiamap.asp");
  bench::DoNotOptimize(elements.data());
}

// The link resolution part of the build: every href of the page against its URL.
FW_BENCH(Html_ResolveLinks_200KB, 25) {
  static const std::vector<std::u16string> hrefs = [] {
    std::vector<std::u16string> out;
    fw::html::Tokenizer tokenizer(PageText());
    fw::html::Token token;
    while (tokenizer.Next(token))
      if (token.type == fw::html::TokenType::StartTag && token.name == u"a")
        if (const std::u16string* href = token.FindAttribute(u"href")) out.push_back(*href);
    return out;
  }();
  bench::SetBytesPerRun(PageBytes().size());
  fw::html::UrlResolver resolver(u"http://127.0.0.1:18731/youjiamap.asp");
  size_t total = 0;
  for (const std::u16string& href : hrefs) total += resolver.Resolve(href)->size();
  bench::DoNotOptimize(&total);
}
