#pragma once

#include <QString>

namespace th {

// The search box's options, as its check boxes and sort list stand.
struct SearchOptions {
    bool google = false; // chkGoogle: the same words in a Google search too
    bool titleDesc = false; // chkTitleDesc
    bool buyItNow = false; // chkBuyItNow
    bool paypalOnly = false; // chkPaypalOnly
    bool seller = false; // chkSearchSeller: the text is a seller's user id
    bool completed = false; // chkCompletedItems: ended auctions
    QString sortText; // cboSorted
};

// The hosts (and ports) the addresses name, from the configuration.
struct SearchHosts {
    QString search;
    QString completedSearch;
    QString sellerListing;
    QString itemPage;
    QString google;
};

// The addresses one search opens: Google's (empty unless asked for) and the auction site's.
struct SearchAddresses {
    QString google;
    QString site;
};

// The auction site's options text: titles and descriptions, Buy It Now, PayPal, then the sort.
QString searchOptionsText(const SearchOptions &options);

// The user's text as it goes into an address: UTF-8, every byte but letters, digits and
// "-._~" percent-encoded, so that no "#", "%", "&", "+" or "?" of the user's can change the
// address; a blank is "+" in the keyword search and "%20" elsewhere.
QString encodeSearchText(const QString &text, bool blankAsPlus);

// The addresses for the text `text` of the search box. A seller search wins over ended
// auctions, which need some text; otherwise an item number (digits only, above 500000)
// opens its page and anything else is a keyword search.
SearchAddresses searchAddressesFor(
    const QString &text, const SearchOptions &options, const SearchHosts &hosts);

} // namespace th
