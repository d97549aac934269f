#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

#include "common/HostPort.h"

namespace th {

// The addresses of the auction site's bid flow, and the tests that decide whether a page the
// bid window shows is one the program may fill in. Bid amounts and the user's password go
// only to a page served by the configured item-page host on its configured port, with the
// path the flow expects: a page whose address merely mentions the host, or the same host on
// another port, gets nothing.

// The item page a bid starts from: "http://<item-page host>/ws/eBayISAPI.dll?ViewItem&item=N".
QUrl bidItemPageUrl(const HostPort &itemPage, QStringView item);
// The bid history, opened in the user's own browser before a fill-in bid.
QUrl bidHistoryUrl(const HostPort &bidHistory, QStringView item);

// The item page of `item` (plain digits) on the item-page host, also in its motors section;
// the number must not merely begin another item's number.
bool isBidItemPage(const QUrl &url, const HostPort &itemPage, QStringView item);
// The sign-in page a fill-in bid expects: exactly the flow's address, without a query.
bool isFillInSignInPage(const QUrl &url, const HostPort &itemPage);
// The sign-in page a real bid expects: the flow's address in the main or the motors section,
// any letter case, any query.
bool isRealBidSignInPage(const QUrl &url, const HostPort &itemPage);

// Where the program itself may send a form: plain HTTP to exactly the configured item-page
// host and port. A bid or sign-in form that would post anywhere else is not sent.
bool isAllowedFormTarget(const QUrl &target, const HostPort &itemPage);

} // namespace th
