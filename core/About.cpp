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

bool SwitchLanguage(AppContext& app, Language language) {
    if (app.language == language)
        return false;
    app.language = language == Chinese ? Chinese : English;
    SetNoToneText(app.toneTable, app.language);
    return true;
}

} // namespace kestrel
