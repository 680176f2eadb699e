#!/usr/bin/env python3
# -*- coding: utf-8 -*-
"""Writes the offline copy of the fuel-price site under www/.

Everything the pages hold comes from the tables below, so the tests can
import this module and know what the program ought to read.  The output is
deterministic: running the generator twice gives identical bytes, and the
committed www/ must always equal a fresh run.

Usage: python3 generate.py [--out DIR]
"""

import argparse
import os
import random
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(HERE, "www")

# The server swaps this for the host:port the client used.
HOST = "__HOST__"
ROOT = "http://" + HOST + "/"

DATE_LINE = "更新时间：2024年06月14日 00:00"

# (slug, name, [(slug, name, [(fuel, price) x4], two_tables)])
# Row order is what the program shows top to bottom: 89#, 92#, 95#, diesel.
PROVINCES = [
    ("guangdong", "广东", [
        ("guangzhou", "广州", [("89#汽油", "7.17"), ("92#汽油", "7.74"),
                               ("95#汽油", "8.38"), ("0#柴油", "7.41")], True),
        ("shenzhen", "深圳", [("89#汽油", "7.19"), ("92#汽油", "7.76"),
                              ("95#汽油", "8.40"), ("0#柴油", "7.43")], False),
        ("zhuhai", "珠海", [("89#汽油", "7.21"), ("92#汽油", "7.79"),
                            ("95#汽油", "8.43"), ("0#柴油", "7.46")], False),
        ("foshan", "佛山", [("89#汽油", "7.16"), ("92#汽油", "7.72"),
                            ("95#汽油", "8.36"), ("0#柴油", "7.39")], False),
    ]),
    ("zhejiang", "浙江", [
        ("hangzhou", "杭州", [("89#汽油", "7.05"), ("92#汽油", "7.62"),
                              ("95#汽油", "8.11"), ("0#柴油", "7.29")], True),
        ("ningbo", "宁波", [("89#汽油", "7.07"), ("92#汽油", "7.64"),
                            ("95#汽油", "8.13"), ("0#柴油", "7.31")], False),
        ("wenzhou", "温州", [("89#汽油", "7.10"), ("92#汽油", "7.66"),
                             ("95#汽油", "8.15"), ("0#柴油", "7.34")], False),
    ]),
    ("jiangsu", "江苏", [
        ("nanjing", "南京", [("89#汽油", "7.02"), ("92#汽油", "7.59"),
                             ("95#汽油", "8.08"), ("0#柴油", "7.25")], False),
        ("suzhou", "苏州", [("89#汽油", "7.04"), ("92#汽油", "7.61"),
                            ("95#汽油", "8.10"), ("0#柴油", "7.27")], False),
        ("wuxi", "无锡", [("89#汽油", "7.03"), ("92#汽油", "7.58"),
                          ("95#汽油", "8.07"), ("0#柴油", "7.24")], False),
    ]),
    ("sichuan", "四川", [
        ("chengdu", "成都", [("89#汽油", "7.22"), ("92#汽油", "7.81"),
                             ("95#汽油", "8.35"), ("0#车用柴油", "7.54")], False),
        ("mianyang", "绵阳", [("89#汽油", "7.25"), ("92#汽油", "7.84"),
                              ("95#汽油", "8.38"), ("0#柴油", "7.57")], False),
        ("yibin", "宜宾", [("89#汽油", "7.28"), ("92#汽油", "7.87"),
                           ("95#汽油", "8.41"), ("0#柴油", "7.60")], False),
    ]),
    ("shandong", "山东", [
        ("jinan", "济南", [("89#汽油", "6.98"), ("92#汽油", "7.56"),
                           ("95#汽油", "8.07"), ("0#柴油", "7.18")], False),
        ("qingdao", "青岛", [("89#汽油", "7.01"), ("92#汽油", "7.58"),
                             ("95#汽油", "8.09"), ("0#柴油", "7.21")], False),
        ("yantai", "烟台", [("89#汽油", "6.99"), ("92#汽油", "7.55"),
                            ("95#汽油", "8.05"), ("0#柴油", "7.17")], False),
    ]),
    ("hubei", "湖北", [
        ("wuhan", "武汉", [("89#汽油", "7.09"), ("92#汽油", "7.64"),
                           ("95#汽油", "8.20"), ("0#柴油", "7.33")], False),
        ("yichang", "宜昌", [("89#汽油", "7.12"), ("92#汽油", "7.67"),
                             ("95#汽油", "8.23"), ("0#柴油", "7.36")], False),
        # Hubei sells ethanol blend; its names are the seven-character case.
        ("xiangyang", "襄阳", [("89#乙醇汽油", "7.14"), ("92#乙醇汽油", "7.69"),
                               ("95#乙醇汽油", "8.25"), ("0#柴油", "7.38")], True),
        # Pages the program must not read more out of than they hold: Shiyan lists
        # two rows only, and Jingzhou's table names the city by its old town,
        # Shashi (see TABLE_CITY), so the link text is not found in it.
        ("shiyan", "十堰", [("92#乙醇汽油", "7.71"), ("0#柴油", "7.40")], False),
        ("jingzhou", "荆州", [("89#乙醇汽油", "7.13"), ("92#乙醇汽油", "7.68"),
                              ("95#乙醇汽油", "8.24"), ("0#柴油", "7.37")], False),
    ]),
]

