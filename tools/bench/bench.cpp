// kestrel-bench: how close a full read and a full write come to the time their
// bytes need on a 9600-baud wire. Starts the virtual radio with 9600-baud pacing,
// reads a full image, writes it back, then writes it once more with the read-back
// of verify after write, and prints the times, the wire times and the ratios. Uses
// Radio.INI's receive interval and count unless told otherwise.
// --latency-timer MS makes the virtual radio deliver its replies in bursts, as a
// USB-serial adapter with that latency timer does. --detect N instead times a radio
// detection over N silent pseudo-terminals. --via ser2net puts the real ser2net
// (generated configuration, a free port of 127.0.0.1, no character delay) between
// the program and the virtual radio, reached as rfc2217://; with --raw as tcp://.
//
//   kestrel-bench [--interval MS] [--count N] [--ticks-only] [--turnaround MS] [--latency-timer MS]
//                 [--sim PATH] [--via ser2net [--raw]]
//   kestrel-bench --detect N
#include "core/Band.h"
#include "tools/bench/BenchStart.h"
#include "link/CloneEngine.h"
#include "link/CloneRun.h"
#include "link/ConsolePrompter.h"
#include "ports/RadioProbe.h"
#include "link/WriteVerify.h"
#include "tools/ser2net/Ser2Net.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace kestrel;

