#include "widgets/ScreenFitScrollArea.h"

#include <QScreen>
#include <QScrollBar>

namespace th {

ScreenFitScrollArea::ScreenFitScrollArea(QWidget *content, QSize reserve, QWidget *parent)
    : QScrollArea(parent)
    , m_reserve(reserve)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(content);
}

QSize ScreenFitScrollArea::fitted(QSize wanted, QSize available, QSize reserve)
{
    const QSize room = (available - reserve).expandedTo(QSize(1, 1));
    return wanted.boundedTo(room);
}

QSize ScreenFitScrollArea::sizeHint() const
{
    const QSize content = widget() ? widget()->sizeHint() : QSize();
    const QSize available = screen() ? screen()->availableSize() : content;
    QSize hint = fitted(content, available, m_reserve);
    // Where one direction scrolls, its bar takes room from the other.
    const int bar = verticalScrollBar()->sizeHint().width();
    if (hint.height() < content.height())
        hint.rwidth() = std::min(hint.width() + bar, std::max(available.width() - m_reserve.width(), 1));
    if (hint.width() < content.width())
        hint.rheight() = std::min(hint.height() + bar, std::max(available.height() - m_reserve.height(), 1));
    return hint;
}

QSize ScreenFitScrollArea::minimumSizeHint() const
{
    // Down to a few lines: the rest scrolls.
    const int line = fontMetrics().height();
    return sizeHint().boundedTo(QSize(20 * line, 6 * line));
}

} // namespace th
