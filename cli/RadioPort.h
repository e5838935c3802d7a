#pragma once
// The --port and --retries options shared by the commands that talk to a radio.
#include "cli/Command.h"

#include <optional>

namespace kestrel {
class CloneEngine;
}

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
std::optional<RadioPort> ResolveRadioPort(const AppContext& app, const RadioOptions& options, const QString& prefix);

// With --demo, lets the engine reach the virtual radios as well as the serial ports.
void UseVirtualRadios(const Context& ctx, CloneEngine& engine);

} // namespace kestrel::cli
