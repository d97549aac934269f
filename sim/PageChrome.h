#pragma once

#include <QDateTime>
#include <QString>

namespace th::sim {

// The parts every page of the simulated site shares, in the markup of the time: the head
// with its style sheet and scripts, the navigation bar with the header search form (always
// the page's first form), the footer. None of it carries a word the program's page reader
// looks for: those appear only where a page means them.

enum class SiteSection { Main, Motors };

// "<html><head>" up to "</head>": the title comes first after the character set, so that
// nothing before it can be mistaken for page content. `pageName` names the page kind in a
// comment and a script variable, as the site's pages did.
QString pageHead(const QString &title, const QString &pageName, SiteSection section);
// "<body>", the logo, the navigation and the header search form.
QString siteHeader(SiteSection section);
QString siteFooter();

// A seller's description of realistic length, drawn from the item number: paragraphs on the
// item, its condition, shipping, payment and returns.
QString generatedDescription(qint64 itemNumber, const QString &title, int approximateBytes);

QString escapeHtml(const QString &text);

// "Mar-04-26 09:00:00 PST": US Pacific time with its standard or daylight abbreviation.
QString pacificDateText(const QDateTime &instant);
// The countdown of the item page: "2 days, 3 hours +", "5 hours, 12 mins +", "4 mins 30 secs".
QString timeLeftText(qint64 secondsLeft);

// Converts the page's line ends to the carriage return + line feed pairs the site's servers sent.
QString withCrLf(const QString &page);

} // namespace th::sim
