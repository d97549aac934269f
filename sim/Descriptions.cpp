// The sellers' descriptions of generated items: long, varied, and free of every word the
// program's page reader takes as a signal (no status words, no field labels).
#include "sim/PageChrome.h"

#include <QStringList>

#include <array>
#include <random>

namespace th::sim {

namespace {

constexpr std::array<const char *, 16> kOpenings = {
    "You are looking at a genuine %1, offered from a smoke-free home.",
    "Up for grabs is this lovely %1, just in time for the holidays.",
    "Here is a hard to find %1 that has been in our family for years.",
    "This %1 came from a large estate collection we are selling piece by piece.",
    "Offered today is a beautiful %1 in very nice shape for its age.",
    "Please take a close look at this %1; the pictures tell most of the story.",
    "I am thinning out my collection, and this %1 has to go to a good home.",
    "A great example of a %1, the kind you rarely see offered any more.",
    "We picked up this %1 at a farm estate sale last spring.",
    "This is the %1 you have been searching for, complete and ready to enjoy.",
    "Our store is proud to present this %1 to collectors and users alike.",
    "Just back from the flea market with this %1, cleaned and checked.",
    "If you grew up with one of these, this %1 will bring back memories.",
    "No box, no papers, just a very honest %1 that works as it should.",
    "One of the nicest %1 pieces I have handled in twenty years of selling.",
    "This %1 would make a wonderful gift for the collector in your life.",
};

constexpr std::array<const char *, 24> kDetails = {
    "It shows light wear from normal use, with no chips, cracks or repairs that I can see.",
    "All original parts as far as I can tell; nothing has been replaced or repainted.",
    "The colors are bright and clean, and the finish has a soft, even patina.",
    "Measurements are approximate and given in the photos; please ask if you need more.",
    "There is a small scuff on the back, shown in the third picture, which does not affect use.",
    "It has been stored in a dry closet, wrapped in acid-free tissue paper.",
    "We tested it this morning and everything works exactly as it should.",
    "The maker's mark is clear and crisp on the underside.",
    "Please look at all pictures carefully, as they are part of the description.",
    "I am not an expert, so I describe what I see as honestly as I can.",
    "It comes with the original instructions, a little yellowed with age.",
    "This piece has a nice weight to it and feels very solid in the hand.",
    "The edges are sharp and the corners are square, which is unusual for this age.",
    "Any flaws that I could find are pointed out in the close-up pictures.",
    "The glass is clear with no cloudiness, and the metal parts are free of rust.",
    "It was cleaned gently with a soft cloth; no chemicals were used.",
    "Collectors will appreciate the fine detail and the careful workmanship.",
    "The stitching is tight and even, with no loose threads or stains.",
    "Sizes run a little small, so please compare with something you already own.",
    "The battery compartment is clean, with no corrosion at all.",
    "It displays beautifully on a shelf or in a cabinet.",
    "The paper label on the bottom is mostly intact and readable.",
    "A few light surface marks are visible only under bright light.",
    "This is a heavy item, so it will be double boxed with plenty of padding.",
};

constexpr std::array<const char *, 12> kShipping = {
    "Shipping within the United States is a flat fee, paid by the buyer, with insurance optional.",
    "We ship by Priority Mail within two business days of cleared payment.",
    "Combined shipping is gladly offered when you win more than one item from us.",
    "International buyers are welcome; please email for a shipping quote before bidding.",
    "Every package is carefully wrapped and ships with delivery confirmation.",
    "Pick-up in person is welcome if you live nearby; just send us a note.",
    "Insurance is recommended, as we cannot be responsible for items lost in the mail.",
    "Orders paid by Friday noon go out the same day, Monday otherwise.",
    "Packing materials are recycled whenever possible, but always clean and sturdy.",
    "Heavy items ship by ground service; the rate is shown in the shipping section.",
    "Please allow a few extra days around holidays, when the mail runs slowly.",
    "We reuse clean boxes to keep shipping costs down for everyone.",
};

constexpr std::array<const char *, 10> kPayment = {
    "We accept PayPal, money orders and cashier's checks; personal checks must clear first.",
    "Payment is due within seven days after the close of bidding, please.",
    "Please wait for our invoice with the total, including shipping and insurance.",
    "California residents please add sales tax at the rate of your county.",
    "Credit cards are welcome through PayPal; we never see your card details.",
    "If you need more time to pay, just let us know and we will work it out.",
    "Please include your user name and the item number with any mailed payment.",
    "All payments are answered by email the day they arrive.",
    "We leave feedback as soon as payment arrives, and we appreciate the same in return.",
    "Payment by bank transfer is possible for buyers overseas; ask for our details.",
};

constexpr std::array<const char *, 8> kReturns = {
    "If you are not happy with your purchase, return it within ten days for a full refund.",
    "Please contact us before leaving feedback so that we can make things right.",
    "Returns are accepted if the item is not as described; the buyer pays return postage.",
    "We stand behind everything we sell, and our feedback shows it.",
    "Please ask all questions before bidding; we answer every email within a day.",
    "Thank you for looking, and good luck!",
    "Be sure to check out our other listings for more great finds.",
    "We are happy to answer questions by email, day or night.",
};

template<size_t N> QString pick(std::mt19937 &random, const std::array<const char *, N> &sentences)
{
    std::uniform_int_distribution<size_t> index(0, N - 1);
    return QString::fromLatin1(sentences.at(index(random)));
}

} // namespace

QString generatedDescription(qint64 itemNumber, const QString &title, int approximateBytes)
{
    std::mt19937 random(quint32(itemNumber) ^ quint32(quint64(itemNumber) >> 32) ^ 0x2407u);
    const QString name = escapeHtml(title);
    QString text;
    text
        += QLatin1String("<div class=\"desc\">\n<center><font face=\"Georgia\" size=\"5\" color=\"#333366\">")
        + name + QLatin1String("</font></center>\n<br>\n");
    text += QLatin1String("<p>") + pick(random, kOpenings).arg(name) + QLatin1String("</p>\n");

    static const std::array<const char *, 5> headings
        = { "About this piece", "Condition", "A closer look", "What you get", "More details" };
    int section = 0;
    while (text.size() < approximateBytes) {
        text += QLatin1String("<h3>") + QLatin1String(headings.at(size_t(section) % headings.size()))
            + QLatin1String("</h3>\n<p>");
        const int sentences = 4 + int(random() % 5);
        for (int i = 0; i < sentences; ++i)
            text += pick(random, kDetails) + QLatin1Char(' ');
        text += QLatin1String("</p>\n<ul>\n");
        for (int i = 0; i < 3; ++i)
            text += QLatin1String("<li>") + pick(random, kDetails) + QLatin1String("</li>\n");
        text += QLatin1String("</ul>\n");
        if (section % 3 == 2)
            text += QLatin1String("<p align=\"center\"><img src=\"/sellerpics/item")
                + QString::number(itemNumber % 1000) + QLatin1Char('_') + QString::number(section)
                + QLatin1String(".jpg\" width=\"400\" height=\"300\" border=\"1\" alt=\"\"></p>\n");
        ++section;
    }
    text += QLatin1String("<h3>Shipping</h3>\n<p>") + pick(random, kShipping) + QLatin1Char(' ')
        + pick(random, kShipping) + QLatin1String("</p>\n");
    text += QLatin1String("<h3>Payment</h3>\n<p>") + pick(random, kPayment) + QLatin1Char(' ')
        + pick(random, kPayment) + QLatin1String("</p>\n");
    text += QLatin1String("<h3>Returns</h3>\n<p>") + pick(random, kReturns) + QLatin1Char(' ')
        + pick(random, kReturns) + QLatin1String("</p>\n");
    text += QLatin1String(
        "<p><font size=\"1\" color=\"#999999\">Page counter: 1,024 visits.</font></p>\n</div>\n");
    return text;
}

} // namespace th::sim