# Cities whose price table names them otherwise than the index's link text.
TABLE_CITY = {"jingzhou": "沙市"}

# Day-on-day change shown beside each price; only decoration.
CHANGES = ["+0.05", "-0.03", "0.00", "+0.12", "-0.08", "+0.02"]

# Bodies served by the fault kinds that still answer with a page.  Their
# prices differ from the real Guangzhou page so a test can tell them apart.
FAULT_CITY = "广州"
FAULT_ROWS = {
    "404": [("89#汽油", "7.04"), ("92#汽油", "7.14"), ("95#汽油", "7.24"), ("0#柴油", "6.94")],
    "500": [("89#汽油", "7.05"), ("92#汽油", "7.15"), ("95#汽油", "7.25"), ("0#柴油", "6.95")],
    "badgbk": [("89#汽油", "7.77"), ("92#汽油", "7.88"), ("95#汽油", "8.09"), ("0#柴油", "7.66")],
}

CHART_PATH = "cn/live_charts/t24_crude_cn188x166.gif"
CHART_W, CHART_H = 188, 166


def province_url(slug):
    return ROOT + slug + "/"


def city_url(pslug, cslug):
    return ROOT + pslug + "/" + cslug + ".html"


def cities():
    """Every city as (province slug, province name, slug, name, rows, two_tables)."""
    for pslug, pname, clist in PROVINCES:
        for cslug, cname, rows, two in clist:
            yield pslug, pname, cslug, cname, rows, two


# --------------------------------------------------------------------------
# Pages

META = '<meta http-equiv="Content-Type" content="text/html; charset=gb2312">'


def head(title, extra=""):
    return ('<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" '
            '"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">\n'
            '<html>\n<head>\n' + META + '\n'
            '<title>' + title + '</title>\n'
            '<meta name="keywords" content="今日油价,汽油价格,柴油价格">\n'
            '<style type="text/css">body{font-size:12px;font-family:宋体}'
            'td{padding:2px 4px}.date{color:#666}</style>\n' + extra +
            '</head>\n')


def nav():
    # Site links without target: the program must ignore them.
    return ('<div class="nav"><a href="' + ROOT + '">首页</a> | '
            '<a href="' + ROOT + 'youjiamap.asp">油价地图</a> | '
            '<a href="/news/">油价新闻</a> | '
            '<a href="' + ROOT + 'search.asp?kw=%D3%CD%BC%DB&amp;page=2">搜索</a> | '
            '<a href="http://weather.example.net/">天气预报</a></div>\n')


