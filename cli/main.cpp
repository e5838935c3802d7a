// kestrel-cli: the command-line face of Kestrel, on the same core and link code as the GUI.
#include "cli/Command.h"

#include "core/Startup.h"
#include "core/Version.h"
#include "link/VirtualRadios.h"

#include <QCoreApplication>
#include <cstdio>

namespace kestrel::cli {

namespace {
QList<Command>& registry() {
    static QList<Command> commands;
    return commands;
}

// `text` in lines of at most 80 columns, broken at spaces, every line after `indent`
// blanks (the first after `firstIndent`). A word longer than a line stays whole.
QString Wrapped(const QString& text, int indent, int firstIndent) {
    constexpr int Width = 80;
    QStringList lines;
    QString line = QString(firstIndent, QLatin1Char(' '));
    bool empty = true;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!empty && line.size() + 1 + word.size() > Width) {
            lines << line;
            line = QString(indent, QLatin1Char(' '));
            empty = true;
        }
        line += (empty ? QString() : QStringLiteral(" ")) + word;
        empty = false;
    }
    lines << line;
    return lines.join(QLatin1Char('\n'));
}

void PrintCommandHelp(const Command& c) {
    Out(Wrapped(QStringLiteral("Usage: kestrel-cli ") + QString::fromUtf8(c.synopsis), 4, 0));
    Out(Wrapped(QString::fromUtf8(c.summary), 2, 2));
}

void PrintUsage() {
    Err(QStringLiteral("Usage: kestrel-cli COMMAND [OPTIONS]"));
    QStringList names;
    for (const Command& c : registry())
        names << QString::fromUtf8(c.name);
    Err(Wrapped(QStringLiteral("Commands: ") + names.join(QStringLiteral(", ")), 2, 0));
    Err(QStringLiteral("See kestrel-cli --help, or kestrel-cli help COMMAND."));
}

void PrintHelp() {
    Out(QStringLiteral("Usage: kestrel-cli COMMAND [OPTIONS]"));
    Out(Wrapped(QStringLiteral("Programs hand-held FM radios: makes, inspects and edits .dat images, reads and writes "
                               "radios."),
                0, 0));
    Out(QString());
    Out(QStringLiteral("Commands:"));
    for (const Command& c : registry()) {
        Out(Wrapped(QString::fromUtf8(c.synopsis), 4, 2));
        Out(Wrapped(QString::fromUtf8(c.summary), 6, 6));
    }
    Out(QString());
    Out(QStringLiteral("Options:"));
    Out(QStringLiteral("  -h, --help          show this help (help COMMAND: the help of one command)"));
    Out(QStringLiteral("  -v, -V, --version   show the version"));
    Out(QStringLiteral("  --demo              before the command: four virtual radios, --port virtual:1"));
    Out(QStringLiteral("                      to virtual:4, stand in for radio and cable (radio 4 is"));
    Out(QStringLiteral("                      400-470 MHz); they keep what is written for as long as the"));
    Out(QStringLiteral("                      command runs. No backups are made."));
    Out(QString());
    Out(Wrapped(QStringLiteral("Files: - names standard input or output (-o -). Ctrl+C or SIGTERM during read, "
                               "write or info stops after the current frame and ends the exchange with the "
                               "radio (exit status 130)."),
                0, 0));
    Out(Wrapped(QStringLiteral("Exit status: 0 success, 1 usage error, 2 file error, 3 radio did not answer or "
                               "answered wrongly, 4 band of the radio does not match the file, 5 the radio "
                               "holds other data than was written (write --verify), 130 stopped by a signal. "
                               "diff: 0 equal, 1 different, 2 trouble."),
                0, 0));
}

const Command* Find(const QString& name) {
    for (const Command& c : registry())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}
} // namespace

bool Register(const Command& command) {
    registry().append(command);
    std::sort(registry().begin(), registry().end(),
              [](const Command& a, const Command& b) { return qstrcmp(a.name, b.name) < 0; });
    return true;
}

const QList<Command>& Commands() { return registry(); }

