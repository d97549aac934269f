#pragma once

#include "sim/AuctionHouse.h"
#include "sim/PageChrome.h"

#include <QList>
#include <QString>

namespace th::sim {

// What a bid or sign-in form carried to the sign-in page, to be posted again with it.
struct PendingBid {
    qint64 item = 0;
    QString amountText;
    QString quantityText;
    bool buyItNow = false;
};

// The sign-in page of the bid flow. Its second form holds "user" and "pass" and posts the
// bid on; with a member already signed in it holds neither and bids as that member.
QString signInPage(
    const ItemSnapshot &item, const PendingBid &bid, SiteSection section, const QString &signedInUser);
// The answer to an accepted bid or purchase.
// The site's own sign-in page, reached without a bid: the account fields and nothing to confirm.
QString plainSignInPage(SiteSection section);
QString bidAcceptedPage(const ItemSnapshot &item, const QString &bidder, SiteSection section);
// A page explaining why nothing happened.
QString problemPage(const QString &heading, const QString &message, qint64 item);

QString bidHistoryPage(const ItemSnapshot &item);

enum class ResultKind { Search, Completed, Seller };
QString resultsPage(ResultKind kind, const QString &words, const QList<ItemSnapshot> &items);

QString homePage(const QList<ItemSnapshot> &items);

// The small answer of the ordinary item address for a motors item: it points there.
QString motorsPointerPage(qint64 number);
QString motorsItemPath(qint64 number);

// Stand-ins for the pages of the other services the program opens.
enum class PortalKind { WebSearch, WebMail, Payment };
QString portalPage(PortalKind kind, const QString &detail);

// The outside services one by one, as the program's host settings name them; each listener
// of its own answers with a page that says which one it stands for.
enum class PortalService { Google, Hotmail, YahooMail, Paypal };
inline constexpr PortalService kPortalServices[]
    = { PortalService::Google, PortalService::Hotmail, PortalService::YahooMail, PortalService::Paypal };
// "google", "hotmail", "yahoomail", "paypal": the simulator's name of the listener.
const char *portalServiceName(PortalService service);
QString servicePage(PortalService service, const QString &detail);

QString unknownPage(const QString &path);

} // namespace th::sim