def index_page():
    """The province index read by the program's browser control.

    Markup varies on purpose (quotes, case, attribute order, nested tags) and
    carries the noise a real page has: links that must not count sit in a
    comment, a script, without target or on other hosts.
    """
    script = ('<script type="text/javascript">\n'
              '// popup tip, built as a string: never part of the document\n'
              'var tip = \'<a href="' + ROOT + 'hainan/" target="_blank">海南</a>\';\n'
              'function showTip(el) { el.innerHTML = tip; }\n'
              '</script>\n')
    out = [head("全国油价地图_今日油价查询", script), '<body>\n', nav()]
    out.append('<!-- 下线的省份: <a href="' + ROOT + 'xizang/" target="_blank">西藏</a> -->\n')
    out.append('<h1>全国各省市今日油价</h1>\n<p class="date">' + DATE_LINE + '</p>\n')
    out.append('<table width="760" border="0" cellspacing="0" cellpadding="0">\n')
    for n, (pslug, pname, clist) in enumerate(PROVINCES):
        purl = province_url(pslug)
        out.append('<tr>\n<td class="prov" width="80">')
        if n == 1:
            out.append('<A HREF="' + purl + '" TARGET=_blank>' + pname + '</A>')
        elif n == 2:
            out.append("<a target='_blank' href='" + purl + "'>" + pname + "</a>")
        elif n == 4:
            out.append('<a href="' + purl + '" title="' + pname + '油价" target="_blank">'
                       + pname + '</a>')
        else:
            out.append('<a href="' + purl + '" target="_blank">' + pname + '</a>')
        out.append('</td>\n<td class="city">')
        for m, (cslug, cname, _rows, _two) in enumerate(clist):
            curl = city_url(pslug, cslug)
            if m:
                out.append(' &nbsp;')
            if n == 0 and m == 0:
                out.append('<a href="' + curl + '" target="_blank"><b>' + cname + '</b></a>')
            elif n == 1 and m == 2:
                out.append('<A HREF="' + curl + '" TARGET="_blank">' + cname + '</A>')
            elif n == 2 and m == 0:
                out.append("<a target='_blank' href='" + curl + "'>" + cname + "</a>")
            elif n == 3 and m == 1:
                out.append('<a class="c" target="_blank" href="' + curl + '">' + cname + '</a>')
            else:
                out.append('<a href="' + curl + '" target="_blank">' + cname + '</a>')
            if n == 3 and m == 1:
                out.append('<br>')
        out.append('</td>\n</tr>\n')
    out.append('</table>\n')
    # More noise below the map.
    out.append('<div class="hot">热门城市：'
               '<a href="' + city_url("guangdong", "shenzhen") + '">深圳油价</a> '
               '<a href="' + ROOT + 'guangdong/">广东油价</a></div>\n')
    out.append('<div class="links">友情链接：'
               '<a href="http://www.example.com/" target="_blank">能源资讯</a> '
               '<a href="http://auto.example.org/car.asp?id=12&amp;from=map" target="_blank">汽车频道</a> '
               '<a href="http://bbs.example.net/">车友论坛</a></div>\n')
    out.append('<p class="foot">油价数据仅供参考，以加油站实际价格为准。<br>\n'
               'Copyright 2024 全国油价查询</p>\n</body>\n</html>\n')
    return "".join(out)


# The index again, written the way real pages get written: tags left open,
# misnested, in the wrong place. A browser repairs such markup while it builds
# the document (the HTML standard's tree construction); the program must list
# what the browser's document holds. Served as repaired/youjiamap.asp, and by
# `server.py --index repaired/youjiamap.asp` as the index itself; its links
# lie under http://__HOST__/repaired/.
REPAIRED_ROOT = ROOT + "repaired/"


