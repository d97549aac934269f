#include "cli/CliCommands.h"

#include <cstdio>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "engine/ItemPageParser.h"

namespace th::cli {

namespace {

// The whole file, or standard input for "-". The bytes are handed to the reader as they stand,
// one byte one character, as the engine hands it a page off the wire.
bool readPage(const QString &name, QByteArray &page, QString &error)
{
    QFile file;
    const bool fromStdin = name == u"-";
    bool opened = false;
    if (fromStdin) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        file.setFileName(name);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        error = file.errorString();
        return false;
    }
    page = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int runParse(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "tallyhawk-cli: usage: parse FILE (\"-\" reads standard input)\n";
        return 2;
    }
    QByteArray page;
    QString error;
    if (!readPage(args.first(), page, error)) {
        err << "tallyhawk-cli: cannot read "
            << (args.first() == u"-" ? QStringLiteral("standard input") : args.first()) << ": " << error
            << '\n';
        return 1;
    }
    const ItemPageData data = ParseItemPage(page);
    const QJsonArray fields = QJsonArray::fromStringList(data.toList());
    out << QString::fromUtf8(QJsonDocument(fields).toJson(QJsonDocument::Indented));
    return 0;
}

} // namespace th::cli
