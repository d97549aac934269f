#include "app/WatchWindowUi.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "watchlist/ui/RowIcons.h"
#include "watchlist/ui/WatchListView.h"

namespace th {

namespace {

template<typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A row of controls that stands in one line where its widget is wide enough for all of them,
// and in two where it is not (the window at its smallest, a large font or scale): a caption
// is never cut. The tail of the first line moves to the second.
class WrappingRow final : public QObject {
public:
    WrappingRow(QWidget *host, QHBoxLayout *first, QHBoxLayout *second, QHBoxLayout *tail)
        : QObject(host)
        , m_host(host)
        , m_first(first)
        , m_second(second)
        , m_tail(tail)
    {
        host->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_host && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
            fit();
        return false;
    }

private:
    void fit()
    {
        const QMargins margins = m_host->layout()->contentsMargins();
        const int room = m_host->contentsRect().width() - margins.left() - margins.right();
        const int oneRow = m_split
            ? m_first->sizeHint().width() + m_first->spacing() + m_tail->sizeHint().width()
            : m_first->sizeHint().width();
        const bool split = room < oneRow;
        if (split == m_split)
            return;
        m_split = split;
        if (split) {
            m_first->removeItem(m_tail);
            m_tail->setParent(nullptr);
            m_second->addLayout(m_tail, 1);
        } else {
            m_second->removeItem(m_tail);
            m_tail->setParent(nullptr);
            m_first->insertLayout(m_first->count() - 1, m_tail, 1);
        }
    }

    QWidget *m_host;
    QHBoxLayout *m_first;
    QHBoxLayout *m_second;
    QHBoxLayout *m_tail;
    bool m_split = false;
};

} // namespace

void WatchWindowUi::setupUi(QMainWindow *window, WatchListModel &model)
{
    auto *central = new QWidget(window);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 4);
    layout->setSpacing(6);
    window->setCentralWidget(central);

    setupSearch(window);
    layout->addWidget(frmeAddSort);

    lstWatching = new WatchListView(model, central);
    layout->addWidget(lstWatching, 1);

    setupCommands(window);
    setupEngines(window);
    setupStatusBar(window);