def repaired_index_page():
    r = REPAIRED_ROOT
    out = [head("全国油价地图_今日油价查询"), '<body>\n']
    out.append('<div class="nav"><a href="' + ROOT + '">首页</a> | '
               '<a href="' + r + '">油价地图</a></div>\n')
    out.append('<h1>全国各省市今日油价</h1>\n')
    # Links left open in list items: each ends where the next item starts.
    out.append('<ul class="prov">\n'
               '<li><a href="' + r + 'guangdong/" target="_blank">广东\n'
               '<li><a href="' + r + 'guangdong/guangzhou.html" target="_blank">广州\n'
               '<li><a href="' + r + 'guangdong/shenzhen.html" target="_blank">深圳</a>\n'
               '</ul>\n')
    # Misnested bold and links: the adoption agency algorithm sorts them out.
    out.append('<p class="row"><b><a href="' + r + 'zhejiang/" target="_blank">浙江</b></a>：\n'
               '<a href="' + r + 'zhejiang/hangzhou.html" target="_blank"><b>杭州</a>市</b>\n'
               '<a href="' + r + 'zhejiang/ningbo.html" target="_blank"><i>宁波</i></a>\n'
               '</p>\n')
    # Parts a browser does not show, and text-transform.
    out.append('<div class="row"><a href="' + r + 'jiangsu/" target="_blank">江苏'
               '<span style="display:none">省</span></a>：\n'
               '<a href="' + r + 'jiangsu/nanjing.html" target="_blank">南京<span hidden>市</span></a>\n'
               '<a href="' + r + 'jiangsu/suzhou.html" target="_blank">苏州'
               '<span style="visibility:hidden">市</span></a>\n'
               '<a href="' + r + 'jiangsu/wuxi.html" target="_blank" style="text-transform:uppercase">'
               'wuxi 无锡</a>\n'
               '</div>\n')
    # Links in cells left open, and one between rows: a browser moves it out
    # of the table, before it.
    out.append('<table width="760">\n'
               '<tr><td class="prov"><a href="' + r + 'sichuan/" target="_blank">四川</a>\n'
               '<td class="city"><a href="' + r + 'sichuan/chengdu.html" target="_blank">成都</a> '
               '<a href="' + r + 'sichuan/mianyang.html" target="_blank">绵阳</a>\n'
               '</tr>\n'
               '<a href="' + r + 'sichuan/yibin.html" target="_blank">宜宾</a>\n'
               '</table>\n')
    # Blocks inside links.
    out.append('<div class="row"><a href="' + r + 'shandong/" target="_blank"><div>山东</div></a>：\n'
               '<a href="' + r + 'shandong/jinan.html" target="_blank"><p>济南</p></a>\n'
               '<a href="' + r + 'shandong/qingdao.html" target="_blank"><div>青岛</div><div>黄岛</div></a>\n'
               '</div>\n')
    # A link in an SVG drawing is an SVG element, not an HTML link.
    out.append('<svg width="16" height="16"><a href="' + r + 'xizang/" target="_blank">'
               '<text x="0" y="12">西藏</text></a></svg>\n')
    out.append('<p class="row"><a href="' + r + 'hubei/" target="_blank" style="text-transform:capitalize">'
               'hubei 湖北</a>：\n'
               '<a href="' + r + 'hubei/wuhan.html" target="_blank">武汉</a>\n'
               '</p>\n'
               '<p class="foot">油价数据仅供参考，以加油站实际价格为准。</p>\n</body>\n</html>\n')
    return "".join(out)


# What a browser's document gives for the repaired index, worked out by hand
# from the HTML standard: the site links with target _blank in tree order
# (URL under REPAIRED_ROOT, innerText). The link written after the table's
# rows comes before the table; the SVG link is none.
REPAIRED_LINKS = [
    ("guangdong/", "广东"), ("guangdong/guangzhou.html", "广州"), ("guangdong/shenzhen.html", "深圳"),
    ("zhejiang/", "浙江"), ("zhejiang/hangzhou.html", "杭州"), ("zhejiang/ningbo.html", "宁波"),
    ("jiangsu/", "江苏"), ("jiangsu/nanjing.html", "南京"), ("jiangsu/suzhou.html", "苏州"),
    ("jiangsu/wuxi.html", "WUXI 无锡"),
    ("sichuan/yibin.html", "宜宾"), ("sichuan/", "四川"), ("sichuan/chengdu.html", "成都"),
    ("sichuan/mianyang.html", "绵阳"),
    ("shandong/", "山东"), ("shandong/jinan.html", "济南"), ("shandong/qingdao.html", "青岛\n黄岛"),
    ("hubei/", "Hubei 湖北"), ("hubei/wuhan.html", "武汉"),
]


def price_table(city, rows, caption=None):
    out = ['<table width="300" border="1" cellspacing="0" cellpadding="3" bordercolor="#cccccc">\n']
    if caption:
        out.append('<caption>' + caption + '</caption>\n')
    out.append('<tr bgcolor="#eef3f8"><th>油品</th><th>今日价格</th><th>涨跌</th></tr>\n')
    for i, (fuel, price) in enumerate(rows):
        change = CHANGES[(len(city) + i) % len(CHANGES)]
        out.append('<tr><td>' + city + fuel + '</td><td align="center">' + price
                   + '元/升</td><td>' + change + '</td></tr>\n')
    out.append('</table>\n')
    return "".join(out)


