#pragma once
// The --port and --retries options shared by the commands that talk to a radio.
#include "cli/Command.h"

#include <optional>

namespace kestrel {
class CloneEngine;
class ConsolePrompter;
} // namespace kestrel

namespace kestrel::cli {

struct RadioPort {
    QString device; // the device to open
    int retries = 0; // Retry answers to "Connection Fail!"
};

// The two options as given, taken out of the arguments.
struct RadioOptions {
    bool havePort = false;
    QString portText;
    bool haveRetries = false;
    QString retriesText;
};
RadioOptions TakeRadioOptions(QStringList& args);
// Every --port (-p) value in the order given, taken out of the arguments.
QStringList TakeAllPorts(QStringList& args);

// Checks the option values; on a problem says so on stderr (after `prefix`) and
// gives nothing, which is a usage error.
// A --port that names a regular file is refused here too: it is no serial port.
std::optional<RadioPort> ResolveRadioPort(const AppContext& app, const RadioOptions& options, const QString& prefix);

// With --demo, lets the engine reach the virtual radios as well as the serial ports.
void UseVirtualRadios(const Context& ctx, CloneEngine& engine);
// What to do next after a transfer that failed. Watch (before the transfer) adds to
// every "Connection Fail!" where the radio stopped: "The radio stopped answering after
// 96 of 254 frames (reading)."; Explain (after it) names the next command: kestrel-cli
// ports for a port that does not exist, kestrel-cli doctor --port P for a radio that
// stopped answering.
void WatchTransfer(CloneEngine& engine, ConsolePrompter& prompter);
void ExplainFailure(const CloneEngine& engine, const QString& portText, const QString& prefix);

} // namespace kestrel::cli
