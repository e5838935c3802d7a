// kestrel-bench-fleet: how long a fleet write takes for 1, 4 and 8 radios at once,
// beside the time of one. Starts the virtual radios with 9600-baud pacing and
// writes the default image into all of them through one FleetWrite (no verify
// unless asked). Goal: 8 radios at once in at most 1.1 x the time of one.
// --per-radio port|esn: every radio gets its own ANI and PTT ID codes from a table
// keyed by port or by ESN (each radio then holds an ESN of its own, read before the
// write); the times compare with those without a table.
// --servers N reaches the radios through N ser2net servers on 127.0.0.1 (the radios
// dealt out in turn, as rfc2217:// ports; with --raw as tcp://); one radio alone then
// goes through one server. Goal: 16 radios over 4 servers in at most 1.05 x one.
//
//   kestrel-bench-fleet [--radios 1,4,8] [--verify] [--per-radio port|esn] [--sim PATH]
//                       [--servers N [--raw]]
#include "core/Band.h"
#include "tools/bench/BenchStart.h"
#include "fleet/FleetWrite.h"
#include "tools/ser2net/Ser2Net.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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
// `perRadio`: "port" or "esn" for a table of values per radio, empty for none.
// `servers`: how many ser2net servers the radios are reached through (0: none).
double RunFleet(const AppContext& app, const QString& sim, int count, bool verify, const QString& perRadio,
                int servers, bool raw) {
    std::vector<std::unique_ptr<QProcess>> radios;
    QList<FleetTarget> targets;
    QList<QByteArray> esns;
    QList<QList<tools::Ser2Net::Link>> links(qMax(1, qMin(servers, count)));
    QTemporaryDir folder;
    QByteArray table = perRadio.toUtf8() + ",DTMF / ANI Code,DTMF / PTTID BOT,DTMF / PTTID EOT\n";
    for (int i = 0; i < count; ++i) {
        auto radio = std::make_unique<QProcess>();
        radio->setProgram(sim);
        QStringList args{QStringLiteral("--pace")};
        const QByteArray esn = "BENCH-" + QByteArray::number(i + 1);
        if (!perRadio.isEmpty()) {
            // The radio's memory: the image with an ESN of its own.
            QByteArray memory = app.image.bytes();
            memory.replace(254 * LineSize, LineSize, esn.leftJustified(LineSize, char(0xFF)));
            const QString file = folder.filePath(QStringLiteral("radio%1.dat").arg(i + 1));
            QFile f(file);
            if (!f.open(QIODevice::WriteOnly) || f.write(memory) != memory.size())
                return -1;
            args << QStringLiteral("--image") << file;
        }
        radio->setArguments(args);
        radio->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        radio->start();
        if (!radio->waitForStarted(5000) || !radio->waitForReadyRead(5000)) {
            std::fprintf(stderr, "kestrel-bench-fleet: cannot start %s\n", qPrintable(sim));
            return -1;
        }
        const QString device = QString::fromLocal8Bit(radio->readLine()).trimmed();
        if (servers > 0)
            links[i % links.size()] << tools::Ser2Net::Link{
                device, raw ? tools::Ser2Net::Accepter::Raw : tools::Ser2Net::Accepter::Rfc2217};
        else
            targets << FleetTarget{device, device, QString()};
        esns << esn;
        radios.push_back(std::move(radio));
    }
    std::vector<std::unique_ptr<tools::Ser2Net>> running;
    for (int s = 0; servers > 0 && s < links.size(); ++s) {
        running.push_back(std::make_unique<tools::Ser2Net>(links[s]));
        if (!running.back()->started()) {
            std::fprintf(stderr, "kestrel-bench-fleet: %s\n", qPrintable(running.back()->error()));
            return -1;
        }
    }
    // Radio i is the (i / servers)-th link of server i % servers.
    for (int i = 0; servers > 0 && i < count; ++i) {
        const QString url = running[size_t(i % links.size())]->url(i / int(links.size()));
        targets << FleetTarget{url, url, QString()};
    }
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(100 + i);
        table += (perRadio == QLatin1String("esn") ? esns[i] : targets[i].port.toUtf8()) + "," + n + ",1" + n +
                 ",2" + n + "\n";
    }
    FleetWrite fleet(app, app.image);
    fleet.setTargets(targets);
    if (!perRadio.isEmpty()) {
        PerRadioTable values;
        QStringList errors;
        if (!ReadPerRadioTable(table, QStringLiteral("bench.csv"), app.image, &values, &errors)) {
            std::fprintf(stderr, "kestrel-bench-fleet: %s\n", qPrintable(errors.join(QLatin1Char('\n'))));
            return -1;
        }
        fleet.setPerRadio(values);
    }
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
    bool verify = false, raw = false;
    QString perRadio;
    int servers = 0;
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
        } else if (args[i] == QLatin1String("--per-radio") && (v == QLatin1String("port") || v == QLatin1String("esn"))) {
            perRadio = v;
            ++i;
        } else if (args[i] == QLatin1String("--sim") && !v.isEmpty()) {
            sim = v;
            ++i;
        } else if (args[i] == QLatin1String("--servers") && v.toInt() > 0) {
            servers = v.toInt();
            ++i;
        } else if (args[i] == QLatin1String("--raw")) {
            raw = true;
        } else {
            std::fprintf(stderr,
                         "Usage: kestrel-bench-fleet [--radios 1,4,8] [--verify] [--per-radio port|esn] [--sim PATH] "
                         "[--servers N [--raw]]\n");
            return 1;
        }
    }
    if (counts.isEmpty() || counts.first() != 1)
        counts.prepend(1);

    QString error;
    LoadDefaultImage(app.image, 0, app.appFolder, &error);
    app.band = DecodeBandLimits(app.image);
    Print(QStringLiteral(
              "fleet write%1%2 into paced virtual radios (9600 baud)%5; receive interval %3 ms; wire time of "
              "one write %4 s")
              .arg(verify ? QStringLiteral(" + verify") : QString())
              .arg(perRadio.isEmpty() ? QString() : QStringLiteral(" with per-radio values by ") + perRadio)
              .arg(app.recvInterval)
              .arg(WriteBytes * ByteSeconds, 0, 'f', 2)
              .arg(servers > 0 ? QStringLiteral(" through %1 ser2net server%2 (%3)")
                                     .arg(servers)
                                     .arg(servers == 1 ? QString() : QStringLiteral("s"))
                                     .arg(raw ? QStringLiteral("tcp://") : QStringLiteral("rfc2217://"))
                               : QString()));
    double one = 0;
    bool allOk = true;
    for (int count : counts) {
        const double took = RunFleet(app, sim, count, verify, perRadio, servers, raw);
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
