#pragma once
// The virtual radio (kestrel-radio-sim) as the link tests use it: started on a
// fresh pseudo-terminal with its memory, save file and frame log in a temporary
// folder.
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kestrel::test {

class RadioSim {
public:
    // `memory`: the radio's 8192 bytes (empty: the simulator's own default).
    explicit RadioSim(const QStringList& options = {}, const QByteArray& memory = {});
    ~RadioSim();
    RadioSim(const RadioSim&) = delete;
    RadioSim& operator=(const RadioSim&) = delete;

    bool started() const { return !m_device.isEmpty(); }
    QString device() const { return m_device; }
    QString folder() const { return m_dir.path(); }

    // The frames the radio received so far, in order (without notes).
    QList<QByteArray> frames() const;
    // Ends the simulator (as on SIGTERM) and returns the memory it saved.
    QByteArray stopAndTakeMemory();
    void stop();
    bool running() const { return m_process.state() != QProcess::NotRunning; }

    static QString Program();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_device;
};

// Frame helpers for expectations.
QByteArray Hex(const char* text);               // "52 00 30 10"
QByteArray ReadFrameOf(int line);
QByteArray WriteFrameOf(int line, const QByteArray& memory);
QByteArray HandshakeFrame();
QByteArray IdentifyFrame();
QByteArray EndFrame();

// An image whose every line differs from every other and from the default images.
QByteArray PatternImage(quint8 seed);

} // namespace kestrel::test

namespace kestrel::test {
// Runs the event loop until `done` holds (checked whenever `sender` emits
// `signal`, and once at the start) or `ms` milliseconds have passed. Unlike
// QTest::qWaitFor it never sleeps, so timer-driven transfers run at full speed.
template <typename Sender, typename Signal, typename Pred>
bool RunUntil(Sender* sender, Signal signal, Pred done, int ms);
} // namespace kestrel::test

#include <QEventLoop>
#include <QTimer>

template <typename Sender, typename Signal, typename Pred>
bool kestrel::test::RunUntil(Sender* sender, Signal signal, Pred done, int ms) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    const QMetaObject::Connection c = QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    guard.start(ms);
    loop.exec();
    QObject::disconnect(c);
    return done();
}
