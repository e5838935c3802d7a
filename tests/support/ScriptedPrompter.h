#pragma once
// A Prompter that answers from a script and records what it was asked.
#include "core/Prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel::test {

class ScriptedPrompter : public Prompter {
public:
    struct Asked {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
        Answer defaultAnswer;
    };

    // Answers given in order; when the script runs out, the default answer is used.
    QList<Answer> answers;
    QStringList openNames; // results of openFileName, in order ("" = cancel)
    QStringList saveNames; // results of saveFileName, in order ("" = cancel)
    QList<int> saveTypes;  // the file type saveFileNameOfType answers, in order (0 when none left)

    QList<Asked> asked;
    int openDialogs = 0;
    QStringList openInitials; // where each open dialog started
    int saveDialogs = 0;
    QStringList saveFilters; // the types the last saveFileNameOfType offered

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    QString openFileName(const QString& initialName, const QString& filter) override;
    QString saveFileName(const QString& initialName, const QString& filter) override;
    QString saveFileNameOfType(const QString& initialName, const QStringList& filters, int* chosen) override;

    QStringList texts() const;
};

} // namespace kestrel::test
