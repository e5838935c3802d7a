#include "core/About.h"

#include "core/Tone.h"

namespace kestrel {

QString AboutCaption(const AppContext& app) {
    return LoadText(1334, app.language) + QLatin1Char(' ') + app.productName;
}

QString AboutText(const AppContext& app, int year) {
    const QString crlf = QStringLiteral("\r\n");
    const Language l = app.language;
    QString name = app.productName;
    name.replace(QLatin1String("&"), QLatin1String("&&"));
    return name + QLatin1Char(' ') + LoadText(1323, l) + crlf + LoadText(1324, l) + QLatin1Char(' ') + name +
           crlf + crlf + LoadText(1325, l) + QLatin1Char(' ') + app.versionText() + crlf + LoadText(1326, l) +
           QLatin1Char(' ') + app.releaseDate + crlf + crlf + LoadText(1327, l) + QStringLiteral(" %1").arg(year) +
           crlf + LoadText(1328, l);
}

QString LicenceNotice(Language language) {
    return Pick(language,
                "Kestrel is free software: you can redistribute it and/or modify it under the terms of the GNU "
                "General Public License, version 3 or (at your option) any later version. It comes with "
                "ABSOLUTELY NO WARRANTY. The licence's text is in the file LICENSE (in the package: "
                "/usr/share/common-licenses/GPL-3).",
                "Kestrel 是自由软件：您可以按照 GNU 通用公共许可证第 3 版或（由您选择）任何更新版本的条款"
                "重新发布和/或修改它。本程序不提供任何担保。许可证全文见 LICENSE 文件"
                "（安装包中为 /usr/share/common-licenses/GPL-3）。");
}

bool SwitchLanguage(AppContext& app, Language language) {
    if (app.language == language)
        return false;
    app.language = language == Chinese ? Chinese : English;
    SetNoToneText(app.toneTable, app.language);
    return true;
}

} // namespace kestrel
