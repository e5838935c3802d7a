#pragma once
// Small pieces the settings dialogs share: named controls, Enter detection and the
// typed-key and pasted-text filters of their text boxes.
#include <QChar>
#include <QString>
#include <QStringList>
#include <QValidator>

#include <functional>
#include <optional>

class QKeyEvent;
class QLineEdit;
class QComboBox;


namespace kestrel::settings {

template <typename W>
W* Make(QWidget* parent, const QString& name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

// Name of element `index` of a control array: the name followed by the index ("ChkSet19").
QString ArrayName(const char* name, int index);

bool IsEnter(const QKeyEvent* key);
bool IsEscape(const QKeyEvent* key);

// Replaces the items of a drop-down list, keeping the selected position.
void FillList(QComboBox* list, const QStringList& items);

using CharFilter = std::function<std::optional<QChar>(QChar)>;

// A key press in a box whose typed characters go through `filter`. Keys that type
// nothing (arrows, Home, Tab...), Backspace and Delete reach the box; with `clipboard`
// Ctrl+C, Ctrl+V and Ctrl+X do too, every other Ctrl key is swallowed; a refused
// character is swallowed, an accepted one is typed as the filter turned it. Returns
// true when the box must not see the event.
bool FilterTypedKey(QLineEdit* box, QKeyEvent* key, const CharFilter& filter, bool clipboard);

// Keeps pasted or dropped text to what the key filter would have let through.
class CleaningValidator : public QValidator {
public:
    using Cleaner = std::function<QString(const QString&)>;
    CleaningValidator(Cleaner cleaner, QObject* parent) : QValidator(parent), m_clean(std::move(cleaner)) {}
    State validate(QString& input, int& pos) const override;

private:
    Cleaner m_clean;
};

} // namespace kestrel::settings
