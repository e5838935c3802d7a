#include "cli/WriteFleet.h"

#include "ports/NetworkPort.h"

#include "cli/StopSignals.h"

#include "core/Band.h"
#include "link/CloneProtocol.h"
#include "fleet/FleetWrite.h"
#include "ports/NetworkPort.h"
#include "ports/PortInfo.h"
#include "ports/PortMap.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QHash>

namespace kestrel::cli {

namespace {

const QString Prefix = QStringLiteral("kestrel-cli write: ");

QString SameDeviceKey(const QString& device) {
    if (IsNetworkPortName(device))
        return device.toLower(); // canonical already; host names ignore case
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

// What became of one radio, for stderr.
QString RowReport(const FleetRow& row, const FleetWrite& fleet, const QString& input) {
    switch (row.outcome) {
    case FleetOutcome::Ok:
        return (fleet.verify()
                    ? QStringLiteral("wrote %1 and read it back: the radio holds every byte").arg(input)
                    : QStringLiteral("wrote %1 into the radio").arg(input)) +
               (row.values.isEmpty() ? QString() : QStringLiteral(" with ") + row.values);
    case FleetOutcome::BandMismatch:
        return QStringLiteral("the radio is a %1 MHz radio, not %2 MHz; nothing was written")
            .arg(BandText(row.radioBand), BandText(fleet.bandIndex()));
    case FleetOutcome::NoAnswer:
        return row.detail.isEmpty() ? QStringLiteral("the radio does not answer") : row.detail;
    case FleetOutcome::NoRow:
        return QStringLiteral("no row of the table has the ESN \"%1\"; nothing was written").arg(row.esn);
    default:
        return row.detail.isEmpty() ? FleetOutcomeName(row.outcome) : row.detail;
    }
}

} // namespace

int RunFleetWrite(Context& ctx, const FleetCliOptions& o) {
    bool ok = true;
    const int retries = o.retriesText.toInt(&ok);
    if (!ok || retries < 0) {
        Err(Prefix + QStringLiteral("--retries takes a count of 0 or more"));
        return Usage;
    }
    QList<FleetTarget> targets;
    QHash<QString, QString> named; // device -> the port text that named it
    for (const QString& text : o.ports) {
        QString error;
        const QString device = ResolvePortArgument(text, ctx.app, &error);
        if (device.isEmpty()) {
            Err(Prefix + error);
            return Usage;
        }
        const QString key = SameDeviceKey(device);
        if (named.contains(key)) {
            Err(Prefix + QStringLiteral("\"%1\" and \"%2\" are the same port; name each radio's port once")
                             .arg(named.value(key), text));
            return Usage;
        }
        named.insert(key, text);
        targets << FleetTarget{text, device, AdapterOfDevice(device).serialNumber};
    }
    QString error;
    if (!ctx.app.image.LoadImageFile(o.input, &error)) {
        Err(Prefix + error);
        return FileError;
    }
    ctx.app.band = DecodeBandLimits(ctx.app.image);
    PerRadioTable table;
    if (!o.perRadio.isEmpty()) {
        // Every value is checked on the file's image before any radio is touched.
        QStringList problems;
        if (!LoadPerRadioTable(o.perRadio, ctx.app.image, &table, &problems)) {
            for (const QString& p : problems)
                Err(Prefix + p);
            Err(Prefix + QStringLiteral("no radio was written"));
            return FileError;
        }
    }
    if (!PrepareFleetLog(o.logFile, &error)) {
        Err(Prefix + error + QStringLiteral("; no radio was written"));
        return FileError;
    }

    // The file's bytes as they are, as a single write sends them.
    FleetWrite fleet(ctx.app, ctx.app.image);
    fleet.setVirtualRadios(ctx.radios);
    fleet.setTargets(targets);
    fleet.setPerRadio(table);
    QList<int> all;
    for (int i = 0; i < targets.size(); ++i)
        all << i;
    if (const QStringList mismatches = fleet.perRadioMismatches(all, English); !mismatches.isEmpty()) {
        for (const QString& m : mismatches)
            Err(Prefix + m);
        Err(Prefix + QStringLiteral("every radio needs a row and every row a radio; no radio was written"));
        return FileError;
    }
    fleet.setVerify(o.verify);
    fleet.setRetries(retries);
    fleet.setLog(o.logFile, QFileInfo(o.input).fileName());

    // One line per port and tenth, and one when it ends.
    QList<int> shown(targets.size(), -1);
    QObject::connect(&fleet, &FleetWrite::rowChanged, &fleet, [&](int i) {
        const FleetRow& row = fleet.row(i);
        if (row.outcome != FleetOutcome::Running)
            return;
        const bool verifying = row.phase == FleetRow::Phase::Verifying;
        const int key = (verifying ? 1000 : 0) + row.progress / 10 * 10;
        if (key <= shown[i] && !(key == 0 && shown[i] < 0))
            return; // a restart from the handshake is not worth a line
        shown[i] = key;
        Err(Prefix + row.target.port + QStringLiteral(": ") +
            clone::CaptionText(verifying ? clone::Verify : clone::Write, English)
                .trimmed()
                .replace(QLatin1String("Writting"), QLatin1String("Writing")) +
            QLatin1Char(' ') + QString::number(row.progress / 10 * 10) + QLatin1Char('%'));
    });
    QObject::connect(&fleet, &FleetWrite::rowFinished, &fleet, [&](int i) {
        const FleetRow& row = fleet.row(i);
        Err(Prefix + row.target.port + QStringLiteral(": ") + RowReport(row, fleet, o.input));
    });
    QObject::connect(&fleet, &FleetWrite::logFailed, &fleet, [](const QString& e) { Err(Prefix + e); });

    Err(Prefix + QStringLiteral("writing %1 into %2 radios at once; the log is %3")
                     .arg(o.input)
                     .arg(targets.size())
                     .arg(o.logFile));
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::stopRequested, &fleet, &FleetWrite::requestStop);
    RunFleetToEnd(fleet);

    int status = Ok;
    QJsonArray results;
    for (int i = 0; i < fleet.rowCount(); ++i) {
        const FleetRow& row = fleet.row(i);
        status = std::max(status, FleetExitStatus(row.outcome));
        if (o.json) {
            QJsonObject result{{"port", row.target.port},
                               {"outcome", FleetOutcomeName(row.outcome)},
                               {"band", row.radioBand >= 0 ? BandText(row.radioBand) : QString()},
                               {"version1", row.version[0]},
                               {"version2", row.version[1]}};
            if (fleet.hasPerRadio()) {
                result.insert(QStringLiteral("esn"), row.esn);
                result.insert(QStringLiteral("values"), row.values);
            }
            results << result;
            continue;
        }
        QStringList cells{row.target.port, FleetOutcomeName(row.outcome),
                          row.radioBand >= 0 ? BandText(row.radioBand) : QString(), row.version[0],
                          row.version[1]};
        if (fleet.hasPerRadio())
            cells << row.esn << row.values;
        Out(cells.join(QLatin1Char('\t')));
    }
    // Rows keyed by an ESN that no radio showed.
    for (int t : fleet.tableRowsNotMet(all))
        Err(Prefix + QStringLiteral("%1:%2: no radio has the ESN \"%3\"")
                         .arg(o.perRadio)
                         .arg(table.rows[t].line)
                         .arg(table.rows[t].key));
    if (o.json)
        OutJson(results);
    if (status == Ok && !fleet.logError().isEmpty())
        status = FileError; // every radio is written, but the record of it is not
    return stop.received() ? Interrupted : status;
}

} // namespace kestrel::cli
