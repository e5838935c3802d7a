// kestrel-cli diff: every difference between two images, by the views' fields.
#include "cli/Command.h"

#include "core/ImageCompare.h"
#include "text/RadioText.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli diff: ");

// As diff tools do: 0 the same, 1 different, 2 trouble of any kind.
enum DiffExit { Same = 0, Different = 1, Trouble = 2 };

int RunDiff(Context& ctx) {
    QStringList args = ctx.args;
    Language language = English;
    const bool json = TakeJson(args);
    if (!TakeLanguage(args, Prefix, &language))
        return Trouble;
    for (const QString& a : args) {
        if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            Err(Prefix + QStringLiteral("unexpected option \"%1\"").arg(a));
            return Trouble;
        }
    }
    if (args.size() != 2) {
        Err(Prefix + QStringLiteral("name two images: diff A.dat B.dat"));
        return Trouble;
    }
    if (args[0] == QLatin1String("-") && args[1] == QLatin1String("-")) {
        Err(Prefix + QStringLiteral("only one of the images can come from standard input (-)"));
        return Trouble;
    }
    // Either side may be a radio text (.yaml): a partial one stands on its band's default image.
    const text::DefaultImages defaults(ctx.app.appFolder);
    MemoryImage images[2];
    for (int i = 0; i < 2; ++i) {
        QStringList errors;
        QString error;
        const bool isText = args[i] != QLatin1String("-") && text::IsRadioTextFile(args[i]);
        if (isText ? !text::LoadImageOrText(args[i], defaults, images[i], &errors)
                   : !LoadImageArg(images[i], args[i], &error)) {
            for (const QString& e : isText ? errors : QStringList{error})
                Err(Prefix + e);
            return Trouble;
        }
    }
    const QList<ImageDifference> differences = CompareImages(images[0], images[1], language);
    if (json) {
        QJsonArray list;
        for (const ImageDifference& d : differences) {
            const QString item = d.item(language);
            list << QJsonObject{{"field", d.where.isEmpty() ? item : d.where + QStringLiteral(" / ") + item},
                                {"a", d.oldText},
                                {"b", d.newText}};
        }
        OutJson(list);
    } else {
        for (const QString& line : DifferenceLines(differences, language))
            Out(line);
    }
    return differences.isEmpty() ? Same : Different;
}

} // namespace

KESTREL_CLI_COMMAND("diff", "diff A.dat|A.yaml|- B.dat|B.yaml|- [--lang en|zh] [--json]",
                    "list every difference between two images or radio texts, one line per field as the views show it "
                    "(\"Channel 37 / RX Freq: 146.52000 -> 146.52500\"), bytes no view shows as raw lines; --json: a JSON array of objects with the fields field (the "
                    "path before the colon, \"Channel 37 / RX Freq\"), a and b. "
                    "Exit status 0 when the images are equal, 1 when they differ, 2 on a file or usage error",
                    RunDiff);

} // namespace kestrel::cli
