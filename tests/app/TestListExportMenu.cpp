// "Export Calendar…" and "Export CSV…" of the list menu in the whole program against a
// simulator, and the calendar file written again after every pass when the user asks.

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QTest>

#include "../update/EngineFixture.h"
#include "AppFixture.h"
#include "PythonReader.h"
#include "app/frmWatch.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "store/RegistryFunctions.h"
#include "store/StoreLayout.h"

using namespace th;
using namespace th::test;

class TestListExportMenu final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void menuEntriesWriteTheChosenFiles();
    void refusedOrFailedExportIsToldInABox_data();
    void refusedOrFailedExportIsToldInABox();
    void calendarFollowsEveryPassOnlyWhenAsked();

private:
    // Starts the program and waits for its first pass to end.
    void startAndPass();
    // Runs one more pass over all items to its end.
    void runPass();
    QString home() const { return f->dataFolder.path(); }

    std::unique_ptr<ThreadedSimulator> remote;
    std::unique_ptr<AppFixture> f;
    QTemporaryDir m_out;
};

void TestListExportMenu::init()
{
    remote = std::make_unique<ThreadedSimulator>();
    QVERIFY(remote->start());
    QString host;
    remote->run([&] {
        for (const auto &[number, title] : { std::pair { 2407600001, "Pewter tankard, \"engraved\"" },
                 std::pair { 2407600002, "Oak bookends" } }) {
            sim::Listing listing;
            listing.number = number;
            listing.title = QString::fromUtf8(title);
            listing.endTime = remote->sim().clock().now().addSecs(3600 * (number % 10));
            QString error;
            QVERIFY2(remote->sim().house().addItem(listing, &error), qPrintable(error));
        }
        host = remote->sim().siteHostPort();
    });
    f = std::make_unique<AppFixture>();
    f->writeConfig(host);
    QVERIFY(storeWatchedItems(home(), { "2407600001", "2407600002" }));
}

void TestListExportMenu::cleanup()
{
    f.reset();
    remote.reset();
}

void TestListExportMenu::startAndPass()
{
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    QTRY_VERIFY(f->app->parts().mainWindow->ui.panels[1]->text().startsWith(u"Last Update: "));
}

void TestListExportMenu::runPass()
{
    QSignalSpy finished(f->app->parts().engine.get(), &UpdateEngine::passFinished);
    f->app->parts().engine->subActive2();
    QVERIFY(finished.wait(20000));
}

void TestListExportMenu::menuEntriesWriteTheChosenFiles()
{
    startAndPass();
    frmWatch *w = f->app->parts().mainWindow.get();
    const QString calendar = m_out.filePath("list.ics");
    f->prompter->queueFile(calendar);
    w->listMenu.mnuExportCalendar->trigger();
    QCOMPARE(f->prompter->last().kind, FakePrompter::Kind::SaveFile);
    QCOMPARE(f->prompter->last().title, "Export Calendar");
    const QJsonArray events = readWithPython("read_calendar.py", calendar).object().value("events").toArray();
    QCOMPARE(events.size(), 2);
    QStringList summaries;
    for (const QJsonValue &event : events)
        summaries << event.toObject().value("summary").toString();
    summaries.sort();
    QCOMPARE(summaries, QStringList({ "Oak bookends", "Pewter tankard, \"engraved\"" }));
    // The file chosen is remembered for the next export and the writes after each pass.
    QCOMPARE(GetRegString(*f->app->parts().store, RegRoot::CurrentUser, QString::fromUtf16(kSettingsKey),
                 QStringLiteral("CalendarFile"), {}),
        calendar);
    f->prompter->queueFile(calendar);
    w->listMenu.mnuExportCalendar->trigger();
    QCOMPARE(f->prompter->last().defaultText, calendar);

    const QString table = m_out.filePath("list.csv");
    f->prompter->queueFile(table);
    w->listMenu.mnuExportCsv->trigger();
    QCOMPARE(f->prompter->last().title, "Export CSV");
    const QJsonArray rows = readWithPython("read_csv.py", table).array();
    QCOMPARE(rows.size(), 3);
    QStringList titles { rows[1].toArray()[1].toString(), rows[2].toArray()[1].toString() };
    titles.sort();
    QCOMPARE(titles, QStringList({ "Oak bookends", "Pewter tankard, \"engraved\"" }));

    // A cancelled dialog writes nothing.
    QVERIFY(QFile::remove(table));
    w->listMenu.mnuExportCsv->trigger();
    QVERIFY(!QFile::exists(table));
}

void TestListExportMenu::refusedOrFailedExportIsToldInABox_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("the store") << "home:registry.db";
    QTest::newRow("config.ini") << "home:config.ini";
    QTest::newRow("a folder") << "out:";
}

void TestListExportMenu::refusedOrFailedExportIsToldInABox()
{
    QFETCH(QString, target);
    startAndPass();
    const QString path
        = target.startsWith(u"home:") ? home() + u'/' + target.mid(5) : m_out.path() + u'/' + target.mid(4);
    const QByteArray before = fileBytes(path);
    f->prompter->queueFile(path);
    f->app->parts().mainWindow->listMenu.mnuExportCalendar->trigger();
    const FakePrompter::Shown told = f->prompter->last();
    QCOMPARE(told.kind, FakePrompter::Kind::Message);
    QCOMPARE(told.icon, PromptIcon::Critical);
    QVERIFY2(told.text.contains(QDir::toNativeSeparators(QDir::cleanPath(path))) || told.text.contains(path),
        qPrintable(told.text));
    QCOMPARE(fileBytes(path), before);
    QVERIFY(f->app->parts().settings->CalendarFile.isEmpty());
}

void TestListExportMenu::calendarFollowsEveryPassOnlyWhenAsked()
{
    startAndPass();
    AppSettings &settings = *f->app->parts().settings;
    const QString calendar = m_out.filePath("list.ics");
    f->prompter->queueFile(calendar);
    f->app->parts().mainWindow->listMenu.mnuExportCalendar->trigger();
    QVERIFY(QFile::remove(calendar));

    // Off (as it starts): a pass leaves the file alone.
    runPass();
    QVERIFY(!QFile::exists(calendar));

    settings.RewriteCalendarFile = 1;
    remote->run(
        [&] { QVERIFY(remote->sim().placeBid(2407600002, QStringLiteral("bidder_one"), 500).accepted()); });
    runPass();
    const QJsonArray events = readWithPython("read_calendar.py", calendar).object().value("events").toArray();
    QCOMPARE(events.size(), 2);
    bool bidSeen = false;
    for (const QJsonValue &event : events)
        bidSeen |= event.toObject().value("description").toString().contains("Bids: 1");
    QVERIFY(bidSeen);

    // A file that cannot be written is told once, without a box, until it can be again.
    settings.CalendarFile = m_out.filePath("gone/list.ics");
    f->tray->messages.clear();
    const int boxes = int(f->prompter->shown().size());
    runPass();
    runPass();
    QCOMPARE(f->tray->messages.size(), 1);
    QVERIFY(f->tray->messages.first().contains(QDir::toNativeSeparators(settings.CalendarFile)));
    QCOMPARE(int(f->prompter->shown().size()), boxes);
}

QTEST_MAIN(TestListExportMenu)
#include "TestListExportMenu.moc"
