#pragma once
// A radio played in the same process, as a CloneTransport: it answers every frame
// from its own memory the way the virtual radio (kestrel-radio-sim) does, without a
// pseudo-terminal. The demo mode's virtual radios are made of it; tests and the
// fuzzer also make it misbehave exchange by exchange.
//
// Unpaced (the default), time is counted in the engine's own polls: bytes of a reply
// that pause come in only after the engine has found nothing new that many times, so
// a run gives the same result however fast the machine is. Paced at a baud rate, the
// frame takes its time to reach the radio and the reply comes in byte by byte as
// fast as a cable of that rate carries it (pauses of a disturbance then play no part).
#include "link/CloneTransport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <functional>

class QTimer;

namespace kestrel {

class InProcessRadio : public CloneTransport {
    Q_OBJECT
public:
    // What happens to one exchange (one frame and what comes back).
    struct Disturbance {
        QByteArray before;   // stray bytes ahead of everything (late bytes of an earlier exchange, noise)
        QByteArray after;    // stray bytes after the reply
        bool echo = false;   // the cable echoes the frame ahead of the reply
        bool silent = false; // the radio does not hear the frame: no reply, nothing stored
        int cut = -1;        // the reply stops after this many bytes (-1: whole)
        int corruptAt = -1;  // this byte of the reply arrives XORed with `corruptWith`
        quint8 corruptWith = 0;
        // Pauses: before byte pauses[i].first of everything that comes back, the engine
        // finds nothing pauses[i].second times.
        QList<QPair<int, int>> pauses;
        bool lose = false;       // the connection breaks once the frame is out
        bool refuseSend = false; // the frame cannot be sent at all
    };
    using Plan = std::function<Disturbance(int exchange, const QByteArray& frame)>;

    explicit InProcessRadio(const QByteArray& memory, QObject* parent = nullptr);

    // Identification reply: band code 1-3 and the two version pairs in BCD.
    void setIdentity(quint8 bandCode, quint8 v1, quint8 v2, quint8 v3, quint8 v4);
    void setPlan(Plan plan) { m_plan = std::move(plan); }
    // Opening fails from the `n`-th open on (1 = the first); 0: it never fails.
    void setOpenFailsFrom(int n) { m_openFailsFrom = n; }
    // Bits per second of the cable played (10 bits a byte: 8N1); 0: no pacing.
    void setBaudRate(int baud) { m_baud = baud > 0 ? baud : 0; }
    int baudRate() const { return m_baud; }
    // What `name()` and the open errors call the radio.
    void setName(const QString& name) { m_name = name; }

    const QByteArray& memory() const { return m_memory; }
    // Replaces the memory (cut or filled with 0xFF to the image size).
    void setMemory(const QByteArray& memory);
    // Every frame sent, in order.
    const QList<QByteArray>& frames() const { return m_frames; }
    int opens() const { return m_opens; }
    // Between a handshake it heard and the end frame (or the link closing).
    bool programming() const { return m_programming; }

    // The reply a radio in programming mode gives to `frame`, as it would be sent
    // (empty for the end frame and anything it does not know); a write frame also
    // stores its bytes in `memory`.
    static QByteArray Reply(const QByteArray& frame, QByteArray& memory, const QByteArray& identity);

    bool open(const QString& device, quint8 language, QString* error) override;
    bool isOpen() const override { return m_open; }
    qint64 send(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void clearInput() override;
    void close() override;
    QString name() const override { return m_name; }
    QString errorString() const override { return m_error; }

private:
    struct Chunk {
        QByteArray bytes;
        int quietPolls = 0; // empty polls the engine makes before this chunk comes in
    };
    void release();
    void announce();
    void releaseDue(); // paced: the bytes whose time has come

    int m_baud = 0;
    QString m_name = QStringLiteral("in-process radio");
    QTimer* m_pace = nullptr;
    QElapsedTimer m_clock;
    QByteArray m_timed;      // paced: the bytes on their way
    qint64 m_timedStart = 0; // ns on m_clock when the first of them is due
    int m_timedTaken = 0;    // how many of them came in already

    QByteArray m_memory;
    QByteArray m_identity;
    Plan m_plan;
    bool m_open = false;
    bool m_programming = false;
    int m_opens = 0;
    int m_openFailsFrom = 0;
    QString m_error;
    QList<QByteArray> m_frames;
    QList<Chunk> m_pending;
    QByteArray m_available;
    bool m_announced = false;
};

} // namespace kestrel
