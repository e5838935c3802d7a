#pragma once
// What every benchmark starts with: the program's own start-up, from the folder the
// benchmark runs in (Radio.INI and the default images lie beside it). The folder.
#include "core/AppContext.h"
#include "core/Startup.h"

#include <QCoreApplication>

namespace kestrel::bench {

inline QString StartLikeTheProgram(AppContext& app) {
    StartupOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    RunStartup(app, options);
    return options.programFolder;
}

} // namespace kestrel::bench
