// import_bench: how long a large watch-list restore takes and how much memory it holds.
//
//   import_bench [megabytes]
//
// Writes a registry script of about that many megabytes (200 when not given) into a
// temporary folder, as the program's own backup writes them: item sections with the values
// the program stores, accented notes in UTF-8, notes with line breaks as hex(1) bytes, and
// some hexadecimal data continued over lines as the system editor writes it. One line in a
// thousand is in an old 8-bit code page. The script is then imported into a new store in
// the same folder, and the program prints the import's time, its report and the process's
// peak resident memory (the writing before it holds no more than one item at a time).

#include <chrono>
#include <cstdio>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "ProcessProbe.h"
#include "exchange/RegImport.h"
#include "store/RegistryStore.h"

namespace {

using Clock = std::chrono::steady_clock;

// One item section of a backup, about 470 bytes.
QByteArray itemSection(qint64 index)
{
    const QByteArray number = QByteArray::number(2400000000LL + index);
    QByteArray section
        = "[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\\\" + number + "]\r\n";
    section += "\"Item\"=\"" + number + "\"\r\n";
    section += "\"MaxBid\"=\"" + QByteArray::number(index % 500) + ".50\"\r\n";
    section += "\"MaxAutoBid\"=\"25.5\"\r\n\"MaxQuantity\"=\"1\"\r\n\"MaxTimeLeft\"=\"20\"\r\n";
    section += "\"AuctionEndDate\"=dword:00009359\r\n\"AuctionEndDateTxt\"=\"37720.8125\"\r\n";
    section += "\"AutoBidAt\"=\"2003-04-09 19:29:40\"\r\n";
    section += "\"Note\"=\"Gr\xC3\xBC\xC3\x9F"
               "e \xE2\x82\xAC 5, \"original\" box; see C:\\box\"\r\n";
    if (index % 1000 == 0)
        section += "\"OldNote\"=\"Caf\xE9 cr\xE8me\"\r\n";
    if (index % 10 == 0)
        section += "\"Lines\"=hex(1):66,69,72,73,74,0D,0A,73,65,63,6F,6E,64\r\n";
    if (index % 10 == 5)
        section += "\"Bytes\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,\\\r\n"
                   "  14,15,16,17,18,19,1A,1B,1C,1D,1E,1F\r\n";
    section += "\"WonItem\"=\"True\"\r\n\r\n";
    return section;
}

bool writeScript(const QString &path, qint64 bytes, qint64 &items)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk
        = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\]\r\n\r\n";
    qint64 written = 0;
    items = 0;
    while (written < bytes) {
        chunk += itemSection(items++);
        if (chunk.size() < (1 << 20) && written + chunk.size() < bytes)
            continue;
        if (file.write(chunk) != chunk.size())
            return false;
        written += chunk.size();
        chunk.clear();
    }
    return file.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 200;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "import_bench: no temporary folder\n");
        return 1;
    }
    const QString script = dir.filePath("eBayWatch.reg");
    qint64 items = 0;
    if (!writeScript(script, megabytes * 1000 * 1000, items)) {
        std::fprintf(stderr, "import_bench: cannot write %s\n", qPrintable(script));
        return 1;
    }
    const long writingKiB = th::bench::peakResidentKiB();
    th::Result<std::unique_ptr<th::RegistryStore>> store = th::RegistryStore::openInFolder(dir.path());
    if (!store) {
        std::fprintf(stderr, "import_bench: %s\n", qPrintable(store.errorMessage()));
        return 1;
    }

    const Clock::time_point start = Clock::now();
    const double cpuBefore = th::bench::processCpuSeconds();
    const th::Result<th::ImportSummary> imported
        = th::RunRegImport(*store.value(), script, QDateTime::currentDateTime());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = th::bench::processCpuSeconds() - cpuBefore;
    if (!imported) {
        std::fprintf(stderr, "import_bench: %s\n", qPrintable(imported.errorMessage()));
        return 1;
    }
    std::printf("script           %lld bytes, %lld items\n", static_cast<long long>(QFile(script).size()),
        static_cast<long long>(items));
    std::printf("import           %.2f s wall, %.2f s CPU\n", seconds, cpu);
    std::printf("report           %s\n", qPrintable(th::importReport(imported.value(), script)));
    std::printf("peak memory      %.1f MiB (%.1f MiB before the import)\n",
        double(th::bench::peakResidentKiB()) / 1024, double(writingKiB) / 1024);
    return 0;
}
