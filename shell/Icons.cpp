#include "shell/Icons.h"

#include "shell/AppIconArt.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace kestrel {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}

namespace {
// A curved arrow turning back to the left (Undo) or, mirrored, to the right (Redo).
QIcon TurnArrow(bool mirrored) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (mirrored) {
        p.translate(32, 0);
        p.scale(-1, 1);
    }
    const QColor ink(0x1F, 0x5F, 0x8B);
    p.setPen(QPen(ink, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(7, 8, 20, 18), 90 * 16, -200 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({QPointF(3, 9), QPointF(13, 2.5), QPointF(13, 15.5)}));
    return QIcon(pm);
}
} // namespace

QIcon CommandIcon(const QString& name) {
    QStyle* s = QApplication::style();
    if (name == QLatin1String("new"))
        return s->standardIcon(QStyle::SP_FileIcon);
    if (name == QLatin1String("open"))
        return s->standardIcon(QStyle::SP_DialogOpenButton);
    if (name == QLatin1String("save"))
        return s->standardIcon(QStyle::SP_DialogSaveButton);
    if (name == QLatin1String("print"))
        return s->standardIcon(QStyle::SP_FileDialogDetailedView);
    if (name == QLatin1String("read"))
        return s->standardIcon(QStyle::SP_ArrowDown);
    if (name == QLatin1String("write"))
        return s->standardIcon(QStyle::SP_ArrowUp);
    if (name == QLatin1String("about"))
        return s->standardIcon(QStyle::SP_MessageBoxInformation);
    if (name == QLatin1String("model"))
        return s->standardIcon(QStyle::SP_ComputerIcon);
    if (name == QLatin1String("batch"))
        return s->standardIcon(QStyle::SP_FileDialogListView);
    if (name == QLatin1String("undo"))
        return QIcon::fromTheme(QStringLiteral("edit-undo"), TurnArrow(false));
    if (name == QLatin1String("redo"))
        return QIcon::fromTheme(QStringLiteral("edit-redo"), TurnArrow(true));
    return QIcon();
}

} // namespace kestrel
