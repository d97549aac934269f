#include "sim/PageChrome.h"

#include <QLocale>
#include <QTimeZone>

namespace th::sim {

namespace {

const QLatin1String kStyleSheet(R"CSS(<style type="text/css"><!--
body { margin: 0px; background-color: #FFFFFF; }
a:link { color: #0000CC; }
a:visited { color: #660099; }
a:active { color: #FF0000; }
.navbar { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 11px; }
.navbar a { text-decoration: none; color: #FFFFFF; font-weight: bold; }
.subnav { font-family: Verdana, Arial, sans-serif; font-size: 10px; color: #000000; }
.subnav a { color: #000000; text-decoration: none; }
.pagetitle { font-family: Arial, Helvetica, sans-serif; font-size: 18px; font-weight: bold; }
.sectiontitle { font-family: Arial, Helvetica, sans-serif; font-size: 14px; font-weight: bold; color: #000000; }
.help { font-family: Arial, Helvetica, sans-serif; font-size: 11px; color: #666666; }
.footer { font-family: Verdana, Arial, sans-serif; font-size: 10px; color: #333333; }
.footer a { color: #333333; }
.legal { font-family: Verdana, Arial, sans-serif; font-size: 9px; color: #666666; }
.itemhead { background-color: #CCCCFF; border-top: 2px solid #9999CC; border-bottom: 2px solid #9999CC; }
.boxhead { background-color: #99CCFF; font-family: Arial, Helvetica, sans-serif; font-size: 14px; font-weight: bold; }
.boxbody { background-color: #EEEEF8; border: 1px solid #9999CC; }
.price { font-family: Arial, Helvetica, sans-serif; font-size: 16px; font-weight: bold; color: #000000; }
.emphasized { color: #009900; font-weight: bold; }
.warning { color: #CC0000; font-weight: bold; }
.desc { font-family: Arial, Helvetica, sans-serif; font-size: 13px; line-height: 17px; }
.desc h3 { font-size: 15px; color: #333366; margin-bottom: 4px; }
.desc li { margin-bottom: 3px; }
.pipe { color: #9999FF; }
.button { font-family: Verdana, Arial, sans-serif; font-size: 11px; }
.textbox { font-family: Verdana, Arial, sans-serif; font-size: 11px; color: #000000; }
.listrow0 { background-color: #FFFFFF; }
.listrow1 { background-color: #EFEFEF; }
.hrthin { height: 1px; background-color: #9999CC; border: none; }
.hrthick { height: 2px; background-color: #9999CC; border: none; }
-->
</style>
)CSS");

const QLatin1String kScripts(R"JS(<script language="JavaScript"><!--
var ebPics = "/aw/pics/";
var ebWindowCount = 0;
function ebOpenWindow(url, name, width, height)
{
	var features = "toolbar=no,scrollbars=yes,resizable=yes,width=" + width + ",height=" + height;
	ebWindowCount++;
	var win = window.open(url, name + ebWindowCount, features);
	if (win && win.focus)
		win.focus();
	return false;
}
function ebGoTo(url)
{
	if (url && url.length > 0)
		document.location.href = url;
}
function ebSwapImage(name, source)
{
	if (document.images && document.images[name])
		document.images[name].src = ebPics + source;
}
function ebPreload()
{
	if (!document.images)
		return;
	var names = new Array("navbar/home_on.gif", "navbar/browse_on.gif", "navbar/sell_on.gif",
		"navbar/services_on.gif", "navbar/search_on.gif", "navbar/help_on.gif", "navbar/community_on.gif");
	for (var i = 0; i < names.length; i++) {
		var img = new Image();
		img.src = ebPics + names[i];
	}
}
function ebCheckSearch(form)
{
	var text = form.query.value;
	while (text.length > 0 && text.charAt(0) == " ")
		text = text.substring(1);
	if (text.length == 0) {
		alert("Please type one or more words to look for.");
		form.query.focus();
		return false;
	}
	return true;
}
function ebCookieValue(name)
{
	var all = document.cookie.split("; ");
	for (var i = 0; i < all.length; i++) {
		var pair = all[i].split("=");
		if (pair[0] == name)
			return unescape(pair[1]);
	}
	return "";
}
var ebSignedInName = ebCookieValue("ebaysignin");
//--></script>
)JS");

const QLatin1String kHeaderTop(
    R"HTML(<body onload="ebPreload()" bgcolor="#FFFFFF" topmargin="0" leftmargin="0" marginwidth="0" marginheight="0">
<table border="0" cellpadding="0" cellspacing="0" width="100%">
<tr>
<td width="150" rowspan="2"><a href="/"><img src="/aw/pics/logos/logoEbay_150x70.gif" width="150" height="70" border="0" alt="eBay logo"></a></td>
<td align="right" valign="top" class="subnav" nowrap>
<a href="/">home</a> <span class="pipe">|</span>
<a href="/aw-cgi/eBayISAPI.dll?MyEbay">my eBay</a> <span class="pipe">|</span>
<a href="/sitemap.html">site map</a> <span class="pipe">|</span>
<a href="/aw-cgi/eBayISAPI.dll?SignIn">sign in</a>
</td>
</tr>
<tr>
<td align="right" valign="bottom">
<form name="headerSearch" action="/search/search.dll" method="get" onsubmit="return ebCheckSearch(this)" style="margin:0px">
<input type="hidden" name="MfcISAPICommand" value="GetResult">
<input type="hidden" name="ht" value="1">
<input type="hidden" name="SortProperty" value="MetaEndSort">
<input type="text" name="query" size="20" maxlength="300" class="textbox">
<input type="submit" value="Search" class="button">
<font size="1"><a href="/search/search.dll?MfcISAPICommand=GetResult&amp;ht=1&amp;srchdesc=y">refine search</a></font>
</form>
</td>
</tr>
</table>
)HTML");

const QLatin1String kNavBar(
    R"HTML(<table border="0" cellpadding="0" cellspacing="0" width="100%" bgcolor="#3333CC">
<tr class="navbar">
<td width="1%">&nbsp;</td>
<td nowrap><a href="/" onmouseover="ebSwapImage('nav1', 'navbar/home_on.gif')">home</a></td>
<td nowrap><a href="/category/index.html" onmouseover="ebSwapImage('nav2', 'navbar/browse_on.gif')">browse</a></td>
<td nowrap><a href="/aw-cgi/eBayISAPI.dll?ListItemForSale" onmouseover="ebSwapImage('nav3', 'navbar/sell_on.gif')">sell</a></td>
<td nowrap><a href="/services/index.html" onmouseover="ebSwapImage('nav4', 'navbar/services_on.gif')">services</a></td>
<td nowrap><a href="/search/search.dll?MfcISAPICommand=GetResult&amp;ht=1" onmouseover="ebSwapImage('nav5', 'navbar/search_on.gif')">search</a></td>
<td nowrap><a href="/help/index.html" onmouseover="ebSwapImage('nav6', 'navbar/help_on.gif')">help</a></td>
<td nowrap><a href="/community/index.html" onmouseover="ebSwapImage('nav7', 'navbar/community_on.gif')">community</a></td>
<td width="60%">&nbsp;</td>
</tr>
</table>
<table border="0" cellpadding="2" cellspacing="0" width="100%" bgcolor="#CCCCFF">
<tr class="subnav">
<td nowrap>&nbsp;<a href="/category/index.html">categories</a> <span class="pipe">|</span>
<a href="/category/featured.html">featured items</a> <span class="pipe">|</span>
<a href="/gallery/index.html">gallery</a> <span class="pipe">|</span>
<a href="/stores/index.html">stores</a> <span class="pipe">|</span>
<a href="/charity/index.html">giving works</a></td>
<td align="right" nowrap><a href="/help/safety.html">safe trading</a> <span class="pipe">|</span>
<a href="/help/newcomers.html">new to eBay?</a>&nbsp;</td>
</tr>
</table>
)HTML");

const QLatin1String kMotorsBar(
    R"HTML(<table border="0" cellpadding="3" cellspacing="0" width="100%" bgcolor="#333366">
<tr><td><font face="Arial" size="3" color="#FFFFFF"><b>eBay Motors</b></font>
<font face="Arial" size="1" color="#FFFFFF">&nbsp;cars, parts &amp; accessories, motorcycles, powersports</font></td>
<td align="right"><font face="Arial" size="1"><a href="/ebaymotors/index.html"><font color="#FFFFFF">Motors home</font></a></font>&nbsp;</td></tr>
</table>
)HTML");

const QLatin1String kFooter(R"HTML(<br>
<hr class="hrthick">
<table border="0" cellpadding="0" cellspacing="0" width="100%">
<tr><td align="center" class="footer">
<a href="/">Home</a> <span class="pipe">|</span>
<a href="/aw-cgi/eBayISAPI.dll?MyEbay">My eBay</a> <span class="pipe">|</span>
<a href="/sitemap.html">Site Map</a> <span class="pipe">|</span>
<a href="/category/index.html">Browse</a> <span class="pipe">|</span>
<a href="/aw-cgi/eBayISAPI.dll?ListItemForSale">Sell</a> <span class="pipe">|</span>
<a href="/services/index.html">Services</a> <span class="pipe">|</span>
<a href="/search/search.dll?MfcISAPICommand=GetResult&amp;ht=1">Search</a> <span class="pipe">|</span>
<a href="/help/index.html">Help</a> <span class="pipe">|</span>
<a href="/community/index.html">Community</a>
<br><br>
<a href="/announcements/index.html">Announcements</a> <span class="pipe">|</span>
<a href="/community/register.html">Register</a> <span class="pipe">|</span>
<a href="/help/safety.html">SafeHarbor (Rules &amp; Safety)</a> <span class="pipe">|</span>
<a href="/help/policies/privacy-policy.html">Policies</a> <span class="pipe">|</span>
<a href="/help/feedback.html">Feedback Forum</a> <span class="pipe">|</span>
<a href="/about/index.html">About eBay</a>
</td></tr>
<tr><td align="center" class="legal"><br>
Copyright &copy; 1995-2003 eBay Inc. All Rights Reserved.<br>
Designated trademarks and brands are the property of their respective owners.<br>
Use of this Web site constitutes acceptance of the eBay <a href="/help/policies/user-agreement.html">User Agreement</a>
and <a href="/help/policies/privacy-policy.html">Privacy Policy</a>.
</td></tr>
</table>
<img src="/aw/pics/s.gif" width="1" height="1" alt="">
</body>
</html>
)HTML");

} // namespace

QString pageHead(const QString &title, const QString &pageName, SiteSection section)
{
    QString head;
    head += QLatin1String("<html>\n<head>\n");
    head += QLatin1String("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n");
    head += QLatin1String("<title>") + escapeHtml(title) + QLatin1String("</title>\n");
    head += QLatin1String("<!-- pageName: ") + pageName + QLatin1String(" -->\n");
    head += QLatin1String("<meta http-equiv=\"Pragma\" content=\"no-cache\">\n");
    head += QLatin1String("<meta name=\"keywords\" content=\"")
        + (section == SiteSection::Motors ? QLatin1String("eBay Motors, cars, trucks, parts, ")
                                          : QLatin1String(""))
        + QLatin1String("auction, online auction, collectibles, antiques, buy, sell\">\n");
    head += QLatin1String("<link rel=\"shortcut icon\" href=\"/favicon.ico\">\n");
    head += kStyleSheet;
    head += kScripts;
    head += QLatin1String("<script language=\"JavaScript\"><!--\nvar pageName = \"") + pageName
        + QLatin1String("\";\n//--></script>\n");
    head += QLatin1String("</head>\n");
    return head;
}

QString siteHeader(SiteSection section)
{
    QString header = kHeaderTop;
    header += kNavBar;
    if (section == SiteSection::Motors)
        header += kMotorsBar;
    return header;
}

QString siteFooter()
{
    return kFooter;
}

QString escapeHtml(const QString &text)
{
    return text.toHtmlEscaped();
}

QString pacificDateText(const QDateTime &instant)
{
    const QTimeZone pacific(QByteArrayLiteral("America/Los_Angeles"));
    const QDateTime local = instant.toTimeZone(pacific);
    const QString zone = pacific.isDaylightTime(instant) ? QStringLiteral("PDT") : QStringLiteral("PST");
    return QLocale::c().toString(local, QStringLiteral("MMM-dd-yy HH:mm:ss")) + QLatin1Char(' ') + zone;
}

QString timeLeftText(qint64 secondsLeft)
{
    if (secondsLeft <= 0)
        return QStringLiteral("0 secs");
    const qint64 days = secondsLeft / 86400;
    const qint64 hours = secondsLeft % 86400 / 3600;
    const qint64 minutes = secondsLeft % 3600 / 60;
    const qint64 seconds = secondsLeft % 60;
    // Plain QString arithmetic: a string builder holding a lambda's temporary would dangle.
    const auto unit = [](qint64 count, const char *singular, const char *plural) {
        return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? singular : plural));
    };
    if (days > 0)
        return QStringLiteral("%1, %2 +").arg(unit(days, "day", "days"), unit(hours, "hour", "hours"));
    if (hours > 0)
        return QStringLiteral("%1, %2 +").arg(unit(hours, "hour", "hours"), unit(minutes, "min", "mins"));
    if (minutes > 0)
        return QStringLiteral("%1 %2").arg(unit(minutes, "min", "mins"), unit(seconds, "sec", "secs"));
    return unit(seconds, "sec", "secs");
}

QString withCrLf(const QString &page)
{
    QString result = page;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return result;
}

} // namespace th::sim
