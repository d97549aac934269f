#include "app/SearchBoxKeys.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

#include "app/WatchWindowUi.h"

namespace th {

SearchBoxKeys::SearchBoxKeys(const WatchWindowUi &ui, QObject *parent)
    : QObject(parent)
    , m_ui(ui)
{
}

void SearchBoxKeys::watchBox()
{
    // The keys reach the box or its line, depending on who sends them; the box's own list
    // takes Control-Delete too.
    m_ui.txtAddress->view()->installEventFilter(this);
    m_ui.txtAddress->installEventFilter(this);
    m_ui.txtAddress->lineEdit()->installEventFilter(this);
}

void SearchBoxKeys::watchOffer(QAbstractItemView *offered)
{
    m_offered = offered;
    offered->installEventFilter(this);
}

bool SearchBoxKeys::searchClickedPastOfferedHistory(const QMouseEvent &press) const
{
    const QToolButton *search = m_ui.cmdSearch;
    const QPoint at = search->mapFromGlobal(press.globalPosition().toPoint());
    return press.button() == Qt::LeftButton && search->isVisible() && search->isEnabled()
        && search->rect().contains(at);
}

bool SearchBoxKeys::eventFilter(QObject *watched, QEvent *event)
{
    // While the history is offered, the offer holds the keyboard and the mouse: Enter and a
    // click on the search button would only close it. Both search, with the text the box
    // shows (the typed words, or the entry the user moved to).
    if (m_offered && watched == m_offered && m_offered->isVisible()) {
        if (event->type() == QEvent::MouseButtonPress
            && searchClickedPastOfferedHistory(*static_cast<QMouseEvent *>(event))) {
            m_offered->hide();
            Q_EMIT searchAsked();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_offered->hide();
                Q_EMIT searchAsked();
                return true;
            }
        }
    }
    // Control-Delete takes the highlighted entry out of the history, in the completion's
    // list as in the box's own.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool inBox = watched == m_ui.txtAddress || watched == m_ui.txtAddress->lineEdit();
        if (enter && inBox) {
            Q_EMIT searchAsked();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers().testFlag(Qt::ControlModifier)) {
            auto *view = qobject_cast<QAbstractItemView *>(watched);
            if (view && view->currentIndex().isValid()) {
                Q_EMIT entryDeleted(view->currentIndex().data().toString());
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace th
