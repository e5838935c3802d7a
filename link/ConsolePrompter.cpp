#include "link/ConsolePrompter.h"

#include <cstdio>

namespace kestrel {

ConsolePrompter::ConsolePrompter(const QString& prefix, int retries) : m_prefix(prefix), m_retries(retries) {}

Prompter::Answer ConsolePrompter::message(const QString&, const QString& text, Icon, Buttons buttons,
                                          Answer defaultAnswer) {
    m_shown << text;
    Answer answer = defaultAnswer;
    QString suffix;
    if (buttons == Buttons::RetryCancel) {
        answer = m_retries > 0 ? Answer::Retry : Answer::Cancel;
        if (m_retries > 0)
            --m_retries;
        suffix = answer == Answer::Retry ? QStringLiteral(" (retrying)") : QString();
    }
    // One line: the lines of the text become sentences of it.
    QStringList parts = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!m_note.isEmpty())
        parts << m_note;
    m_note.clear();
    for (int i = 0; i + 1 < parts.size(); ++i) {
        const QChar last = parts[i].isEmpty() ? QChar() : parts[i].back();
        if (last != QLatin1Char('.') && last != QLatin1Char('!') && last != QLatin1Char('?') &&
            last != QChar(0x3002) && last != QChar(0xFF01))
            parts[i] += QLatin1Char('.');
    }
    const QString line = m_prefix + parts.join(QLatin1Char(' '));
    std::fputs((line + suffix + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    return answer;
}

QString ConsolePrompter::openFileName(const QString&, const QString&) { return QString(); }
QString ConsolePrompter::saveFileName(const QString&, const QString&) { return QString(); }

} // namespace kestrel
