#pragma once
// kestrel-cli subcommands: one file each, registered by KESTREL_CLI_COMMAND.
#include "core/AppContext.h"
#include "core/StringTable.h"

#include <QStringList>
#include <functional>

namespace kestrel {
enum class ListFormat; // channels/ChannelListReport.h
class VirtualRadios;   // link/VirtualRadios.h
}

namespace kestrel::cli {

// Exit statuses shared by every subcommand.
enum Exit { Ok = 0, Usage = 1, FileError = 2, RadioError = 3, BandMismatch = 4, VerifyFailed = 5 };

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

} // namespace kestrel::cli

#define KESTREL_CLI_CONCAT2(a, b) a##b
#define KESTREL_CLI_CONCAT(a, b) KESTREL_CLI_CONCAT2(a, b)
#define KESTREL_CLI_COMMAND(...)                                                                                 \
    static const bool KESTREL_CLI_CONCAT(registered_, __LINE__) = ::kestrel::cli::Register({__VA_ARGS__})
