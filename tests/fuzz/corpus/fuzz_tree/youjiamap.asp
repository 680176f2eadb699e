<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gb2312">
<title>全国油价地图_今日油价查询</title>
<meta name="keywords" content="今日油价,汽油价格,柴油价格">
<style type="text/css">body{font-size:12px;font-family:宋体}td{padding:2px 4px}.date{color:#666}</style>
<script type="text/javascript">
// popup tip, built as a string: never part of the document
var tip = '<a href="http://__HOST__/hainan/" target="_blank">海南</a>';
function showTip(el) { el.innerHTML = tip; }
</script>
</head>
<body>
<div class="nav"><a href="http://__HOST__/">首页</a> | <a href="http://__HOST__/youjiamap.asp">油价地图</a> | <a href="/news/">油价新闻</a> | <a href="http://__HOST__/search.asp?kw=%D3%CD%BC%DB&amp;page=2">搜索</a> | <a href="http://weather.example.net/">天气预报</a></div>
<!-- 下线的省份: <a href="http://__HOST__/xizang/" target="_blank">西藏</a> -->
<h1>全国各省市今日油价</h1>
<p class="date">更新时间：2024年06月14日 00:00</p>
<table width="760" border="0" cellspacing="0" cellpadding="0">
<tr>
<td class="prov" width="80"><a href="http://__HOST__/guangdong/" target="_blank">广东</a></td>
<td class="city"><a href="http://__HOST__/guangdong/guangzhou.html" target="_blank"><b>广州</b></a> &nbsp;<a href="http://__HOST__/guangdong/shenzhen.html" target="_blank">深圳</a> &nbsp;<a href="http://__HOST__/guangdong/zhuhai.html" target="_blank">珠海</a> &nbsp;<a href="http://__HOST__/guangdong/foshan.html" target="_blank">佛山</a></td>
</tr>
<tr>
<td class="prov" width="80"><A HREF="http://__HOST__/zhejiang/" TARGET=_blank>浙江</A></td>
<td class="city"><a href="http://__HOST__/zhejiang/hangzhou.html" target="_blank">杭州</a> &nbsp;<a href="http://__HOST__/zhejiang/ningbo.html" target="_blank">宁波</a> &nbsp;<A HREF="http://__HOST__/zhejiang/wenzhou.html" TARGET="_blank">温州</A></td>
</tr>
<tr>
<td class="prov" width="80"><a target='_blank' href='http://__HOST__/jiangsu/'>江苏</a></td>
<td class="city"><a target='_blank' href='http://__HOST__/jiangsu/nanjing.html'>南京</a> &nbsp;<a href="http://__HOST__/jiangsu/suzhou.html" target="_blank">苏州</a> &nbsp;<a href="http://__HOST__/jiangsu/wuxi.html" target="_blank">无锡</a></td>
</tr>
<tr>
<td class="prov" width="80"><a href="http://__HOST__/sichuan/" target="_blank">四川</a></td>
<td class="city"><a href="http://__HOST__/sichuan/chengdu.html" target="_blank">成都</a> &nbsp;<a class="c" target="_blank" href="http://__HOST__/sichuan/mianyang.html">绵阳</a><br> &nbsp;<a href="http://__HOST__/sichuan/yibin.html" target="_blank">宜宾</a></td>
</tr>
<tr>
<td class="prov" width="80"><a href="http://__HOST__/shandong/" title="山东油价" target="_blank">山东</a></td>
<td class="city"><a href="http://__HOST__/shandong/jinan.html" target="_blank">济南</a> &nbsp;<a href="http://__HOST__/shandong/qingdao.html" target="_blank">青岛</a> &nbsp;<a href="http://__HOST__/shandong/yantai.html" target="_blank">烟台</a></td>
</tr>
<tr>
<td class="prov" width="80"><a href="http://__HOST__/hubei/" target="_blank">湖北</a></td>
<td class="city"><a href="http://__HOST__/hubei/wuhan.html" target="_blank">武汉</a> &nbsp;<a href="http://__HOST__/hubei/yichang.html" target="_blank">宜昌</a> &nbsp;<a href="http://__HOST__/hubei/xiangyang.html" target="_blank">襄阳</a></td>
</tr>
</table>
<div class="hot">热门城市：<a href="http://__HOST__/guangdong/shenzhen.html">深圳油价</a> <a href="http://__HOST__/guangdong/">广东油价</a></div>
<div class="links">友情链接：<a href="http://www.example.com/" target="_blank">能源资讯</a> <a href="http://auto.example.org/car.asp?id=12&amp;from=map" target="_blank">汽车频道</a> <a href="http://bbs.example.net/">车友论坛</a></div>
<p class="foot">油价数据仅供参考，以加油站实际价格为准。<br>
Copyright 2024 全国油价查询</p>
</body>
</html>
