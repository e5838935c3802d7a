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

QLabel* AddStatusNote(QMainWindow* window) {
    QStatusBar* bar = window->statusBar();
    auto* note = bar->findChild<QLabel*>(NoteName);
    if (note)
        return note;
    note = new QLabel(bar);
    note->setObjectName(NoteName);
    // Permanent widgets follow the bar's ordinary ones; the note goes after those already there.
    bar->addPermanentWidget(note);
    auto* timer = new QTimer(note);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, note, [note] {
        note->clear();
        note->setAccessibleName(QString());
    });
    return note;
}

void ShowStatusNote(QMainWindow* window, const QString& text) {
    QLabel* note = AddStatusNote(window);
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
