// The price rows of a city page of realistic size: the page the site serves,
// padded with the kind of markup a real price site carries around its tables
// (navigation, news lists, scripts, ads, other cities' links) to about 45 KB.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/price/HttpClient.h"
#include "app/price/PriceText.h"
#include "bench/Bench.h"

namespace {

std::u16string PriceTable(const char16_t* caption, std::vector<std::pair<std::u16string, std::u16string>> rows) {
  std::u16string t = u"<table width=\"300\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" bordercolor=\"#cccccc\">\n<caption>";
  t += caption;
  t += u"</caption>\n<tr bgcolor=\"#eef3f8\"><th>油品</th><th>今日价格</th><th>涨跌</th></tr>\n";
  for (const auto& [fuel, price] : rows) {
    t += u"<tr><td>广州" + fuel + u"</td><td align=\"center\">" + price + u"元/升</td><td>0.00</td></tr>\n";
  }
  return t + u"</table>\n";
}

std::u16string Noise(int block) {
  std::u16string n = u"<div class=\"news\"><h3>油价资讯</h3><ul>\n";
  for (int i = 0; i < 12; ++i) {
    const std::u16string k = std::u16string(1, char16_t(u'0' + (block + i) % 10));
    n += u"<li><a href=\"http://127.0.0.1:18731/news/2024061" + k + u".html\" title=\"发改委：成品油价格窗口下周开启\">"
         u"发改委：成品油价格窗口下周开启，预计上调幅度" + k + u"0元/吨</a><span class=\"date\">06-1" + k +
         u"</span></li>\n";
  }
  n += u"</ul></div>\n<script type=\"text/javascript\">var ad_" + std::u16string(1, char16_t(u'a' + block % 26)) +
       u" = {w: 300, h: 250, src: '/images/ad.gif', alt: '加油卡充值优惠'}; document.write('<div></div>');</script>\n"
       u"<table width=\"600\" border=\"0\"><tr><td><a href=\"http://127.0.0.1:18731/guangdong/shenzhen.html\">深圳油价</a> "
       u"<a href=\"http://127.0.0.1:18731/guangdong/zhuhai.html\">珠海油价</a> <a href=\"http://127.0.0.1:18731/guangdong/foshan.html\">"
       u"佛山油价</a></td><td>92#汽油参考价 7.7元/升</td></tr></table>\n";
  return n;
}

const std::u16string& CityPage() {
  static const std::u16string page = [] {
    std::u16string p =
        u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\">\n<html>\n<head>\n"
        u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n"
        u"<title>广州今日油价_广州汽油价格_广州柴油价格</title>\n"
        u"<style type=\"text/css\">body{font-size:12px;font-family:宋体}td{padding:2px 4px}</style>\n</head>\n<body>\n"
        u"<div class=\"nav\"><a href=\"http://127.0.0.1:18731/\">首页</a> | <a href=\"http://127.0.0.1:18731/youjiamap.asp\">油价地图</a></div>\n";
    int block = 0;
    while (p.size() < 14000) p += Noise(block++);
    p += u"<h1>广州今日油价</h1>\n";
    p += PriceTable(u"汽油", {{u"89#汽油", u"7.17"}, {u"92#汽油", u"7.74"}, {u"95#汽油", u"8.38"}});
    p += u"<p>柴油价格（含税）：</p>\n";
    p += PriceTable(u"柴油", {{u"0#柴油", u"7.41"}});
    while (p.size() < 35000) p += Noise(block++);  // UTF-16 units: about 45 KB of GBK
    return p + u"<p class=\"foot\">以上价格为广东发改委公布的最高零售价。</p>\n</body>\n</html>\n";
  }();
  return page;
}

std::vector<uint8_t> GbkBytes(const std::u16string& text) {
  const std::wstring wide = fw::ToWide(text);
  const int n = WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::vector<uint8_t> bytes(size_t(n > 0 ? n : 0));
  WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), reinterpret_cast<char*>(bytes.data()), n,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace

// LoadCity's steps 6 and 7: the tables cut out of the page, then four rows.
FW_BENCH(PriceRows_CityPage45KB, 200) {
  const std::u16string& page = CityPage();
  static const size_t gbkSize = GbkBytes(page).size();
  bench::SetBytesPerRun(gbkSize);
  const std::u16string table = fw::FindStrMulti(page, fw::kTableStart, fw::kTableEnd, u"");
  const auto rows = fw::ExtractPriceRows(table, u"广州");
  if (!rows[3].price || *rows[3].price != u"7.41") std::abort();
  bench::DoNotOptimize(&rows);
}

// GetBody's decoding of the same page from its GBK bytes.
FW_BENCH(GbkDecode_CityPage45KB, 200) {
  static const std::vector<uint8_t> bytes = GbkBytes(CityPage());
  bench::SetBytesPerRun(bytes.size());
  const std::wstring text = fw::BytesToBstr(bytes, L"GBK");
  if (text.size() != CityPage().size()) std::abort();
  bench::DoNotOptimize(&text);
}
