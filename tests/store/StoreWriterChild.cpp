// Helper of TestStoreDurability: writes values into a store one by one and prints the
// number of each write once it has returned, so that the test knows which writes a kill
// may not lose.
//
// usage: StoreWriterChild STORE PREFIX COUNT   (COUNT 0: until killed)

#include <cstdio>
#include <optional>

#include <QCoreApplication>

#include "store/RegistryStore.h"

using namespace th;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: StoreWriterChild STORE PREFIX COUNT\n");
        return 2;
    }
    Result<std::unique_ptr<RegistryStore>> opened = RegistryStore::open(args[1]);
    if (!opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.errorMessage()));
        return 3;
    }
    RegistryStore &store = *opened.value();
    const QString prefix = args[2];
    const long count = args[3].toLong();
    for (long i = 0; count == 0 || i < count; ++i) {
        const QString number = QString::number(i);
        // Each write is its own transaction: a key of its own, and a value in a key that
        // every writer shares.
        Result<void> written
            = store.setValue(RegRoot::CurrentUser, "Software\\Durability\\" + prefix + "\\" + number,
                RegValue::fromString("Value", prefix + number));
        if (written)
            written = store.setValue(RegRoot::CurrentUser, "Software\\Durability\\Shared",
                RegValue::fromDword(prefix + number, quint32(i)));
        if (!written) {
            std::fprintf(stderr, "write %ld failed: %s\n", i, qPrintable(written.errorMessage()));
            return 4;
        }
        const std::optional<RegValue> back
            = store.value(RegRoot::CurrentUser, "Software\\Durability\\" + prefix + "\\" + number, "Value");
        if (!back || back->text() != prefix + number) {
            std::fprintf(stderr, "write %ld does not read back\n", i);
            return 5;
        }
        std::printf("%ld\n", i);
        std::fflush(stdout);
    }
    return 0;
}
