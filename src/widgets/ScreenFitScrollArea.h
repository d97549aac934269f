#pragma once

#include <QScrollArea>

namespace th {

// The body of a window that may be taller or wider than the screen (a small screen, a large
// scale factor): as big as its content wherever the screen has room, scrolling where it has
// not. `reserve` is the room the rest of the window takes (its buttons, its frame).
class ScreenFitScrollArea final : public QScrollArea {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScreenFitScrollArea)

public:
    ScreenFitScrollArea(QWidget *content, QSize reserve, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The largest size a window's body may take on a screen of `available` size.
    static QSize fitted(QSize wanted, QSize available, QSize reserve);

private:
    QSize m_reserve;
};

} // namespace th
