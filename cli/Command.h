#pragma once
// kestrel-cli subcommands: one file each, registered by KESTREL_CLI_COMMAND.
#include "core/AppContext.h"
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QJsonValue>
#include <QStringList>
#include <functional>

namespace kestrel {
enum class ListFormat; // channels/ChannelListReport.h
class VirtualRadios;   // link/VirtualRadios.h
}

namespace kestrel::cli {

// Exit statuses shared by every subcommand.
enum Exit {
    Ok = 0,
    Usage = 1,
    FileError = 2,
    RadioError = 3,
    BandMismatch = 4,
    VerifyFailed = 5,
    Interrupted = 130, // stopped by SIGINT or SIGTERM, as shells report Ctrl+C
};

struct Context {
    AppContext& app;     // start-up values of this run (folder, Radio.INI timing, tone table)
    QStringList args;    // the arguments after the subcommand name
    // --demo: the virtual radios ("virtual:1" to "virtual:4") for the life of the
    // command; null otherwise.
    VirtualRadios* radios = nullptr;
};

using Handler = std::function<int(Context&)>;

struct Command {
    const char* name;
    const char* synopsis; // "new --band 0|1|2 -o FILE.dat"
    const char* summary;
    Handler run;
};

bool Register(const Command& command);
const QList<Command>& Commands();

// Small helpers for the subcommands.
void Err(const QString& text);                 // one line on stderr
void Out(const QString& text);                 // one line on stdout (UTF-8)
// Value of an option such as "-o" or "--band"; removes it from args. `found` says whether it was there.
// An option followed by nothing or by another option ("--band -o x.dat") has an empty value.
QString TakeOption(QStringList& args, const QStringList& names, bool* found = nullptr);
bool TakeFlag(QStringList& args, const QStringList& names);
// "--lang en|zh" (`language` left as it is when absent) and "--format kestrel|chirp"
// (the same). False after saying on stderr, behind `prefix` ("kestrel-cli channels: "),
// which values the option takes.
bool TakeLanguage(QStringList& args, const QString& prefix, Language* language);
bool TakeListFormat(QStringList& args, const QString& prefix, ListFormat* format);

// Files named on the command line, where "-" is standard input or output.
// The name of standard input/output in messages.
QString StdinName();
// The bytes of FILE (at most `limit`; more is an error), or of standard input read
// to its end for "-". A FIFO, device or socket is refused. False with `error`.
bool ReadInputBytes(const QString& name, qint64 limit, QByteArray* data, QString* error);
// LoadImageFile, or LoadImageData of standard input for "-".
bool LoadImageArg(MemoryImage& image, const QString& name, QString* error);
// Whether an output can be written, found before anything is read or computed:
// "-" always; a special file never ("FILE is not a regular file.").
bool CheckOutputArg(const QString& name, QString* error);
// SaveImageFile, or the 8192 bytes on standard output for "-".
bool SaveImageArg(const MemoryImage& image, const QString& name, QString* error);
// Bytes on standard output; a failure is remembered for FinishStdout.
void WriteStdout(const QByteArray& data);
// "--json", taken out of the arguments; the document on standard output (indented, UTF-8).
bool TakeJson(QStringList& args);
void OutJson(const QJsonValue& value);
// At the end of a command: flushes standard output. When any of it could not be
// written says "Cannot write to standard output: REASON." and gives FileError
// instead of `status`.
int FinishStdout(int status);

} // namespace kestrel::cli

#define KESTREL_CLI_CONCAT2(a, b) a##b
#define KESTREL_CLI_CONCAT(a, b) KESTREL_CLI_CONCAT2(a, b)
#define KESTREL_CLI_COMMAND(...)                                                                                 \
    static const bool KESTREL_CLI_CONCAT(registered_, __LINE__) = ::kestrel::cli::Register({__VA_ARGS__})
