#include "link/CloneRun.h"

#include <QEventLoop>
#include <cstdio>
#include <memory>
#ifdef Q_OS_WIN
#include <io.h>
#define KESTREL_ISATTY _isatty
#define KESTREL_FILENO _fileno
#else
#include <unistd.h>
#define KESTREL_ISATTY isatty
#define KESTREL_FILENO fileno
#endif

namespace kestrel {

CloneEngine::Outcome RunCloneToEnd(CloneEngine& engine) {
    QEventLoop loop;
    const QMetaObject::Connection c = QObject::connect(&engine, &CloneEngine::closed, &loop, &QEventLoop::quit);
    if (engine.Start() && !engine.flagComplete())
        loop.exec();
    QObject::disconnect(c);
    return engine.outcome();
}

void ShowProgressOnStderr(CloneEngine& engine, const QString& prefix) {
    const bool terminal = KESTREL_ISATTY(KESTREL_FILENO(stderr)) != 0;
    auto last = std::make_shared<int>(-1);
    QObject::connect(&engine, &CloneEngine::progressChanged, &engine, [&engine, prefix, terminal, last](int value) {
        const int shown = terminal ? value : value / 10 * 10;
        if (shown == *last || (!terminal && value == 0 && *last > 0))
            return; // a restart from the handshake is not worth a line
        *last = shown;
        const QString text = prefix + engine.caption().trimmed() + QLatin1Char(' ') + QString::number(shown) +
                             QLatin1Char('%');
        std::fputs((terminal ? QStringLiteral("\r") + text + (shown == 100 ? QStringLiteral("\n") : QString())
                             : text + QLatin1Char('\n'))
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        std::fflush(stderr);
    });
    QObject::connect(&engine, &CloneEngine::closed, &engine, [terminal, last] {
        if (terminal && *last >= 0 && *last < 100)
            std::fputc('\n', stderr);
        *last = -1;
    });
}

} // namespace kestrel
