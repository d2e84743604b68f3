#include "app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace dnsbatch {

QPixmap drawAppIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    QLinearGradient tile(0, 0, 0, 32);
    tile.setColorAt(0, QColor(0x2f, 0x80, 0xed));
    tile.setColorAt(1, QColor(0x1b, 0x4f, 0xa8));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);

    // The globe: an outline, the equator and a meridian.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xe8, 0xf4, 0xff), 1.6));
    const QRectF globe(5, 5, 17, 17);
    p.drawEllipse(globe);
    p.drawLine(QPointF(5, 13.5), QPointF(22, 13.5));
    p.drawEllipse(QRectF(10, 5, 7, 17));

    // The magnifying glass.
    p.setPen(QPen(QColor(0xff, 0xb3, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 22), QPointF(28, 28));
    p.setPen(QPen(QColor(0xff, 0xb3, 0x20), 2.2));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QRectF(15, 15, 9, 9));
    return pixmap;
}

QIcon appIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addPixmap(drawAppIcon(size));
    return icon;
}

}  // namespace dnsbatch
