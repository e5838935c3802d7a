#include "shell/StatusNote.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

namespace kestrel {

namespace {
const QString NoteName = QStringLiteral("statusNote");
constexpr int NoteMs = 30000;
} // namespace

void ShowStatusNote(QMainWindow* window, const QString& text) {
    QStatusBar* bar = window->statusBar();
    auto* note = bar->findChild<QLabel*>(NoteName);
    if (!note) {
        note = new QLabel(bar);
        note->setObjectName(NoteName);
        // First among the permanent widgets: left of the date and the time.
        bar->insertPermanentWidget(0, note);
        auto* timer = new QTimer(note);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, note, [note] {
            note->clear();
            note->setAccessibleName(QString());
        });
    }
    note->setText(text);
    note->setToolTip(text);
    // A screen reader speaks the note: the name changes with it (Qt tells it with NameChanged).
    note->setAccessibleName(text);
    if (auto* timer = note->findChild<QTimer*>())
        timer->start(NoteMs);
}

QString StatusNoteText(const QMainWindow* window) {
    const auto* note = window->findChild<QLabel*>(NoteName);
    return note ? note->text() : QString();
}

} // namespace kestrel
