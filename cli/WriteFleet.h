#pragma once
// kestrel-cli write with two or more --port: the fleet write.
#include "cli/Command.h"

namespace kestrel::cli {

struct FleetCliOptions {
    QStringList ports;   // as given
    QString retriesText; // --retries, "0" when not given
    bool verify = false;
    QString logFile;
    QString input; // the .dat file
    bool json = false; // the result lines as one JSON array
    QString perRadio;  // --per-radio: the table of per-radio values; empty: none
};

// Writes the file into every radio at once; the exit status is 0 when every radio
// succeeded, otherwise the highest of the failing ports' statuses.
int RunFleetWrite(Context& ctx, const FleetCliOptions& options);

} // namespace kestrel::cli
