#pragma once

#include <memory>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace th {
class RegistryStore;
}

namespace th::test {

// The folder of the test data files kept in the repository.
inline QString testDataFolder()
{
#ifdef TALLYHAWK_TEST_DATA
    return QStringLiteral(TALLYHAWK_TEST_DATA);
#else
    return {};
#endif
}

// The resource folder of the build tree (sounds, font, images).
inline QString resourceFolder()
{
#ifdef TALLYHAWK_RESOURCE_DIR
    return QStringLiteral(TALLYHAWK_RESOURCE_DIR);
#else
    return {};
#endif
}

// The bytes of the file at `path`; empty when it cannot be read.
QByteArray fileBytes(const QString &path);

// Writes `bytes` to the file at `path`, replacing what it held; a file that cannot be written
// fails the running test.
void writeFile(const QString &path, const QByteArray &bytes);

// Sets the process's time zone for the rest of the test (TZ and the C library's view).
void setTimeZone(const char *ianaId);

// The store of `folder`, created when missing; null when it cannot be opened.
std::unique_ptr<RegistryStore> openTestStore(const QString &folder);

// Puts `items` on the watch list kept in the store of `folder`, as adding them would.
bool storeWatchedItems(const QString &folder, const QStringList &items);

// The web engine's helper processes started by this process.
int webEngineProcessCount();

// While it lives, files this process writes may grow only to `bytes`: a write beyond fails
// with EFBIG after the first bytes have gone out, as on a disk that fills up meanwhile.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    qint64 m_before = -1;
};

} // namespace th::test
