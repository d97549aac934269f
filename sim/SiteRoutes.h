#pragma once

#include "sim/HttpMessage.h"
#include "sim/ItemPage.h"
#include "sim/SitePages.h"

namespace th::sim {

class AuctionHouse;

// The auction site's addresses: item pages in their three forms, the bid and sign-in flow,
// bid history, searches, seller listings, the home page.
class SiteRoutes final {
public:
    explicit SiteRoutes(AuctionHouse &house);

    HttpResponse handle(const HttpRequest &request);

    // A member who counts as signed in already: the sign-in page then asks for no password.
    void setSignedInUser(const QString &user) { m_signedInUser = user; }
    QString signedInUser() const { return m_signedInUser; }
    // The layout of the item pages from now on.
    void setPageLayout(PageLayout layout) { m_layout = layout; }
    PageLayout pageLayout() const { return m_layout; }

    // The item a request is about: its "item" field, in the address or in a posted form.
    static qint64 itemOf(const QByteArray &target, const QByteArray &body);

private:
    HttpResponse isapi(const HttpRequest &request, const QByteArray &path);
    HttpResponse viewItem(qint64 number, const QByteArray &path);
    HttpResponse makeBid(const FormFields &fields, bool motorsPath, bool buyItNow);
    HttpResponse acceptBid(const FormFields &fields, bool motorsPath);
    HttpResponse search(const FormFields &fields);
    HttpResponse sellerListing(const FormFields &fields);
    HttpResponse bidHistory(qint64 number);

    AuctionHouse &m_house;
    QString m_signedInUser;
    PageLayout m_layout = PageLayout::Known;
};

// The stand-in pages of the outside services: web search ("/search?q="), payment
// ("/verified/..."), web mail (anything else).
HttpResponse portalResponse(const HttpRequest &request);
// The stand-in of one service: its own page at every address.
HttpResponse serviceResponse(PortalService service, const HttpRequest &request);

} // namespace th::sim