def news_table(city):
    return ('<table width="600" border="0" cellspacing="0">\n'
            '<tr><td colspan="2"><b>油价资讯</b></td></tr>\n'
            '<tr><td>发改委：成品油价格窗口下周开启</td><td>06-13</td></tr>\n'
            '<tr><td>' + city + '部分加油站推出周末优惠</td><td>06-12</td></tr>\n'
            '<tr><td>国际原油期货小幅收涨</td><td>06-11</td></tr>\n'
            '</table>\n')


def city_page(pslug, pname, cname, rows, two, tname=None):
    tname = tname or cname
    out = [head(cname + "今日油价_" + cname + "汽油价格_" + cname + "柴油价格"), '<body>\n', nav()]
    out.append('<div class="crumb">当前位置：<a href="' + ROOT + '">首页</a> &gt; '
               '<a href="' + province_url(pslug) + '">' + pname + '油价</a> &gt; '
               + cname + '</div>\n')
    out.append('<h1>' + cname + '今日油价</h1>\n<p class="date">' + DATE_LINE + '</p>\n')
    if two:
        out.append(price_table(tname, rows[:3], "汽油"))
        out.append('<p>柴油价格（含税）：</p>\n<div class="ad"><img src="/images/ad.gif" '
                   'width="300" height="20" alt=""></div>\n')
        out.append(price_table(tname, rows[3:], "柴油"))
    else:
        out.append(price_table(tname, rows))
    out.append('<br>\n' + news_table(cname))
    out.append('<p class="foot">以上价格为' + pname + '发改委公布的最高零售价。</p>\n'
               '</body>\n</html>\n')
    return "".join(out)


def province_page(pslug, pname, clist):
    out = [head(pname + "今日油价"), '<body>\n', nav()]
    out.append('<h1>' + pname + '各城市油价</h1>\n<p class="date">' + DATE_LINE + '</p>\n<ul>\n')
    for cslug, cname, _rows, _two in clist:
        out.append('<li><a href="' + city_url(pslug, cslug) + '" target="_blank">'
                   + cname + '油价</a></li>\n')
    out.append('</ul>\n</body>\n</html>\n')
    return "".join(out)


def fault_page(kind):
    """Body for the 404/500 faults: still a price page, so decoding and search run."""
    title = {"404": "404 页面不存在", "500": "500 服务器错误"}[kind]
    return (head(title) + '<body>\n<h1>' + title + '</h1>\n'
            + price_table(FAULT_CITY, FAULT_ROWS[kind]) + '</body>\n</html>\n')


def not_found_page():
    return head("404 页面不存在") + '<body>\n<h1>404 页面不存在</h1>\n<p>您访问的页面不存在。</p>\n</body>\n</html>\n'


def badgbk_page():
    """A page whose bytes are not valid GBK, though most of it is.

    The bad bytes lie outside the price table, so a decoder that replaces
    them (and one that swallows the following byte) still finds the prices.
    """
    parts = [
        head("编码错误").encode("gbk"),
        b"<body>\n<p>\x81 2024 \x810</p>\n",          # lead byte before ASCII
        b"<p>\xff" + "元/升".encode("gbk") + b"</p>\n",  # 0xFF is never valid
        price_table(FAULT_CITY, FAULT_ROWS["badgbk"]).encode("gbk"),
        b"<p>\x81\x7f\x80</p>\n</body>\n</html>\n",
        "元".encode("gbk")[:1],                        # truncated at the very end
    ]
    return b"".join(parts)


# --------------------------------------------------------------------------
# The chart picture: drawn here, encoded with a small GIF89a writer.

