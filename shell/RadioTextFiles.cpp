#include "shell/RadioTextFiles.h"

#include "text/RadioText.h"

namespace kestrel {

QString RadioTextFilter(const AppContext& app) {
    return app.productName + Pick(app.language, " Text Files (*.yaml)", " 文本文件 (*.yaml)");
}

QString OpenFileFilters(const AppContext& app, const QString& dataFilter) {
    return dataFilter + QStringLiteral(";;") + RadioTextFilter(app);
}

bool LoadDataOrTextFile(const AppContext& app, const QString& path, MemoryImage& image, QString* message) {
    QStringList errors;
    if (text::LoadImageOrText(path, text::DefaultImages(app.appFolder), image, &errors))
        return true;
    *message = errors.join(QLatin1Char('\n'));
    return false;
}

bool SaveDataOrTextFile(const AppContext& app, const QString& path, QString* error) {
    if (text::IsRadioTextFile(path))
        return text::SaveRadioTextFile(app.image, text::DefaultImages(app.appFolder), path, error);
    return app.image.SaveImageFile(path, error);
}

} // namespace kestrel
