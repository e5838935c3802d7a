// kestrel: the GUI program. `kestrel [FILE.dat|FILE.yaml]` starts with that file open;
// `kestrel --demo` with four virtual radios to try every radio command on.
#include "core/Startup.h"
#include "core/Version.h"
#include "link/VirtualRadios.h"
#include "shell/ChineseFont.h"
#include "shell/Icons.h"
#include "shell/MainForm.h"
#include "shell/WidgetPrompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

namespace {
// --help and --version are answered before any window system is needed, so they work
// without a display (over ssh, in scripts). Gives the exit status, or -1 to go on.
int AnswerWithoutDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--")
            break;
        if (a == "-v" || a == "-V" || a == "--version") {
            std::printf("kestrel %s\n", kestrel::version::Text);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
        }
        if (a == "-h" || a == "--help" || a == "-?") {
            std::fputs("Usage: kestrel [OPTIONS] [FILE.dat|FILE.yaml]\n"
                       "Programs hand-held FM two-way radios: reads and writes radios, edits their\n"
                       "channels and settings, keeps them as .dat files.\n"
                       "\n"
                       "Options:\n"
                       "  -h, --help          show this help\n"
                       "  -v, -V, --version   show the version\n"
                       "  --demo              try every feature without a radio: four virtual radios\n"
                       "                      stand in for radio and cable; nothing is remembered\n"
                       "\n"
                       "Arguments:\n"
                       "  FILE.dat            the data file (or radio text, .yaml) to open at start\n"
                       "\n"
                       "The command-line program kestrel-cli does the same without a window.\n",
                       stdout);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
        }
    }
    return -1;
}
} // namespace

int main(int argc, char** argv) {
    kestrel::IgnoreFileSizeLimitSignal();
    if (const int status = AnswerWithoutDisplay(argc, argv); status >= 0)
        return status;
    QApplication qapp(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(kestrel::version::Text));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.varnel.Kestrel"));
    qapp.setWindowIcon(kestrel::AppIcon()); // every window and dialog carries the program's icon
    // Chinese texts in the Simplified Chinese glyphs, whatever the system's language.
    QApplication::setFont(kestrel::WithSimplifiedChinese(QApplication::font()));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Programs hand-held FM two-way radios."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE.dat"),
                                 QStringLiteral("Data file (or radio text, .yaml) to open at start."),
                                 QStringLiteral("[FILE.dat|FILE.yaml]"));
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Try every feature without a radio: four virtual radios inside the "
                       "program stand in for radio and cable; nothing is remembered."));
    parser.addOption(demo);
    parser.process(qapp);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        std::fprintf(stderr, "kestrel: opening only the first of %d files\n", int(files.size()));

    kestrel::AppContext app;
    kestrel::StartupOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    const QStringList warnings = kestrel::RunStartup(app, options);
    for (const QString& w : warnings)
        std::fprintf(stderr, "kestrel: %s\n", qPrintable(w));
    kestrel::SettingsStore store = kestrel::OpenSettingsStore(app, options);
    kestrel::WidgetPrompter prompter;
    // Before the window: its engine may hold a link to them until it goes.
    kestrel::VirtualRadios radios(kestrel::DemoBaudRate());
    kestrel::MainForm window(app, store, prompter);
    prompter.setParent(&window);
    if (parser.isSet(demo)) {
        QString error;
        if (!radios.loadDefaultImages(app.appFolder, &error))
            std::fprintf(stderr, "kestrel: the virtual radios start empty: %s\n", qPrintable(error));
        window.setVirtualRadios(&radios);
    }
    window.show();
    // An unusable file is reported like any other open; the default image then stays.
    if (!files.isEmpty())
        window.OpenPath(files.first());
    return qapp.exec();
}
