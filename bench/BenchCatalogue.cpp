#include "BenchCatalogue.h"

#include <array>
#include <random>

#include "sim/HttpMessage.h"
#include "sim/ItemPage.h"
#include "sim/Simulator.h"

namespace th::bench {

namespace {

// Invented seller's prose. Every sentence stays clear of the page reader's labels and status
// words (checked once at start-up by proseIsClean), so the padding changes only the length
// of a page, never what the reader finds in it.
constexpr std::array<const char *, 32> kSentences = {
    "This piece came to us from a retired clockmaker who kept everything in fine order.",
    "The walnut veneer is smooth and even, with a warm glow that photographs poorly.",
    "Every drawer slides freely on its runners, and the brass pulls are all original.",
    "We cleaned it by hand with a soft cloth and a little beeswax, nothing harsher.",
    "Small marks on the top are consistent with age and honest household use.",
    "The hinges were tightened, but no screw or pin has been replaced.",
    "Please look closely at the photographs, which show every side in daylight.",
    "Measurements are given in inches in the third photograph for your convenience.",
    "A faint maker's stamp sits inside the lid, partly worn yet still readable.",
    "The glass panes are old and wavy, which collectors will surely appreciate.",
    "It has lived in a dry room away from the sun for as long as anyone can recall.",
    "The key turns the lock smoothly, and we include the key with the piece.",
    "The finish was never stripped or refinished, so the patina is all its own.",
    "We pack every parcel with care, double boxed and padded on all six sides.",
    "Parcels go out on weekdays once payment has cleared, usually the next morning.",
    "Buyers abroad are welcome; please write first so that we can quote the postage.",
    "Combined postage is offered for several pieces bought within a single week.",
    "We describe what we see as plainly as we can, and we answer every question.",
    "The paper label on the back is brittle, so we have left it just as it was.",
    "A light scratch near the left foot is shown up close in the last photograph.",
    "Collectors of period furniture will know how seldom one sees this design.",
    "The dovetail joints are tight and crisp, cut by hand as was usual at the time.",
    "It is heavier than it looks, so please allow for a sturdy carton and crate.",
    "The interior still smells faintly of cedar, a pleasant reminder of its past.",
    "No part of it wobbles, and it stands level on a flat floor without shims.",
    "Our shop has sold old furniture and clocks for many years to happy buyers.",
    "We photograph in natural light so that the colours appear as they really are.",
    "The brass has a soft, even tone that we chose not to polish away.",
    "If you collect writing boxes, this one would sit well beside the others.",
    "The veneer has lifted slightly along one edge, a simple fix for any restorer.",
    "Thank you for looking, and please visit our other listings for similar pieces.",
    "Payment by postal money order or cashier's check is gladly accepted.",
};

// Texts the reader treats as labels, status or separators; none may occur in the prose.
constexpr std::array<const char *, 24> kForbidden = {
    "ends",
    "started",
    "location",
    "country",
    "quantity",
    "time left",
    "not found",
    "closed",
    "font",
    " - ",
    "(",
    ")",
    "&",
    "<b>",
    "current bid",
    "starting bid",
    "bidder",
    "bid inc",
    "# of",
    "buy it",
    "reserve",
    "auction",
    "userid",
    "size=",
};

bool proseIsClean()
{
    for (const char *sentence : kSentences) {
        const QByteArray lower = QByteArray(sentence).toLower();
        for (const char *word : kForbidden) {
            if (lower.contains(word))
                return false;
        }
    }
    return true;
}

sim::Listing listingFor(int index, qint64 number, const QDateTime &now)
{
    sim::Listing listing;
    listing.number = number;
    listing.title = QStringLiteral("Walnut writing slope no. %1 with brass corners").arg(index + 1);
    listing.seller = QStringLiteral("oldwood_%1").arg(index % 17);
    listing.startTime = now.addDays(-2);
    // From a day to a week ahead: nothing ends while the benchmark runs.
    listing.endTime = now.addSecs(86400 + qint64(index) * 997 % (6 * 86400));
    listing.startPrice = 500 + (index % 40) * 125;
    switch (index % 10) {
    case 7:
        listing.format = sim::ListingFormat::FixedPrice;
        break;
    case 8:
        listing.quantity = 4;
        break;
    default:
        listing.reservePrice = index % 3 == 0 ? listing.startPrice * 4 : 0;
        listing.buyItNowPrice = index % 4 == 0 ? listing.startPrice * 9 : 0;
        break;
    }
    return listing;
}

QList<sim::Bid> bidsFor(int index, const sim::Listing &listing, const QDateTime &now)
{
    QList<sim::Bid> bids;
    if (!listing.isAuction() || listing.isMultiQuantityAuction() || index % 3 == 2)
        return bids;
    for (int i = 0; i <= index % 4; ++i) {
        sim::Bid bid;
        bid.bidder = QStringLiteral("rival_%1").arg((index + i) % 5);
        bid.maximum = listing.startPrice + (i + 1) * 350;
        bid.placedAt = now.addSecs(-3600 + i * 60);
        bids.append(bid);
    }
    return bids;
}

// The whole answer the site gives for the item now: status line, headers and page.
qint64 answerSize(sim::Simulator &simulator, qint64 number)
{
    const std::optional<sim::ItemSnapshot> snapshot = simulator.item(number);
    return sim::HttpResponse::html(sim::itemPage(*snapshot, sim::SiteSection::Main))
        .serialize(simulator.clock().now())
        .size();
}

} // namespace

QString fillerDescription(int length, quint64 seed)
{
    std::mt19937_64 random(seed);
    QString text;
    text.reserve(length + 200);
    while (text.size() < length) {
        text += u"<p>";
        const int sentences = 3 + int(random() % 5);
        for (int i = 0; i < sentences; ++i) {
            text += QLatin1String(kSentences[random() % kSentences.size()]);
            text += u' ';
        }
        text += u"</p>\n";
    }
    text.truncate(length);
    return text;
}

QList<BenchItem> addBenchItems(sim::Simulator &simulator, int count, int answerBytes, QString *error)
{
    if (!proseIsClean()) {
        *error = QStringLiteral("the filler prose holds a word the page reader looks for");
        return {};
    }
    for (int i = 0; i < 5; ++i)
        simulator.addUser({ QStringLiteral("rival_%1").arg(i), QString(), 10 + i });
    const QDateTime now = simulator.clock().now();
    QList<BenchItem> items;
    for (int i = 0; i < count; ++i) {
        const qint64 number = 3300000000 + qint64(i) * 7;
        sim::Listing listing = listingFor(i, number, now);
        // A description of our own from the start: the simulator would write one otherwise.
        listing.description = QStringLiteral("<p>.</p>");
        if (!simulator.house().addItem(listing, error, bidsFor(i, listing, now)))
            return {};
        // The page shows the description with its own line ends: a couple of corrections
        // bring the whole answer to the wanted size.
        for (int attempt = 0; attempt < 3; ++attempt) {
            const qint64 size = answerSize(simulator, number);
            if (size == answerBytes)
                break;
            const int length = int(std::max<qint64>(8, listing.description.size() + answerBytes - size));
            listing.description = fillerDescription(length, quint64(number));
            if (!simulator.house().updateItem(listing, error))
                return {};
        }
        items.append({ number, listing.title });
    }
    return items;
}

} // namespace th::bench
