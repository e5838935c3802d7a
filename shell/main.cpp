// kestrel: the GUI program.
#include "core/Startup.h"
#include "shell/Icons.h"
#include "shell/MainForm.h"
#include "shell/WidgetPrompter.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    kestrel::IgnoreFileSizeLimitSignal();
    QApplication qapp(argc, argv);
    qapp.setWindowIcon(kestrel::AppIcon()); // every window and dialog carries the program's icon
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
    return qapp.exec();
}
