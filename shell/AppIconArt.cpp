#include "shell/AppIconArt.h"

#include <QPainter>
#include <QPainterPath>

namespace kestrel {

void PaintAppIcon(QPainter& p, int size) {
    // Drawn on a 64-unit grid, as in resources/org.varnel.Kestrel.svg.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1F, 0x5F, 0x8B));
    p.drawEllipse(QRectF(2, 2, 60, 60));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xF2, 0xA9, 0x00), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(14, 40), QPointF(32, 18), QPointF(50, 40)}));
    QPainterPath wave(QPointF(20, 48));
    wave.quadTo(QPointF(32, 38), QPointF(44, 48));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wave);
    p.restore();
}

QImage AppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    PaintAppIcon(p, size);
    p.end();
    return image;
}

} // namespace kestrel
