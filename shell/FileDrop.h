#pragma once
// Lets a window take a data file dropped on it: a drag that carries one local file
// ending in ".dat", or a radio text (".yaml", ".yml"), is accepted, anything else is refused. The path is reported after
// the drop has finished, so the question that may follow does not hold up the program
// the file came from.
#include <QObject>

class QMimeData;
class QWidget;

namespace kestrel {

class FileDrop : public QObject {
    Q_OBJECT
public:
    // Turns drops on for `window` and watches its drag and drop events.
    explicit FileDrop(QWidget* window);

    // The path of the one local .dat or radio text file `data` carries; empty otherwise.
    static QString DataFileOf(const QMimeData* data);

signals:
    void fileDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kestrel