void Err(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

void Out(const QString& text) { WriteStdout(text.toUtf8() + '\n'); }

namespace {
// "-o", "--band": a dash and a letter. "-1" and "-" are values.
bool LooksLikeOption(const QString& word) {
    const int letter = word.startsWith(QLatin1String("--")) ? 2 : 1;
    return word.startsWith(QLatin1Char('-')) && word.size() > letter && word.at(letter).isLetter();
}
} // namespace

QString TakeOption(QStringList& args, const QStringList& names, bool* found) {
    if (found)
        *found = false;
    for (int i = 0; i < args.size(); ++i) {
        for (const QString& n : names) {
            if (args[i] == n) {
                if (found)
                    *found = true;
                // The next option is no value ("--band -o x.dat"): the value is missing.
                const QString next = args.value(i + 1);
                const bool isValue = i + 1 < args.size() && !LooksLikeOption(next);
                args.remove(i, isValue ? 2 : 1);
                return isValue ? next : QString();
            }
            if (n.startsWith(QLatin1String("--")) && args[i].startsWith(n + QLatin1Char('='))) {
                if (found)
                    *found = true;
                const QString v = args[i].mid(n.size() + 1);
                args.removeAt(i);
                return v;
            }
        }
    }
    return QString();
}

bool TakeFlag(QStringList& args, const QStringList& names) {
    for (const QString& n : names) {
        const int i = int(args.indexOf(n));
        if (i >= 0) {
            args.removeAt(i);
            return true;
        }
    }
    return false;
}

} // namespace kestrel::cli

int main(int argc, char** argv) {
    using namespace kestrel;
    IgnoreFileSizeLimitSignal();
    QCoreApplication qapp(argc, argv);
    QStringList args = qapp.arguments().mid(1);
    const bool demo = !args.isEmpty() && args.first() == QLatin1String("--demo");
    if (demo)
        args.removeFirst();
    if (args.isEmpty()) {
        cli::PrintUsage();
        return cli::Usage;
    }
    if (args[0] == QLatin1String("-h") || args[0] == QLatin1String("--help") ||
        (args[0] == QLatin1String("help") && args.size() == 1)) {
        cli::PrintHelp();
        return cli::FinishStdout(cli::Ok);
    }
    if (args[0] == QLatin1String("help")) {
        const cli::Command* c = cli::Find(args[1]);
        if (!c) {
            cli::Err(QStringLiteral("kestrel-cli: unknown command \"%1\"; see kestrel-cli --help").arg(args[1]));
            return cli::Usage;
        }
        cli::PrintCommandHelp(*c);
        return cli::FinishStdout(cli::Ok);
    }
    if (args[0] == QLatin1String("-V") || args[0] == QLatin1String("-v") || args[0] == QLatin1String("--version")) {
        cli::Out(QStringLiteral("kestrel-cli %1").arg(QLatin1String(version::Text)));
        return cli::FinishStdout(cli::Ok);
    }
    const QString name = args.takeFirst();
    for (const cli::Command& c : cli::Commands()) {
        if (name == QLatin1String(c.name)) {
            AppContext app;
            StartupOptions options;
            options.programFolder = QCoreApplication::applicationDirPath();
            // The command line does not need the warning about Port (the port is given
            // on the command line); Radio.INI problems and the other settings values
            // it uses (backups, verify) are worth a line.
            const QStringList warnings = RunStartup(app, options);
            for (const QString& w : warnings)
                if (w.contains(QLatin1String("Radio.INI")) || w.contains(QLatin1String("settings value [")))
                    cli::Err(QStringLiteral("kestrel-cli: ") + w);
            // Its [Ports] group still maps Com numbers to devices.
            const QString damage = OpenSettingsStore(app, options).damage();
            if (!damage.isEmpty())
                cli::Err(QStringLiteral("kestrel-cli: ") + damage);
            if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
                cli::PrintCommandHelp(c);
                return cli::FinishStdout(cli::Ok);
            }
            VirtualRadios radios(DemoBaudRate());
            if (demo) {
                QString error;
                if (!radios.loadDefaultImages(app.appFolder, &error)) {
                    cli::Err(QStringLiteral("kestrel-cli: ") + error);
                    return cli::FileError;
                }
            }
            cli::Context ctx{app, args, demo ? &radios : nullptr};
            return cli::FinishStdout(c.run(ctx));
        }
    }
    cli::Err(QStringLiteral("kestrel-cli: unknown command \"%1\"; see kestrel-cli --help").arg(name));
    return cli::Usage;
}
