// kestrel-grid-bench: how long the channel grid takes to paste all 128 channels and to
// take that paste back with Undo, on the real main window (Qt's offscreen platform
// unless QT_QPA_PLATFORM says otherwise). Prints the median and the slowest of several
// rounds against the goals: a paste under 50 ms, one Undo under 5 ms.
//
//   kestrel-grid-bench [--rounds N]
#include "channels/GridCommands.h"
#include "channels/frmChannel.h"
#include "core/ChannelRecord.h"
#include "core/Startup.h"
#include "core/Tone.h"
#include "shell/MainForm.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace kestrel;

namespace {

// Answers every question with its default and says nothing.
class QuietPrompter : public Prompter {
public:
    Answer message(const QString&, const QString&, Icon, Buttons, Answer defaultAnswer) override {
        return defaultAnswer;
    }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
};

// 128 rows of every grid column, in the grid's own English texts.
QString ChannelRows(const QStringList& tones) {
    QString text;
    for (int n = 0; n < ChannelCount; ++n) {
        QStringList cells;
        const QString rx = QStringLiteral("%1.%2").arg(136 + n / 4).arg((n % 4) * 25000, 5, 10, QLatin1Char('0'));
        cells << rx << rx << tones[1 + n % 50] << tones[51 + n % 105];
        for (int c = FirstOptionColumn; c <= LastOptionColumn; ++c) {
            const QStringList items = ChannelOptionList(c, English);
            cells << items[n % items.size()];
        }
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

struct Figures {
    double median = 0;
    double slowest = 0;
};

Figures Summary(QList<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.last()};
}

void Print(const char* what, const Figures& f, double goal) {
    std::printf("%-28s median %7.2f ms, slowest %7.2f ms  (goal under %g ms: %s)\n", what, f.median, f.slowest, goal,
                f.slowest < goal ? "met" : (f.median < goal ? "met by the median" : "NOT met"));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    int rounds = 15;
    const QStringList args = QCoreApplication::arguments();
    const int at = int(args.indexOf(QStringLiteral("--rounds")));
    if (at > 0 && at + 1 < args.size())
        rounds = qBound(1, args.at(at + 1).toInt(), 1000);

    QTemporaryDir dir; // the settings store of this run, never the user's own
    AppContext app;
    StartupOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    options.settingsLocation = dir.filePath(QStringLiteral("settings.ini"));
    for (const QString& w : RunStartup(app, options))
        std::fprintf(stderr, "kestrel-grid-bench: %s\n", qPrintable(w));
    SettingsStore store = OpenSettingsStore(app, options);
    QuietPrompter prompter;
    MainForm window(app, store, prompter);
    window.resize(1280, 720);
    window.show();
    QApplication::processEvents();

    frmChannel& grid = *window.channelEditor;
    QApplication::clipboard()->setText(ChannelRows(BuildToneTable(English)));
    QList<double> paste;
    QList<double> undo;
    QList<double> redo;
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        grid.ChannelGrid->setCurrentCell(0, ColRxFreq);
        timer.start();
        grid.commands->paste();
        paste << timer.nsecsElapsed() / 1e6;
        QApplication::processEvents();
        timer.start();
        window.Dispatch(QStringLiteral("miUndo"));
        undo << timer.nsecsElapsed() / 1e6;
        QApplication::processEvents();
        timer.start();
        window.Dispatch(QStringLiteral("miRedo"));
        redo << timer.nsecsElapsed() / 1e6;
        QApplication::processEvents();
        window.Dispatch(QStringLiteral("miUndo"));
        QApplication::processEvents();
    }
    // The last paste was undone: put it again and check that it stored every channel.
    window.Dispatch(QStringLiteral("miRedo"));
    const QStringList last = ChannelRows(BuildToneTable(English)).split(QLatin1Char('\n')).at(ChannelCount - 1).split(
        QLatin1Char('\t'));
    if (ReadChannelForDisplay(app.image, app.band, app.toneTable, English, ChannelCount - 1).text(ColRxFreq) !=
        last.first()) {
        std::fprintf(stderr, "kestrel-grid-bench: the paste did not store channel 128\n");
        return 1;
    }
    std::printf("%d rounds on the real grid (%s platform)\n", rounds, qPrintable(QGuiApplication::platformName()));
    Print("paste of 128 channels", Summary(paste), 50);
    Print("one Undo of that paste", Summary(undo), 5);
    Print("one Redo of that paste", Summary(redo), 5);
    return 0;
}
