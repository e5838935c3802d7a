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

    QList<Asked> asked;
    int openDialogs = 0;
    QStringList openInitials; // where each open dialog started
    int saveDialogs = 0;

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    QString openFileName(const QString& initialName, const QString& filter) override;
    QString saveFileName(const QString& initialName, const QString& filter) override;

    QStringList texts() const;
};

} // namespace kestrel::test
