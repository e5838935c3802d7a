#include "shell/UserGuideCommand.h"

#include "core/UserGuide.h"

#include <QDir>

namespace kestrel {

QString OpenUserGuide(const AppContext& app, Prompter& prompter, const std::function<bool(const QUrl&)>& open) {
    const Language l = app.language;
    const QString title = Pick(l, "User Guide", "用户指南");
    const QString page = FindUserGuide(app.appFolder, l);
    if (page.isEmpty()) {
        prompter.inform(title, UserGuideMissingText(app.appFolder, l), Prompter::Icon::Information);
        return QString();
    }
    if (!open(QUrl::fromLocalFile(page))) {
        prompter.inform(title,
                        Pick(l, "No browser could be started. Open the user guide yourself: %1",
                             "无法启动浏览器。请自行打开用户指南：%1")
                            .arg(QDir::toNativeSeparators(page)),
                        Prompter::Icon::Exclamation);
        return QString();
    }
    return page;
}

} // namespace kestrel
