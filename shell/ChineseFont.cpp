#include "shell/ChineseFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace kestrel {

QString SimplifiedChineseFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        static const char* const preferred[] = {
            "Noto Sans CJK SC",    "Source Han Sans SC", "Source Han Sans CN", "Noto Serif CJK SC",
            "WenQuanYi Micro Hei", "WenQuanYi Zen Hei",  "Microsoft YaHei",    "SimSun",
            "PingFang SC"};
        for (const char* name : preferred)
            if (installed.contains(QLatin1String(name), Qt::CaseInsensitive))
                return QString::fromLatin1(name);
        for (const QString& f : installed)
            if (f.endsWith(QLatin1String(" SC")) || f.endsWith(QLatin1String(" CN")) ||
                f.contains(QLatin1String("GB")))
                return f;
        return QString();
    }();
    return family;
}

QFont WithSimplifiedChinese(QFont font) {
    const QString sc = SimplifiedChineseFamily();
    if (sc.isEmpty())
        return font;
    QStringList families = font.families();
    if (families.isEmpty())
        families << font.family();
    families.removeAll(sc);
    families << sc;
    font.setFamilies(families);
    return font;
}

} // namespace kestrel
