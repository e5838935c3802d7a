#pragma once
// The one seam through which every part of the program asks the user something or
// tells them something: message boxes and file dialogs. The GUI answers with real
// dialogs, the command line on stderr, the tests from a script.
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace kestrel {

class Prompter {
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Buttons { Ok, OkCancel, YesNoCancel, RetryCancel };
    enum class Answer { Ok, Cancel, Yes, No, Retry };

    virtual ~Prompter() = default;

    // A message box. `defaultAnswer` is the button that Enter chooses.
    virtual Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons,
                           Answer defaultAnswer) = 0;

    // File dialogs: an empty result means the user cancelled. `filter` in the
    // "Description (*.ext)" form.
    virtual QString openFileName(const QString& initialName, const QString& filter) = 0;
    virtual QString saveFileName(const QString& initialName, const QString& filter) = 0;
    // A save dialog that offers several file types, one filter each; `chosen` gets the
    // position of the type picked. Without a dialog of its own a prompter offers them
    // all in one and answers the first.
    virtual QString saveFileNameOfType(const QString& initialName, const QStringList& filters, int* chosen) {
        if (chosen)
            *chosen = 0;
        return saveFileName(initialName, filters.join(QStringLiteral(";;")));
    }

    // A plain OK box.
    void inform(const QString& title, const QString& text, Icon icon) {
        message(title, text, icon, Buttons::Ok, Answer::Ok);
    }

    // The folder of the file chosen last in a file dialog. A dialog whose initial name
    // has no folder of its own starts there; the GUI keeps it from one run to the next.
    QString lastFolder() const { return m_lastFolder; }
    void setLastFolder(const QString& folder) { m_lastFolder = folder; }

protected:
    // Call with every file a dialog returns (an empty name, a cancel, changes nothing).
    void noteChosenFile(const QString& path) {
        if (!path.isEmpty())
            m_lastFolder = QFileInfo(path).absolutePath();
    }

private:
    QString m_lastFolder;
};

} // namespace kestrel
