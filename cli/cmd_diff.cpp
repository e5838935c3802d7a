// kestrel-cli diff: every difference between two images, by the views' fields.
#include "cli/Command.h"

#include "core/ImageCompare.h"
#include "text/RadioText.h"

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli diff: ");

// As diff tools do: 0 the same, 1 different, 2 trouble of any kind.
enum DiffExit { Same = 0, Different = 1, Trouble = 2 };

int RunDiff(Context& ctx) {
    QStringList args = ctx.args;
    Language language = English;
    if (!TakeLanguage(args, Prefix, &language))
        return Trouble;
    for (const QString& a : args) {
        if (a.startsWith(QLatin1Char('-'))) {
            Err(Prefix + QStringLiteral("unexpected option \"%1\"").arg(a));
            return Trouble;
        }
    }
    if (args.size() != 2) {
        Err(Prefix + QStringLiteral("name two images: diff A.dat B.dat"));
        return Trouble;
    }
    // Either side may be a radio text (.yaml): a partial one stands on its band's default image.
    const text::DefaultImages defaults(ctx.app.appFolder);
    MemoryImage images[2];
    for (int i = 0; i < 2; ++i) {
        QStringList errors;
        if (!text::LoadImageOrText(args[i], defaults, images[i], &errors)) {
            for (const QString& e : errors)
                Err(Prefix + e);
            return Trouble;
        }
    }
    const QList<ImageDifference> differences = CompareImages(images[0], images[1], language);
    for (const QString& line : DifferenceLines(differences, language))
        Out(line);
    return differences.isEmpty() ? Same : Different;
}

} // namespace

KESTREL_CLI_COMMAND("diff", "diff A.dat|A.yaml B.dat|B.yaml [--lang en|zh]",
                    "list every difference between two images or radio texts, one line per field as the views show it "
                    "(\"Channel 37 / RX Freq: 146.52000 -> 146.52500\"), bytes no view shows as raw lines. "
                    "Exit status 0 when the images are equal, 1 when they differ, 2 on a file or usage error",
                    RunDiff);

} // namespace kestrel::cli