PALETTE = [
    (0xFF, 0xFF, 0xFF),  # 0 background
    (0xF3, 0xF6, 0xFA),  # 1 plot area
    (0xD5, 0xDC, 0xE6),  # 2 grid
    (0x50, 0x5A, 0x64),  # 3 axes
    (0x33, 0x33, 0x33),  # 4 labels
    (0xC8, 0x10, 0x2E),  # 5 price line
    (0xF8, 0xDD, 0xE1),  # 6 fill under the line
    (0x1F, 0x5F, 0xBF),  # 7 last price
    (0x2E, 0x8B, 0x3E),  # 8 high
    (0xE0, 0x8A, 0x00),  # 9 low
    (0x9A, 0xA5, 0xB1),  # 10 frame
    (0x1F, 0x3C, 0x66),  # 11 title bar
    (0xFF, 0xFF, 0xFF),  # 12 title text
    (0x00, 0x00, 0x00),
    (0x00, 0x00, 0x00),
    (0x00, 0x00, 0x00),
]

# 3x5 glyphs, rows top to bottom, bit 2 = left column.
FONT = {
    "0": [7, 5, 5, 5, 7], "1": [2, 6, 2, 2, 7], "2": [7, 1, 7, 4, 7],
    "3": [7, 1, 7, 1, 7], "4": [5, 5, 7, 1, 1], "5": [7, 4, 7, 1, 7],
    "6": [7, 4, 7, 5, 7], "7": [7, 1, 1, 2, 2], "8": [7, 5, 7, 5, 7],
    "9": [7, 5, 7, 1, 7], ".": [0, 0, 0, 0, 2], ":": [0, 2, 0, 2, 0],
    "-": [0, 0, 7, 0, 0], "/": [1, 1, 2, 4, 4], " ": [0, 0, 0, 0, 0], "$": [3, 6, 2, 3, 6],
    "C": [7, 4, 4, 4, 7], "R": [6, 5, 6, 5, 5], "U": [5, 5, 5, 5, 7],
    "D": [6, 5, 5, 5, 6], "E": [7, 4, 6, 4, 7], "O": [7, 5, 5, 5, 7],
    "I": [7, 2, 2, 2, 7], "L": [4, 4, 4, 4, 7], "H": [5, 5, 7, 5, 5],
    "W": [5, 5, 5, 7, 5], "T": [7, 2, 2, 2, 2], "S": [7, 4, 7, 1, 7],
    "B": [6, 5, 6, 5, 6], "N": [6, 5, 5, 5, 5],
}


class Canvas:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = bytearray([fill]) * (w * h)

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def get(self, x, y):
        return self.px[y * self.w + x]

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def text(self, x, y, s, c):
        for ch in s:
            for row, bits in enumerate(FONT[ch]):
                for col in range(3):
                    if bits & (4 >> col):
                        self.set(x + col, y + row, c)
            x += 4


def draw_chart():
    rnd = random.Random(20240614)
    c = Canvas(CHART_W, CHART_H, 0)
    c.rect(0, 0, CHART_W - 1, 13, 11)
    c.text(4, 4, "WTI CRUDE OIL 24H", 12)
    c.text(CHART_W - 4 - 4 * 7, 4, "USD/BBL", 12)

    left, top, right, bottom = 26, 20, 180, 146
    c.rect(left, top, right, bottom, 1)

    lo_p, hi_p = 77.0, 80.0
    def py(price):
        return round(bottom - (price - lo_p) / (hi_p - lo_p) * (bottom - top))
    def px(hour):
        return round(left + hour / 24 * (right - left))

    for k in range(7):                      # price grid every 0.5
        p = lo_p + k * 0.5
        y = py(p)
        for x in range(left, right + 1, 2):
            c.set(x, y, 2)
        if k % 2 == 0:
            c.text(3, y - 2, "%.1f" % p, 4)
    for hour in range(0, 25, 6):            # hour grid every 6 hours
        x = px(hour)
        for y in range(top, bottom + 1, 2):
            c.set(x, y, 2)
        label = "%d:00" % hour if hour < 24 else "24"
        c.text(x - 2 * len(label) + 1, bottom + 5, label, 4)

    prices, p = [], 78.35
    for _ in range(25):
        prices.append(round(p, 2))
        p += rnd.uniform(-0.32, 0.36)
        p = min(max(p, 77.4), 79.7)
    points = [(px(h), py(v)) for h, v in enumerate(prices)]

    # Fill under the line first, then the line two pixels thick over it.
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        for x in range(x0, x1 + 1):
            y = round(y0 + (y1 - y0) * (x - x0) / max(1, x1 - x0))
            for yy in range(y + 1, bottom):
                c.set(x, yy, 6)
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        c.line(x0, y0, x1, y1, 5)
        c.line(x0, y0 - 1, x1, y1 - 1, 5)

    c.line(left, top, left, bottom, 3)
    c.line(left, bottom, right, bottom, 3)
    for hour in range(0, 25, 6):
        c.line(px(hour), bottom, px(hour), bottom + 2, 3)

    hi_i = max(range(len(prices)), key=lambda i: prices[i])
    lo_i = min(range(len(prices)), key=lambda i: prices[i])
    for i, colour in ((hi_i, 8), (lo_i, 9), (len(prices) - 1, 7)):
        x, y = points[i]
        c.rect(x - 2, y - 2, x + 2, y + 2, colour)
    c.text(left + 4, top + 4, "H %.2f" % prices[hi_i], 8)
    c.text(left + 4, top + 11, "L %.2f" % prices[lo_i], 9)
    c.text(right - 28, top + 4, "%.2f" % prices[-1], 7)

    c.rect(0, CHART_H - 8, CHART_W - 1, CHART_H - 1, 1)
    c.text(4, CHART_H - 7, "2024-06-14", 4)
    for x in range(CHART_W):               # one-pixel frame
        c.set(x, 0, 10)
        c.set(x, CHART_H - 1, 10)
    for y in range(CHART_H):
        c.set(0, y, 10)
        c.set(CHART_W - 1, y, 10)
    return c


