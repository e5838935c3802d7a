#pragma once
// Short feedback in the main window's status bar, beside its clock: "Saved radio1.dat",
// "Read complete: 136-174 MHz". The note stays for half a minute or until the next one;
// hovering over menu entries (their status tips) does not wipe it.
#include <QString>

class QMainWindow;
class QLabel;

namespace kestrel {

// Puts the (empty) note into the status bar unless it is there; a window adds it before
// its own permanent widgets to have it left of them. ShowStatusNote adds it when needed.
QLabel* AddStatusNote(QMainWindow* window);

void ShowStatusNote(QMainWindow* window, const QString& text);

// The note shown now (empty when none).
QString StatusNoteText(const QMainWindow* window);

} // namespace kestrel
