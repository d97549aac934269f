#include "watchlist/ui/RowIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace th {

namespace {

QPixmap canvas()
{
    QPixmap pixmap(32, 32); // drawn at twice the size, shown at 16
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawUp(QPainter &p)
{
    QPainterPath arrow;
    arrow.moveTo(16, 3);
    arrow.lineTo(28, 16);
    arrow.lineTo(21, 16);
    arrow.lineTo(21, 29);
    arrow.lineTo(11, 29);
    arrow.lineTo(11, 16);
    arrow.lineTo(4, 16);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 1.5));
    p.setBrush(QColor(0x43, 0xa0, 0x47));
    p.drawPath(arrow);
}

void drawLightning(QPainter &p)
{
    QPainterPath bolt;
    bolt.moveTo(19, 2);
    bolt.lineTo(7, 18);
    bolt.lineTo(15, 18);
    bolt.lineTo(11, 30);
    bolt.lineTo(25, 12);
    bolt.lineTo(17, 12);
    bolt.closeSubpath();
    p.setPen(QPen(QColor(0xb2, 0x6a, 0x00), 1.5));
    p.setBrush(QColor(0xff, 0xc1, 0x07));
    p.drawPath(bolt);
}

void drawHammer(QPainter &p, const QColor &head)
{
    p.save();
    p.translate(16, 16);
    p.rotate(-40);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8d, 0x6e, 0x63));
    p.drawRoundedRect(QRectF(-2.5, -4, 5, 18), 2, 2);
    p.setBrush(head);
    p.drawRoundedRect(QRectF(-10, -12, 20, 9), 2, 2);
    p.restore();
}

QIcon makeRowIcon(int index)
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 2:
        drawUp(p);
        break;
    case 3:
        drawLightning(p);
        break;
    case 4:
        drawHammer(p, QColor(0x54, 0x6e, 0x7a));
        break;
    case 5:
        drawHammer(p, QColor(0x54, 0x6e, 0x7a));
        p.setPen(QPen(QColor(0xd3, 0x2f, 0x2f), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(27, 27));
        p.drawLine(QPointF(27, 5), QPointF(5, 27));
        break;
    case 6:
        drawHammer(p, QColor(0xff, 0xa0, 0x00));
        p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 25), QPointF(19, 30));
        p.drawLine(QPointF(19, 30), QPointF(30, 17));
        break;
    default:
        break; // 1, "Blank"
    }
    p.end();
    return QIcon(pixmap);
}

QPixmap makeLight(int index)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = index == kLightBusy ? QColor(0xe5, 0x39, 0x35) : QColor(0x43, 0xa0, 0x47);
    QRadialGradient glow(QPointF(5, 5), 8);
    glow.setColorAt(0, colour.lighter(170));
    glow.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(glow);
    p.drawEllipse(QRectF(1, 1, 12, 12));
    return pixmap;
}

} // namespace

QIcon rowIcon(int index)
{
    static QHash<int, QIcon> cache;
    auto it = cache.find(index);
    if (it == cache.end())
        it = cache.insert(index, makeRowIcon(index));
    return *it;
}

QPixmap engineLight(int index)
{
    static QHash<int, QPixmap> cache;
    auto it = cache.find(index);
    if (it == cache.end())
        it = cache.insert(index, makeLight(index));
    return *it;
}

} // namespace th
