#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "platform_gui/WidgetPrompter.h"

using namespace th;

// The real message and input boxes, built as the prompter builds them and never run.
class TestWidgetPrompter final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void riskyQuestionDefaultsToNo();
    void boxesShowTheirWholeTitle_data();
    void boxesShowTheirWholeTitle();
};

void TestWidgetPrompter::riskyQuestionDefaultsToNo()
{
    const auto risky = createMessageBox(QStringLiteral("Is $1,000.00 right?"), QStringLiteral("Check"),
        PromptIcon::Question, PromptButtons::YesNoDefaultNo, nullptr);
    QVERIFY(risky->button(QMessageBox::Yes));
    QCOMPARE(risky->defaultButton(), risky->button(QMessageBox::No));
    const auto plain = createMessageBox(QStringLiteral("Remove?"), QStringLiteral("Check"),
        PromptIcon::Question, PromptButtons::YesNo, nullptr);
    QVERIFY(plain->defaultButton() != plain->button(QMessageBox::No));
}

void TestWidgetPrompter::boxesShowTheirWholeTitle_data()
{
    QTest::addColumn<bool>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("short text") << false << "Export Successfully"
                                << "Tallyhawk";
    QTest::newRow("wrong type") << false << "No. Max Bid Price"
                                << "Error: Wrong data type";
    QTest::newRow("maximum") << true << "Max-bid:"
                             << "Maximum bid, please specify your bid";
    QTest::newRow("quantity") << true << "Quantity:"
                              << "Quntity more than one, please specify";
}

void TestWidgetPrompter::boxesShowTheirWholeTitle()
{
    QFETCH(bool, input);
    QFETCH(QString, text);
    QFETCH(QString, title);
    std::unique_ptr<QWidget> box;
    if (input)
        box = createInputDialog(text, title, QString(), nullptr);
    else
        box = createMessageBox(text, title, PromptIcon::Information, PromptButtons::Ok, nullptr);
    box->show();
    const int needed = messageBoxTitleWidth(title, box->font());
    QVERIFY(needed > box->fontMetrics().horizontalAdvance(title));
    QVERIFY2(box->width() >= needed, qPrintable(QStringLiteral("%1 < %2").arg(box->width()).arg(needed)));
}

QTEST_MAIN(TestWidgetPrompter)
#include "TestWidgetPrompter.moc"
