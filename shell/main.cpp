// kestrel: the GUI program. `kestrel [FILE.dat]` starts with that file open;
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

int main(int argc, char** argv) {
    kestrel::IgnoreFileSizeLimitSignal();
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
    parser.addPositionalArgument(QStringLiteral("FILE.dat"), QStringLiteral("Data file to open at start."),
                                 QStringLiteral("[FILE.dat]"));
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
