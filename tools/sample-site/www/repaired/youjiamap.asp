<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gb2312">
<title>全国油价地图_今日油价查询</title>
<meta name="keywords" content="今日油价,汽油价格,柴油价格">
<style type="text/css">body{font-size:12px;font-family:宋体}td{padding:2px 4px}.date{color:#666}</style>
</head>
<body>
<div class="nav"><a href="http://__HOST__/">首页</a> | <a href="http://__HOST__/repaired/">油价地图</a></div>
<h1>全国各省市今日油价</h1>
<ul class="prov">
<li><a href="http://__HOST__/repaired/guangdong/" target="_blank">广东
<li><a href="http://__HOST__/repaired/guangdong/guangzhou.html" target="_blank">广州
<li><a href="http://__HOST__/repaired/guangdong/shenzhen.html" target="_blank">深圳</a>
</ul>
<p class="row"><b><a href="http://__HOST__/repaired/zhejiang/" target="_blank">浙江</b></a>：
<a href="http://__HOST__/repaired/zhejiang/hangzhou.html" target="_blank"><b>杭州</a>市</b>
<a href="http://__HOST__/repaired/zhejiang/ningbo.html" target="_blank"><i>宁波</i></a>
</p>
<div class="row"><a href="http://__HOST__/repaired/jiangsu/" target="_blank">江苏<span style="display:none">省</span></a>：
<a href="http://__HOST__/repaired/jiangsu/nanjing.html" target="_blank">南京<span hidden>市</span></a>
<a href="http://__HOST__/repaired/jiangsu/suzhou.html" target="_blank">苏州<span style="visibility:hidden">市</span></a>
<a href="http://__HOST__/repaired/jiangsu/wuxi.html" target="_blank" style="text-transform:uppercase">wuxi 无锡</a>
</div>
<table width="760">
<tr><td class="prov"><a href="http://__HOST__/repaired/sichuan/" target="_blank">四川</a>
<td class="city"><a href="http://__HOST__/repaired/sichuan/chengdu.html" target="_blank">成都</a> <a href="http://__HOST__/repaired/sichuan/mianyang.html" target="_blank">绵阳</a>
</tr>
<a href="http://__HOST__/repaired/sichuan/yibin.html" target="_blank">宜宾</a>
</table>
<div class="row"><a href="http://__HOST__/repaired/shandong/" target="_blank"><div>山东</div></a>：
<a href="http://__HOST__/repaired/shandong/jinan.html" target="_blank"><p>济南</p></a>
<a href="http://__HOST__/repaired/shandong/qingdao.html" target="_blank"><div>青岛</div><div>黄岛</div></a>
</div>
<svg width="16" height="16"><a href="http://__HOST__/repaired/xizang/" target="_blank"><text x="0" y="12">西藏</text></a></svg>
<p class="row"><a href="http://__HOST__/repaired/hubei/" target="_blank" style="text-transform:capitalize">hubei 湖北</a>：
<a href="http://__HOST__/repaired/hubei/wuhan.html" target="_blank">武汉</a>
</p>
<p class="foot">油价数据仅供参考，以加油站实际价格为准。</p>
</body>
</html>
