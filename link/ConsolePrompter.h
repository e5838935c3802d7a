#pragma once
// A Prompter for programs on a terminal: every message goes to stderr as one
// line; "Retry" is answered a set number of times, then "Cancel". File dialogs
// are not available (empty answers).
#include "core/Prompter.h"

#include <QStringList>

namespace kestrel {

class ConsolePrompter : public Prompter {
public:
    // `prefix` starts every line ("kestrel-cli read: "); `retries`: how many
    // Retry/Cancel questions are answered with Retry.
    explicit ConsolePrompter(const QString& prefix, int retries = 0);

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    QString openFileName(const QString& initialName, const QString& filter) override;
    QString saveFileName(const QString& initialName, const QString& filter) override;

    int retriesLeft() const { return m_retries; }
    // A sentence added after the next message only ("The radio stopped answering after ...").
    void setNote(const QString& note) { m_note = note; }
    // The texts shown so far, in order.
    const QStringList& shown() const { return m_shown; }

private:
    QString m_prefix;
    int m_retries;
    QStringList m_shown;
    QString m_note;
};

} // namespace kestrel
