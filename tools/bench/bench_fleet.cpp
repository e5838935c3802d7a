// kestrel-bench-fleet: how long a fleet write takes for 1, 4 and 8 radios at once,
// beside the time of one. Starts the virtual radios with 9600-baud pacing and
// writes the default image into all of them through one FleetWrite (no verify
// unless asked). Goal: 8 radios at once in at most 1.1 x the time of one.
//
//   kestrel-bench-fleet [--radios 1,4,8] [--verify] [--sim PATH]
#include "core/Band.h"
#include "tools/bench/BenchStart.h"
#include "fleet/FleetWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <memory>
#include <vector>

using namespace kestrel;

namespace {

constexpr int WriteBytes = 8 + 9 + 237 * (20 + 1) + (8 + 1) + (20 + 1) + 1; // 5025
constexpr double ByteSeconds = 10.0 / 9600.0;

void Print(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

// Times one fleet write into `count` fresh paced radios; negative when one failed.
double RunFleet(const AppContext& app, const QString& sim, int count, bool verify) {
    std::vector<std::unique_ptr<QProcess>> radios;
    QList<FleetTarget> targets;
    for (int i = 0; i < count; ++i) {
        auto radio = std::make_unique<QProcess>();
        radio->setProgram(sim);
        radio->setArguments({QStringLiteral("--pace")});
        radio->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        radio->start();
        if (!radio->waitForStarted(5000) || !radio->waitForReadyRead(5000)) {
            std::fprintf(stderr, "kestrel-bench-fleet: cannot start %s\n", qPrintable(sim));
            return -1;
        }
        const QString device = QString::fromLocal8Bit(radio->readLine()).trimmed();
        targets << FleetTarget{device, device, QString()};
        radios.push_back(std::move(radio));
    }
    FleetWrite fleet(app, app.image);
    fleet.setTargets(targets);
    fleet.setVerify(verify);
    QElapsedTimer t;
    t.start();
    RunFleetToEnd(fleet);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    bool ok = true;
    for (int i = 0; i < fleet.rowCount(); ++i)
        ok = ok && fleet.row(i).outcome == FleetOutcome::Ok;
    for (auto& radio : radios) {
        radio->terminate();
        radio->waitForFinished(3000);
    }
    return ok ? seconds : -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    AppContext app;
    const QString programFolder = bench::StartLikeTheProgram(app);

    QString sim = QDir(programFolder).filePath(QStringLiteral("kestrel-radio-sim"));
    QList<int> counts{1, 4, 8};
    bool verify = false;
    const QStringList args = qapp.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString v = args.value(i + 1);
        if (args[i] == QLatin1String("--radios") && !v.isEmpty()) {
            counts.clear();
            for (const QString& n : v.split(QLatin1Char(',')))
                if (n.toInt() > 0)
                    counts << n.toInt();
            ++i;
        } else if (args[i] == QLatin1String("--verify")) {
            verify = true;
        } else if (args[i] == QLatin1String("--sim") && !v.isEmpty()) {
            sim = v;
            ++i;
        } else {
            std::fprintf(stderr, "Usage: kestrel-bench-fleet [--radios 1,4,8] [--verify] [--sim PATH]\n");
            return 1;
        }
    }
    if (counts.isEmpty() || counts.first() != 1)
        counts.prepend(1);

    QString error;
    LoadDefaultImage(app.image, 0, app.appFolder, &error);
    app.band = DecodeBandLimits(app.image);
    Print(QStringLiteral(
              "fleet write%1 into paced virtual radios (9600 baud); receive interval %2 ms; wire time of "
              "one write %3 s")
              .arg(verify ? QStringLiteral(" + verify") : QString())
              .arg(app.recvInterval)
              .arg(WriteBytes * ByteSeconds, 0, 'f', 2));
    double one = 0;
    bool allOk = true;
    for (int count : counts) {
        const double took = RunFleet(app, sim, count, verify);
        if (took < 0) {
            Print(QStringLiteral("%1 radios: failed").arg(count));
            allOk = false;
            continue;
        }
        if (count == 1)
            one = took;
        Print(QStringLiteral("%1 radio%2 at once: %3 s (one radio alone: %4 s), ratio %5")
                  .arg(count)
                  .arg(count == 1 ? QString() : QStringLiteral("s"))
                  .arg(took, 0, 'f', 2)
                  .arg(one, 0, 'f', 2)
                  .arg(one > 0 ? took / one : 0.0, 0, 'f', 3));
    }
    return allOk ? 0 : 3;
}
