// Document loader throughput on a ~200 KB index page: the sample site's index
// page repeated, as fetched (GBK bytes), decoded the way the Win32 side does.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/price/html/Charset.h"
#include "app/price/html/Document.h"
#include "app/price/html/Tokenizer.h"
#include "app/price/html/Url.h"
#include "bench/Bench.h"

namespace {

// The page bytes, repeated to about 200 KB. The sample page is found next to
// this source file, whose path the compiler recorded.
const std::string& PageBytes() {
  static const std::string bytes = [] {
    std::string path = __FILE__;
    path = path.substr(0, path.find_last_of("/\\"));
    path = path.substr(0, path.find_last_of("/\\")) + "/tools/sample-site/www/youjiamap.asp";
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    std::string one = ss.str();
    if (one.empty()) {
      std::fprintf(stderr, "bench_html: cannot read %s\n", path.c_str());
      return std::string();
    }
    for (size_t at; (at = one.find("__HOST__")) != std::string::npos;) one.replace(at, 8, "127.0.0.1:18731");
    std::string page;
    while (page.size() < 200 * 1024) page += one;
    return page;
  }();
  return bytes;
}

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

const std::u16string& PageText() {
  static const std::u16string text = Decode(PageBytes());
  return text;
}

}  // namespace

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
