#pragma once
// Care every window gets as it is shown, whoever built it:
// - a combo box is named after the label that points at it (Qt names a combo box by the
//   entry it shows otherwise, so a screen reader would say "1, combo box" instead of
//   "Group, 1");
// - large text or a small screen can make a dialog taller (or wider) than the screen,
//   with its lower fields and buttons out of reach: its content then goes into a scroll
//   area sized to the screen. Dialogs that fit are left exactly as they are.
#include <QHash>
#include <QObject>
#include <QPointer>

class QDialog;
class QWidget;

namespace kestrel {

// Watches every dialog as it opens and closes: names its lists by their labels, lets it
// scroll when larger than the screen, puts the focus on its first field when nothing took
// it, and gives the focus back to the control that had it when the dialog closes.
class WindowCare : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QObject*, QPointer<QWidget>> m_focusBefore;
};

// Makes Qt name every combo box by its own accessible name, else by the label that points
// at it, and only without either by the entry it shows (Qt's own rule on Linux names a combo
// box by its entry always). Its value stays the entry shown. Tool bars are named by their
// current accessible name or title. Call once, before the first combo box is asked for.
void InstallComboBoxNames();

// Names every combo box under `root` that a label points at (its buddy) after that label,
// without the access-key mark; a name set otherwise is kept. Run again after the labels change.
void NameListsByTheirLabels(QWidget* root);

// Moves the content of `dialog` (a box layout) into a scroll area when its size hint
// exceeds the available part of its screen. True when it did.
bool ScrollWhenTooLarge(QDialog* dialog);

} // namespace kestrel