namespace {

// Bytes on the wire, both ways: handshake 7 + 1, identification 2 + 7, the end frame.
constexpr int ReadBytes = 8 + 9 + 254 * (4 + 20) + 1;                 // 6114
constexpr int WriteBytes = 8 + 9 + 237 * (20 + 1) + (8 + 1) + (20 + 1) + 1; // 5025
// The read-back of verify after write: the 239 lines a write sends.
constexpr int VerifyBytes = 8 + 9 + 239 * (4 + 20) + 1; // 5754
constexpr double ByteSeconds = 10.0 / 9600.0;

void Print(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

double Run(AppContext& app, Prompter& prompter, const QString& device, quint8 direction, bool early, bool* ok,
           bool* matched = nullptr) {
    CloneEngine engine(app, prompter);
    engine.setDevicePath(device);
    engine.setDirection(direction);
    engine.setTickCountMax(app.recvCount);
    engine.setRecvInterval(app.recvInterval);
    engine.setStepData(0);
    engine.setStepExit(253);
    engine.setEarlyReplies(early);
    QElapsedTimer t;
    t.start();
    *ok = RunCloneToEnd(engine) == CloneEngine::Outcome::Completed;
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    if (matched)
        *matched = CheckReadBack(engine, app.image, app.language).status == VerifyResult::Status::Matched;
    return seconds;
}

// Opens `count` pseudo-terminals nobody answers on and times one detection over them.
int BenchDetect(int count) {
    QList<int> masters;
    QStringList devices;
    for (int i = 0; i < count; ++i) {
        const int m = posix_openpt(O_RDWR | O_NOCTTY);
        if (m < 0 || grantpt(m) != 0 || unlockpt(m) != 0 || !ptsname(m)) {
            std::fprintf(stderr, "kestrel-bench: cannot open a pseudo-terminal\n");
            return 2;
        }
        masters << m;
        devices << QString::fromLocal8Bit(ptsname(m));
    }
    QElapsedTimer t;
    t.start();
    const QList<ProbeResult> results = ProbeRadios(devices);
    const double took = double(t.nsecsElapsed()) / 1e9;
    int answered = 0;
    for (const ProbeResult& r : results)
        answered += r.answered ? 1 : 0;
    for (int m : masters)
        close(m);
    Print(QStringLiteral("detect over %1 silent devices: %2 s (%3 answered)").arg(count).arg(took, 0, 'f', 2).arg(answered));
    return answered == 0 ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    AppContext app;
    const QString programFolder = bench::StartLikeTheProgram(app);

    QStringList args = qapp.arguments().mid(1);
    QString sim = QDir(programFolder).filePath(QStringLiteral("kestrel-radio-sim"));
    bool early = true;
    int latency = 0;
    QStringList simArgs{QStringLiteral("--pace"), QStringLiteral("--precise")};
    bool viaSer2net = false, raw = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        const QString v = args.value(i + 1);
        if (a == QLatin1String("--interval") && v.toInt() > 0) {
            app.recvInterval = qint16(v.toInt());
            ++i;
        } else if (a == QLatin1String("--count") && !v.isEmpty()) {
            app.recvCount = qint16(v.toInt());
            ++i;
        } else if (a == QLatin1String("--turnaround") && !v.isEmpty()) {
            simArgs << QStringLiteral("--turnaround") << v;
            ++i;
        } else if (a == QLatin1String("--latency-timer") && v.toInt() > 0) {
            latency = v.toInt();
            simArgs << QStringLiteral("--latency-timer") << v;
            ++i;
        } else if (a == QLatin1String("--detect") && v.toInt() > 0 && args.size() == 2) {
            return BenchDetect(v.toInt());
        } else if (a == QLatin1String("--sim") && !v.isEmpty()) {
            sim = v;
            ++i;
        } else if (a == QLatin1String("--ticks-only")) {
            early = false;
        } else if (a == QLatin1String("--via") && v == QLatin1String("ser2net")) {
            viaSer2net = true;
            ++i;
        } else if (a == QLatin1String("--raw")) {
            raw = true;
        } else {
            std::fprintf(stderr,
                         "Usage: kestrel-bench [--interval MS] [--count N] [--ticks-only] [--turnaround MS] "
                         "[--latency-timer MS] [--sim PATH] [--via ser2net [--raw]]\n"
                         "       kestrel-bench --detect N\n");
            return 1;
        }
    }

    QProcess radio;
    radio.setProgram(sim);
    radio.setArguments(simArgs);
    radio.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    radio.start();
    if (!radio.waitForStarted(5000) || !radio.waitForReadyRead(5000)) {
        std::fprintf(stderr, "kestrel-bench: cannot start %s\n", qPrintable(sim));
        return 2;
    }
    const QString simDevice = QString::fromLocal8Bit(radio.readLine()).trimmed();
    QString device = simDevice; // what the engine opens
    std::unique_ptr<tools::Ser2Net> server;
    if (viaSer2net) {
        server = std::make_unique<tools::Ser2Net>(QList<tools::Ser2Net::Link>{
            {simDevice, raw ? tools::Ser2Net::Accepter::Raw : tools::Ser2Net::Accepter::Rfc2217}});
        if (!server->started()) {
            std::fprintf(stderr, "kestrel-bench: %s\n", qPrintable(server->error()));
            return 2;
        }
        device = server->url(0);
    }

    QString error;
    LoadDefaultImage(app.image, 0, app.appFolder, &error);
    app.band = DecodeBandLimits(app.image);
    ConsolePrompter prompter(QStringLiteral("kestrel-bench: "), 0);

    Print(QStringLiteral("virtual radio on %1%5, 9600-baud pacing; receive interval %2 ms, count %3, %4")
              .arg(simDevice)
              .arg(app.recvInterval)
              .arg(app.recvCount)
              .arg(early ? QStringLiteral("moving on at a complete reply") : QStringLiteral("receive ticks only"))
              .arg(server ? QStringLiteral(" behind ser2net, reached as ") + device : QString()));
    if (latency > 0)
        Print(QStringLiteral("replies delivered in bursts of a %1 ms USB latency timer").arg(latency));
    bool readOk = false, writeOk = false;
    const double read = Run(app, prompter, device, clone::Read, early, &readOk);
    const double write = readOk ? Run(app, prompter, device, clone::Write, early, &writeOk) : 0.0;
    bool verifiedWriteOk = false, verifyOk = false, matched = false;
    double verified = 0.0;
    if (writeOk) {
        verified = Run(app, prompter, device, clone::Write, early, &verifiedWriteOk);
        if (verifiedWriteOk)
            verified += Run(app, prompter, device, clone::Verify, early, &verifyOk, &matched);
    }
    radio.terminate();
    radio.waitForFinished(3000);

    const double readWire = ReadBytes * ByteSeconds;
    const double writeWire = WriteBytes * ByteSeconds;
    auto line = [](const char* what, bool ok, double took, int bytes, double wire) {
        if (!ok)
            return QStringLiteral("%1: failed").arg(QLatin1String(what));
        return QStringLiteral("%1: %2 s, wire time %3 s (%4 bytes), ratio %5")
            .arg(QLatin1String(what))
            .arg(took, 0, 'f', 2)
            .arg(wire, 0, 'f', 2)
            .arg(bytes)
            .arg(took / wire, 0, 'f', 3);
    };
    Print(line("read ", readOk, read, ReadBytes, readWire));
    Print(line("write", writeOk, write, WriteBytes, writeWire));
    Print(line("write + verify", verifyOk && matched, verified, WriteBytes + VerifyBytes,
               (WriteBytes + VerifyBytes) * ByteSeconds));
    return readOk && writeOk && verifyOk && matched ? 0 : 3;
}
