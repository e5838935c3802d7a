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
        // The window's caption, spelled correctly on the command line.
        const QString caption = engine.caption().trimmed().replace(QLatin1String("Writting"), QLatin1String("Writing"));
        const QString text = prefix + caption + QLatin1Char(' ') + QString::number(shown) + QLatin1Char('%');
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

QString StoppedTransferText(const CloneEngine& engine, Language language) {
    const int done = engine.framesDone();
    const int count = engine.frameCount();
    switch (engine.direction()) {
    case clone::Write:
        if (done == 0)
            return Pick(language, "The write was stopped before any frame was written: the radio holds what it held.",
                        "写入在写入任何一帧之前停止：电台中的数据未变。");
        return Pick(language,
                    "The write was stopped after %1 of %2 frames: the radio holds part of the new image. Write it "
                    "again before use.",
                    "写入在 %2 帧中的第 %1 帧后停止：电台中只有部分新数据。使用前请重新写入。")
            .arg(done)
            .arg(count);
    case clone::Verify:
        return Pick(language,
                    "The read-back was stopped after %1 of %2 frames: the radio holds the new image, but it is not "
                    "verified.",
                    "回读在 %2 帧中的第 %1 帧后停止：电台中已有新数据，但未经校验。")
            .arg(done)
            .arg(count);
    default:
        return Pick(language,
                    "The read was stopped after %1 of %2 frames: nothing was kept, and the radio is unchanged.",
                    "读取在 %2 帧中的第 %1 帧后停止：没有保留任何数据，电台中的数据未变。")
            .arg(done)
            .arg(count);
    }
}

} // namespace kestrel
