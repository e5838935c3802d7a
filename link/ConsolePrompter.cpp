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
    QString line = m_prefix + text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fputs((line + suffix + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    return answer;
}

QString ConsolePrompter::openFileName(const QString&, const QString&) { return QString(); }
QString ConsolePrompter::saveFileName(const QString&, const QString&) { return QString(); }

} // namespace kestrel
