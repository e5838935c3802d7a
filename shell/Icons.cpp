#include "shell/Icons.h"

#include "shell/AppIconArt.h"

#include <QApplication>
#include <QPixmap>
#include <QStyle>

namespace kestrel {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}

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
    return QIcon();
}

} // namespace kestrel
