// parse_bench: how long the item page reader takes on a realistic page, against a floor that
// any reader of the page must pay: lower-casing the page once and one search through it.
//
//   parse_bench [runs]
//
// For a 60 KB and a 600 KB invented auction page, and for a 600 KB page without any label (the
// worst case: every search crosses the whole page), it prints the median time of ParseItemPage,
// the median of the floor (QByteArray::toLower plus one QByteArrayMatcher search for a 12-byte needle
// that does not occur in the page), both measured alternately in the same run on the same
// page, and their ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QByteArrayMatcher>
#include <QCoreApplication>

#include "SamplePage.h"
#include "engine/ItemPageParser.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double microseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::micro>(to - from).count();
}

// Keeps the optimiser from dropping work whose result is otherwise unused.
volatile qsizetype g_sink = 0;

void benchPage(const char *label, const QByteArray &page, int runs)
{
    static const char needle[] = "zqxjkvbwpfgy";
    const QByteArrayMatcher matcher(needle, 12);
    if (matcher.indexIn(page.toLower()) >= 0) {
        std::fprintf(stderr, "parse_bench: the floor's needle occurs in the page\n");
        return;
    }

    for (int i = 0; i < 10; ++i)
        g_sink = g_sink + th::ParseItemPage(page)[th::ItemPageData::Title].size();

    std::vector<double> parseTimes;
    std::vector<double> floorTimes;
    parseTimes.reserve(std::size_t(runs));
    floorTimes.reserve(std::size_t(runs));
    for (int i = 0; i < runs; ++i) {
        Clock::time_point start = Clock::now();
        const th::ItemPageData data = th::ParseItemPage(page);
        Clock::time_point end = Clock::now();
        g_sink = g_sink + data[th::ItemPageData::Title].size();
        parseTimes.push_back(microseconds(start, end));

        start = Clock::now();
        const QByteArray lower = page.toLower();
        const qsizetype at = matcher.indexIn(lower);
        end = Clock::now();
        g_sink = g_sink + at + lower.size();
        floorTimes.push_back(microseconds(start, end));
    }
    const double parse = median(parseTimes);
    const double floor = median(floorTimes);
    std::printf("%-30s %7lld bytes, %4d runs: parse %8.1f us   floor %8.1f us   ratio %.2f\n", label,
        static_cast<long long>(page.size()), runs, parse, floor, parse / floor);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(11, QByteArray(argv[1]).toInt()) : 1001;
    th::test::SampleItem item;
    item.reserve = "not met";
    item.buyItNowPrice = "US $99.00";
    item.targetSize = 60000;
    benchPage("60 KB auction page", th::test::writeSamplePage(item), runs);
    item.targetSize = 600000;
    benchPage("600 KB auction page", th::test::writeSamplePage(item), std::max(11, runs / 4));
    // No label at all: every one of the reader's searches crosses the whole page.
    benchPage("600 KB page without item data", th::test::writeSampleNoise(600000, 1), std::max(11, runs / 4));
    return 0;
}
