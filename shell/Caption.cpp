#include "shell/Caption.h"

namespace kestrel {

QString FilePartOfName(const QString& fileName) {
    if (fileName == QLatin1String("Untitled"))
        return fileName;
    // Both Windows and the systems Kestrel runs on here accept "/" in paths.
    const int cut = int(std::max(fileName.lastIndexOf(QLatin1Char('\\')), fileName.lastIndexOf(QLatin1Char('/'))));
    return cut < 0 ? fileName : fileName.mid(cut + 1);
}

QString BuildCaption(const QString& productName, const QString& bandText, const QString& fileName,
                     Language language, bool modified) {
    const QString file = FilePartOfName(fileName) + (modified ? QStringLiteral("*") : QString());
    return productName + QLatin1Char('[') + bandText + QStringLiteral(" MHz") + QLatin1Char(']') +
           QStringLiteral(" [") + LoadText(1106, language) + QStringLiteral(": ") + file + QLatin1Char(']');
}

} // namespace kestrel
