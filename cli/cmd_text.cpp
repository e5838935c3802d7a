// kestrel-cli export, apply, get, set and fields: the radio as readable text, and any
// field read or set by the name `diff` prints.
#include "cli/Command.h"

#include "text/RadioText.h"

#include <QFile>
#include <cstdio>

namespace kestrel::cli {
namespace {

using namespace kestrel::text;

QString Prefix(const char* command) { return QStringLiteral("kestrel-cli %1: ").arg(QLatin1String(command)); }

bool NoOptionsLeft(const QStringList& args, const QString& prefix) {
    for (const QString& a : args) {
        if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            Err(prefix + QStringLiteral("unexpected option \"%1\"").arg(a));
            return false;
        }
    }
    return true;
}

// An image file or a radio text, by its name.
bool LoadInput(const QString& file, const DefaultImages& defaults, MemoryImage& image, const QString& prefix) {
    QStringList errors;
    if (file == QLatin1String("-") || !IsRadioTextFile(file)) {
        QString error;
        if (LoadImageArg(image, file, &error))
            return true;
        errors << error;
    } else if (LoadImageOrText(file, defaults, image, &errors)) {
        return true;
    }
    for (const QString& e : errors)
        Err(prefix + e);
    return false;
}

bool SaveOutput(const MemoryImage& image, const DefaultImages& defaults, const QString& output,
                const QString& prefix) {
    QString error;
    const bool saved = IsRadioTextFile(output) ? SaveRadioTextFile(image, defaults, output, &error)
                                               : SaveImageArg(image, output, &error);
    if (!saved)
        Err(prefix + error);
    return saved;
}

int RunExport(Context& ctx) {
    const QString prefix = Prefix("export");
    QStringList args = ctx.args;
    const QString output = TakeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")});
    if (!NoOptionsLeft(args, prefix))
        return Usage;
    if (args.size() != 1) {
        Err(prefix + QStringLiteral("name one image: export FILE.dat [-o TEXT.yaml]"));
        return Usage;
    }
    const DefaultImages defaults(ctx.app.appFolder);
    MemoryImage image;
    if (!LoadInput(args[0], defaults, image, prefix))
        return FileError;
    if (!output.isEmpty() && output != QLatin1String("-")) {
        QString error;
        if (SaveRadioTextFile(image, defaults, output, &error))
            return Ok;
        Err(prefix + error);
        return FileError;
    }
    QByteArray text;
    QString error;
    if (!ExportRadioText(image, defaults, &text, &error)) {
        Err(prefix + error);
        return FileError;
    }
    WriteStdout(text);
    return Ok;
}

int RunApply(Context& ctx) {
    const QString prefix = Prefix("apply");
    QStringList args = ctx.args;
    const QString output = TakeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")});
    if (!NoOptionsLeft(args, prefix))
        return Usage;
    if (args.size() != 2 || output.isEmpty()) {
        Err(prefix + QStringLiteral("apply BASE.dat TEXT.yaml -o OUT.dat"));
        return Usage;
    }
    const DefaultImages defaults(ctx.app.appFolder);
    MemoryImage image;
    if (!LoadInput(args[0], defaults, image, prefix))
        return FileError;
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        Err(prefix + QStringLiteral("Cannot read %1: %2").arg(args[1], file.errorString()));
        return FileError;
    }
    TextApplyResult result;
    if (!ApplyRadioText(file.readAll(), image, defaults, &result)) {
        for (const FieldError& e : result.errors)
            Err(prefix + args[1] + (e.line > 0 ? QStringLiteral(":") : QStringLiteral(": ")) + e.text());
        return Usage;
    }
    return SaveOutput(image, defaults, output, prefix) ? Ok : FileError;
}

int RunGet(Context& ctx) {
    const QString prefix = Prefix("get");
    QStringList args = ctx.args;
    if (args.size() < 2) {
        Err(prefix + QStringLiteral("get FILE.dat \"View / Field\" ..."));
        return Usage;
    }
    const FieldCatalogue& catalogue = FieldCatalogue::instance();
    QList<const TextField*> fields;
    for (const QString& path : args.mid(1)) {
        const TextField* f = catalogue.find(path);
        if (!f) {
            const QString closest = catalogue.closestPath(path);
            Err(prefix + QStringLiteral("no field is called \"%1\"").arg(path) +
                (closest.isEmpty() ? QString() : QStringLiteral("; did you mean \"%1\"?").arg(closest)));
            return Usage;
        }
        fields << f;
    }
    const DefaultImages defaults(ctx.app.appFolder);
    MemoryImage image;
    if (!LoadInput(args[0], defaults, image, prefix))
        return FileError;
    for (const TextField* f : fields)
        Out(fields.size() == 1 ? ReadField(image, *f) : f->path() + QStringLiteral(": ") + ReadField(image, *f));
    return Ok;
}

int RunSet(Context& ctx) {
    const QString prefix = Prefix("set");
    QStringList args = ctx.args;
    const QString output = TakeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")});
    if (args.size() < 2 || output.isEmpty()) {
        Err(prefix + QStringLiteral("set FILE.dat \"View / Field=VALUE\" ... -o OUT.dat"));
        return Usage;
    }
    QList<FieldAssignment> assignments;
    bool good = true;
    for (const QString& a : args.mid(1)) {
        FieldAssignment assignment;
        QString error;
        if (ParseAssignment(a, &assignment, &error))
            assignments << assignment;
        else {
            Err(prefix + error);
            good = false;
        }
    }
    if (!good)
        return Usage;
    const DefaultImages defaults(ctx.app.appFolder);
    MemoryImage image;
    if (!LoadInput(args[0], defaults, image, prefix))
        return FileError;
    QList<FieldError> errors;
    if (!SetFields(image, assignments, &errors)) {
        for (const FieldError& e : errors)
            Err(prefix + e.text());
        return Usage;
    }
    return SaveOutput(image, defaults, output, prefix) ? Ok : FileError;
}

int RunFields(Context& ctx) {
    if (!ctx.args.isEmpty()) {
        Err(Prefix("fields") + QStringLiteral("takes no arguments"));
        return Usage;
    }
    for (const TextField& f : FieldCatalogue::instance().fields()) {
        if (f.sharedWith.isEmpty())
            Out(f.path() + QStringLiteral("\t") + f.allowed);
        else
            Out(f.path() + QStringLiteral("\tread only: its bytes belong to ") + f.sharedWith);
    }
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("export", "export FILE.dat [-o TEXT.yaml]",
                    "write the whole image as readable YAML text (standard output by default); applying it gives "
                    "the same bytes",
                    RunExport);
KESTREL_CLI_COMMAND("apply", "apply BASE.dat TEXT.yaml -o OUT.dat",
                    "apply a YAML text: with \"base: default\" it is a whole image, otherwise it changes only the "
                    "fields it names. Any error (with line and column) writes nothing",
                    RunApply);
KESTREL_CLI_COMMAND("get", "get FILE.dat \"View / Field\" ...",
                    "print the value of fields, named as diff prints them (\"Optional Features / Squelch Level\", "
                    "\"Channel 37 / RX Freq\"; any letter case)",
                    RunGet);
KESTREL_CLI_COMMAND("set", "set FILE.dat \"View / Field=VALUE\" ... -o OUT.dat",
                    "set fields by name; values are checked as the views check them, never corrected, and any "
                    "refused value writes nothing",
                    RunSet);
KESTREL_CLI_COMMAND("fields", "fields", "list every field path with its allowed values", RunFields);

} // namespace kestrel::cli