def lzw_compress(indices, min_code_size):
    """GIF-flavoured LZW: codes packed LSB first, width grows to 12 bits,
    a clear code when the table is full."""
    clear, eoi = 1 << min_code_size, (1 << min_code_size) + 1
    out, acc, nbits = bytearray(), 0, 0
    code_size = min_code_size + 1

    def emit(code):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += code_size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    table, next_code = {}, eoi + 1
    emit(clear)
    prefix = indices[0]
    for k in indices[1:]:
        key = (prefix, k)
        hit = table.get(key)
        if hit is not None:
            prefix = hit
            continue
        emit(prefix)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            # The decoder learns each entry one code later, hence ">".
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear)
            table, next_code, code_size = {}, eoi + 1, min_code_size + 1
        prefix = k
    emit(prefix)
    emit(eoi)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def encode_gif(canvas, palette):
    bits = max(1, (len(palette) - 1).bit_length())
    size = 1 << bits
    pal = list(palette) + [(0, 0, 0)] * (size - len(palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", canvas.w, canvas.h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for r, g, b in pal:
        data += bytes((r, g, b))
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, canvas.w, canvas.h, 0)
    min_code = max(2, bits)
    data.append(min_code)
    stream = lzw_compress(canvas.px, min_code)
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00\x3B"
    return bytes(data)


# --------------------------------------------------------------------------

def write(out_dir, rel, data):
    path = os.path.join(out_dir, *rel.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if isinstance(data, str):
        data = data.encode("gbk")       # strict: a character GBK lacks is a bug here
    with open(path, "wb") as f:
        f.write(data)


def generate(out_dir):
    files = {"youjiamap.asp": index_page(), "repaired/youjiamap.asp": repaired_index_page()}
    for pslug, pname, clist in PROVINCES:
        files[pslug + "/index.html"] = province_page(pslug, pname, clist)
    for pslug, pname, cslug, cname, rows, two in cities():
        files[pslug + "/" + cslug + ".html"] = city_page(pslug, pname, cname, rows, two,
                                                             TABLE_CITY.get(cslug))
    files["index.html"] = (head("全国油价查询") + "<body>\n" + nav()
                           + '<p><a href="' + ROOT + 'youjiamap.asp">进入油价地图</a></p>\n'
                             '</body>\n</html>\n')
    files[CHART_PATH] = encode_gif(draw_chart(), PALETTE)
    for rel, data in sorted(files.items()):
        write(out_dir, rel, data)
    return sorted(files)


def main(argv=None):
    ap = argparse.ArgumentParser(description="Write the sample fuel-price site.")
    ap.add_argument("--out", default=DEFAULT_OUT, help="output folder (default: www/ beside this file)")
    args = ap.parse_args(argv)
    names = generate(args.out)
    print("wrote %d files under %s" % (len(names), args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
