#include "tests/support/ScriptedPrompter.h"

namespace kestrel::test {

Prompter::Answer ScriptedPrompter::message(const QString& title, const QString& text, Icon icon, Buttons buttons,
                                           Answer defaultAnswer) {
    asked.append({title, text, icon, buttons, defaultAnswer});
    if (!answers.isEmpty())
        return answers.takeFirst();
    return defaultAnswer;
}

QString ScriptedPrompter::openFileName(const QString& initialName, const QString&) {
    ++openDialogs;
    openInitials << initialName;
    const QString name = openNames.isEmpty() ? QString() : openNames.takeFirst();
    noteChosenFile(name);
    return name;
}

QString ScriptedPrompter::saveFileName(const QString&, const QString&) {
    ++saveDialogs;
    const QString name = saveNames.isEmpty() ? QString() : saveNames.takeFirst();
    noteChosenFile(name);
    return name;
}

QString ScriptedPrompter::saveFileNameOfType(const QString& initialName, const QStringList& filters, int* chosen) {
    saveFilters = filters;
    if (chosen)
        *chosen = saveTypes.isEmpty() ? 0 : saveTypes.takeFirst();
    return saveFileName(initialName, filters.join(QStringLiteral(";;")));
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Asked& a : asked)
        out << a.text;
    return out;
}

} // namespace kestrel::test
