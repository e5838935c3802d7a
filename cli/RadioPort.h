#pragma once
// The --port and --retries options shared by the commands that talk to a radio.
#include "cli/Command.h"

#include <optional>

namespace kestrel::cli {

struct RadioPort {
    QString device; // the device to open
    int retries = 0; // Retry answers to "Connection Fail!"
};

// Checks the option values taken from the command line; on a problem says so on
// stderr (after `prefix`) and gives nothing, which is a usage error.
std::optional<RadioPort> ResolveRadioPort(const AppContext& app, bool havePort, const QString& portText,
                                          bool haveRetries, const QString& retriesText, const QString& prefix);

} // namespace kestrel::cli