    mnuInfo = window->menuBar()->addMenu(QStringLiteral("&Info"));
    mnuInfo->setObjectName(QStringLiteral("mnuInfo"));
    mnuAbout = mnuInfo->addAction(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuExitProgram = mnuInfo->addAction(QStringLiteral("E&xit"));
    mnuExitProgram->setObjectName(QStringLiteral("mnuExitProgram"));
    mnuExitProgram->setVisible(false);
}

void WatchWindowUi::setupSearch(QMainWindow *window)
{
    frmeAddSort = named(new QGroupBox(QStringLiteral("Search"), window), "frmeAddSort");
    auto *grid = new QVBoxLayout(frmeAddSort);
    auto *line = new QHBoxLayout;
    txtAddress = named(new QComboBox(frmeAddSort), "txtAddress");
    txtAddress->setEditable(true);
    txtAddress->setInsertPolicy(QComboBox::NoInsert);
    txtAddress->lineEdit()->setPlaceholderText(QStringLiteral("Search words, a seller ID or an item number"));
    txtAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cmdSearch = named(new QToolButton(frmeAddSort), "cmdSearch");
    cmdSearch->setText(QStringLiteral("Search"));
    cmdSearch->setIcon(window->style()->standardIcon(QStyle::SP_FileDialogContentsView));
    cmdSearch->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    cmdClear = named(new QToolButton(frmeAddSort), "cmdClear");
    cmdClear->setText(QStringLiteral("Clear"));
    cmdClear->setIcon(window->style()->standardIcon(QStyle::SP_LineEditClearButton));
    cboSorted = named(new QComboBox(frmeAddSort), "cboSorted");
    line->addWidget(txtAddress, 1);
    line->addWidget(cmdSearch);
    line->addWidget(cmdClear);
    line->addWidget(cboSorted);
    grid->addLayout(line);

    auto *options = new QHBoxLayout;
    chkSearchSeller = named(new QCheckBox(QStringLiteral("By Seller ID"), frmeAddSort), "chkSearchSeller");
    chkCompletedItems
        = named(new QCheckBox(QStringLiteral("Ended Auctions"), frmeAddSort), "chkCompletedItems");
    chkTitleDesc = named(new QCheckBox(QStringLiteral("Title && Desc."), frmeAddSort), "chkTitleDesc");
    chkBuyItNow = named(new QCheckBox(QStringLiteral("Buy-It-Now"), frmeAddSort), "chkBuyItNow");
    chkPaypalOnly = named(
        new QCheckBox(QStringLiteral("Only item that accept Paypal payment"), frmeAddSort), "chkPaypalOnly");
    chkGoogle = named(
        new QCheckBox(QStringLiteral("Search in Google too (Open a new window)"), frmeAddSort), "chkGoogle");
    for (QCheckBox *box : { chkSearchSeller, chkCompletedItems, chkTitleDesc, chkBuyItNow })
        options->addWidget(box);
    auto *tail = new QHBoxLayout;
    tail->addWidget(chkPaypalOnly);
    tail->addWidget(chkGoogle);
    tail->addStretch(1);
    options->addLayout(tail, 1);
    options->addStretch(0);
    auto *second = new QHBoxLayout;
    grid->addLayout(options);
    grid->addLayout(second);
    new WrappingRow(frmeAddSort, options, second, tail);
}

void WatchWindowUi::setupCommands(QMainWindow *window)
{
    QWidget *central = window->centralWidget();
    auto *row = new QHBoxLayout;
    cmdAddItem = named(new QPushButton(QStringLiteral("Add Item"), central), "cmdAddItem");
    cmdRemove = named(new QPushButton(QStringLiteral("Remove Item"), central), "cmdRemove");
    ChkDeleteConfirm = named(new QCheckBox(QStringLiteral("Confirm Del."), central), "ChkDeleteConfirm");
    ChkDeleteConfirm->setToolTip(
        QStringLiteral("If Checked, \"System will not ask you for Item deletion == Multiple-Deletion\""));
    cmdGoTo = named(new QPushButton(QStringLiteral("&Go to Item Page"), central), "cmdGoTo");
    cmdUpdateOneItem = named(new QPushButton(QStringLiteral("Up&date Item"), central), "cmdUpdateOneItem");
    cmdUpdateOneItem->setToolTip(QStringLiteral("Click Me to Update the Selected Item"));
    Command1 = named(new QPushButton(QStringLiteral("&Update All"), central), "Command1");
    Command1->setToolTip(QStringLiteral("Click Me to Update All Items"));
    cmdOpenClockDialog
        = named(new QPushButton(QStringLiteral("Countdown C&lock"), central), "cmdOpenClockDialog");
    cmdBidReady = named(new QPushButton(QStringLiteral("&Fill-in Bid"), central), "cmdBidReady");
    cmdBidReady->setToolTip(QStringLiteral("Bid Selected Item (Fill Info. Only)"));
    cmdTestAutoBid = named(new QPushButton(QStringLiteral("&Real Bid Now"), central), "cmdTestAutoBid");
    cmdTestAutoBid->setToolTip(
        QStringLiteral("Make a REAL bid NOW (Please set the Max Price with Auto-Bid function)"));
    cmdClose = named(new QPushButton(QStringLiteral("&Close"), central), "cmdClose");
    cmdClose->setToolTip(
        QStringLiteral("Hide the window; Tallyhawk keeps watching from the notification area"));

    row->addWidget(cmdAddItem);
    row->addWidget(cmdRemove);
    row->addWidget(ChkDeleteConfirm);
    row->addSpacing(12);
    row->addWidget(cmdGoTo);
    row->addWidget(cmdUpdateOneItem);
    row->addWidget(Command1);
    auto *tail = new QHBoxLayout;
    tail->addWidget(cmdOpenClockDialog);
    tail->addSpacing(12);
    tail->addWidget(cmdBidReady);
    tail->addWidget(cmdTestAutoBid);
    tail->addStretch(1);
    tail->addWidget(cmdClose);
    row->addLayout(tail, 1);
    // Holds the first row's buttons together when the tail moves to the second row.
    row->addStretch(0);
    auto *second = new QHBoxLayout;
    auto *rows = static_cast<QVBoxLayout *>(central->layout());
    rows->addLayout(row);
    rows->addLayout(second);
    // The second line takes the commands from the countdown clock to Close.
    new WrappingRow(central, row, second, tail);
}

void WatchWindowUi::setupEngines(QMainWindow *window)
{
    QWidget *central = window->centralWidget();
    auto *row = new QHBoxLayout;
    row->setSpacing(4);
    for (int i = 0; i < 5; ++i) {
        picSockStatus[i] = new QLabel(central);
        picSockStatus[i]->setObjectName(QStringLiteral("picSockStatus%1").arg(i));
        picSockStatus[i]->setPixmap(engineLight(kLightIdle));
        chkSockStatus[i] = new QCheckBox(QStringLiteral("Engine-%1").arg(i + 1), central);
        chkSockStatus[i]->setObjectName(QStringLiteral("chkSockStatus%1").arg(i));
        // The box only shows the engine's state; the user does not tick it.
        chkSockStatus[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        chkSockStatus[i]->setFocusPolicy(Qt::NoFocus);
        row->addWidget(picSockStatus[i]);
        row->addWidget(chkSockStatus[i]);
        row->addSpacing(10);
    }
    row->addStretch(1);
    static_cast<QVBoxLayout *>(central->layout())->addLayout(row);
}

void WatchWindowUi::setupStatusBar(QMainWindow *window)
{
    QStatusBar *bar = window->statusBar();
    bar->setSizeGripEnabled(true);
    constexpr int widthsTwips[] = { 0, 0, 1400, 1600, 1400, 1600 };
    // The clocks' texts: a font that needs more room for them widens their panels rather
    // than cut the seconds.
    const QString longest[]
        = { {}, {}, {}, {}, QStringLiteral("Time: 00:00:00"), QStringLiteral("Ebay: 00:00:00") };
    for (int i = 1; i <= 5; ++i) {
        panels[i] = new QLabel(bar);
        panels[i]->setObjectName(QStringLiteral("panel%1").arg(i));
        panels[i]->setFrameShape(QFrame::StyledPanel);
        panels[i]->setFrameShadow(QFrame::Sunken);
        if (i == 1) {
            panels[i]->setMinimumWidth(80);
            bar->addWidget(panels[i], 1);
        } else {
            const int textWidth = panels[i]->fontMetrics().horizontalAdvance(longest[i])
                + 2 * panels[i]->frameWidth() + panels[i]->fontMetrics().averageCharWidth();
            panels[i]->setFixedWidth(std::max(twipsToPixels(widthsTwips[i]), textWidth));
            bar->addPermanentWidget(panels[i]);
        }
    }
}

} // namespace th
