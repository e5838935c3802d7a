// The options several subcommands share.
#include "channels/ChannelLists.h"
#include "cli/Command.h"

namespace kestrel::cli {

bool TakeLanguage(QStringList& args, const QString& prefix, Language* language) {
    bool found = false;
    const QString lang = TakeOption(args, {QStringLiteral("--lang")}, &found);
    if (!found)
        return true;
    if (lang == QLatin1String("zh") || lang == QLatin1String("en")) {
        *language = lang == QLatin1String("zh") ? Chinese : English;
        return true;
    }
    Err(prefix + QStringLiteral("--lang takes en or zh"));
    return false;
}

bool TakeListFormat(QStringList& args, const QString& prefix, ListFormat* format) {
    bool found = false;
    const QString name = TakeOption(args, {QStringLiteral("--format")}, &found);
    if (!found)
        return true;
    if (const std::optional<ListFormat> named = ListFormatOfName(name)) {
        *format = *named;
        return true;
    }
    Err(prefix + QStringLiteral("--format takes kestrel or chirp"));
    return false;
}

} // namespace kestrel::cli
