// kestrel: the GUI program. `kestrel [FILE.dat]` starts with that file open.
#include "core/Startup.h"
#include "core/Version.h"
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
    kestrel::MainForm window(app, store, prompter);
    prompter.setParent(&window);
    window.show();
    // An unusable file is reported like any other open; the default image then stays.
    if (!files.isEmpty())
        window.OpenPath(files.first());
    return qapp.exec();
}
