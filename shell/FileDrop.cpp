#include "shell/FileDrop.h"

#include "text/RadioText.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace kestrel {

FileDrop::FileDrop(QWidget* window) : QObject(window) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString FileDrop::DataFileOf(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().first();
    if (!url.isLocalFile())
        return QString();
    const QString path = url.toLocalFile();
    return path.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive) || text::IsRadioTextFile(path) ? path : QString();
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!DataFileOf(e->mimeData()).isEmpty())
            e->acceptProposedAction();
        else
            e->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const QString path = DataFileOf(e->mimeData());
        if (path.isEmpty()) {
            e->ignore();
            return true;
        }
        e->acceptProposedAction();
        QTimer::singleShot(0, this, [this, path] { emit fileDropped(path); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace kestrel
