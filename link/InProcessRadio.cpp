#include "link/InProcessRadio.h"

#include "core/MemoryImage.h"

#include <QMetaObject>
#include <QTimer>
#include <algorithm>

namespace kestrel {

InProcessRadio::InProcessRadio(const QByteArray& memory, QObject* parent) : CloneTransport(parent) {
    setMemory(memory);
    setIdentity(1, 0x01, 0x00, 0x01, 0x00);
}

void InProcessRadio::setMemory(const QByteArray& memory) {
    m_memory = memory.left(ImageSize);
    m_memory.resize(ImageSize, char(0xFF));
}

void InProcessRadio::setIdentity(quint8 bandCode, quint8 v1, quint8 v2, quint8 v3, quint8 v4) {
    m_identity = QByteArray(1, char(0x46));
    for (quint8 b : {bandCode, v1, v2, quint8(0), v3, v4})
        m_identity.append(char(b));
}

QByteArray InProcessRadio::Reply(const QByteArray& frame, QByteArray& memory, const QByteArray& identity) {
    if (frame.isEmpty())
        return {};
    const auto at = [&](int i) { return quint8(frame.at(i)); };
    switch (frame.at(0)) {
    case 0x02:
        return frame == QByteArray("\x02PROGRA", 7) ? QByteArray(1, char(0x06)) : QByteArray();
    case 'M':
        return frame.size() == 2 && at(1) == 0x02 ? identity : QByteArray();
    case 'R': {
        if (frame.size() < 4)
            return {};
        const int address = ((at(1) << 8) | at(2)) % ImageSize;
        QByteArray reply = frame.left(4);
        reply[0] = char(0x57);
        for (int i = 0; i < at(3); ++i)
            reply.append(memory.at((address + i) % ImageSize));
        return reply;
    }
    case 'W': {
        if (frame.size() < 4 || frame.size() < 4 + at(3))
            return {};
        const int address = ((at(1) << 8) | at(2)) % ImageSize;
        for (int i = 0; i < at(3); ++i)
            memory[(address + i) % ImageSize] = frame.at(4 + i);
        return QByteArray(1, char(0x06));
    }
    default:
        return {};
    }
}

bool InProcessRadio::open(const QString&, quint8, QString* error) {
    ++m_opens;
    if (m_openFailsFrom > 0 && m_opens >= m_openFailsFrom) {
        m_error = QStringLiteral("No such file or directory");
        if (error)
            *error = QStringLiteral("Cannot open the %1: ").arg(m_name) + m_error;
        return false;
    }
    m_open = true;
    m_error.clear();
    clearInput();
    return true;
}

qint64 InProcessRadio::send(const QByteArray& bytes) {
    const int exchange = int(m_frames.size());
    m_frames << bytes;
    const Disturbance d = m_plan ? m_plan(exchange, bytes) : Disturbance();
    if (d.refuseSend || !m_open) {
        m_error = QStringLiteral("Input/output error");
        return -1;
    }
    QByteArray reply;
    if (!d.silent) {
        // The radio answers only between a handshake and the end frame.
        if (bytes.startsWith('\x02'))
            m_programming = true;
        if (m_programming || bytes.startsWith('\x02'))
            reply = Reply(bytes, m_memory, m_identity);
        if (bytes == QByteArray(1, 'E'))
            m_programming = false;
    }
    if (d.cut >= 0 && d.cut < reply.size())
        reply.truncate(d.cut);
    if (d.corruptAt >= 0 && d.corruptAt < reply.size())
        reply[d.corruptAt] = char(quint8(reply.at(d.corruptAt)) ^ d.corruptWith);
    const QByteArray stream = d.before + (d.echo ? bytes : QByteArray()) + reply + d.after;

    // Whatever an earlier exchange still had on its way is gone (the engine dropped
    // its input before sending).
    m_pending.clear();
    if (m_baud > 0) {
        // The frame reaches the radio byte by byte, then the reply comes back as fast.
        if (!m_clock.isValid())
            m_clock.start();
        const qint64 byteNs = 10'000'000'000LL / m_baud;
        m_timed = stream;
        m_timedTaken = 0;
        m_timedStart = m_clock.nsecsElapsed() + bytes.size() * byteNs + byteNs;
        if (!m_pace) {
            m_pace = new QTimer(this);
            m_pace->setTimerType(Qt::PreciseTimer);
            m_pace->setInterval(5);
            connect(m_pace, &QTimer::timeout, this, &InProcessRadio::releaseDue);
        }
        if (!m_timed.isEmpty())
            m_pace->start();
    }
    QList<QPair<int, int>> pauses = m_baud > 0 ? QList<QPair<int, int>>() : d.pauses;
    std::sort(pauses.begin(), pauses.end());
    int from = 0;
    Chunk chunk;
    for (const auto& [position, polls] : pauses) {
        if (position <= from || position >= stream.size()) {
            chunk.quietPolls += position <= from && position >= 0 ? polls : 0;
            continue;
        }
        chunk.bytes = stream.mid(from, position - from);
        m_pending << chunk;
        chunk = Chunk{QByteArray(), polls};
        from = position;
    }
    chunk.bytes = m_baud > 0 ? QByteArray() : stream.mid(from);
    if (!chunk.bytes.isEmpty())
        m_pending << chunk;
    release();
    if (d.lose)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_open)
                    emit lost();
            },
            Qt::QueuedConnection);
    return bytes.size();
}

// Chunks due now come in; the engine hears of them from the event loop, as from a port.
void InProcessRadio::release() {
    while (!m_pending.isEmpty() && m_pending.first().quietPolls <= 0)
        m_available += m_pending.takeFirst().bytes;
    if (!m_available.isEmpty())
        announce();
}

void InProcessRadio::releaseDue() {
    const qint64 byteNs = 10'000'000'000LL / qMax(1, m_baud);
    const qint64 elapsed = m_clock.nsecsElapsed() - m_timedStart;
    const int due = elapsed < 0 ? 0 : int(qMin<qint64>(m_timed.size(), elapsed / byteNs + 1));
    if (due > m_timedTaken) {
        m_available += m_timed.mid(m_timedTaken, due - m_timedTaken);
        m_timedTaken = due;
        announce();
    }
    if (m_timedTaken >= m_timed.size()) {
        m_pace->stop();
        m_timed.clear();
        m_timedTaken = 0;
    }
}

void InProcessRadio::announce() {
    if (m_announced)
        return;
    m_announced = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_announced = false;
            if (m_open && !m_available.isEmpty())
                emit readyRead();
        },
        Qt::QueuedConnection);
}

QByteArray InProcessRadio::readAll() {
    if (!m_open)
        return {};
    const QByteArray out = m_available;
    m_available.clear();
    if (out.isEmpty() && !m_pending.isEmpty())
        --m_pending.first().quietPolls;
    release();
    return out;
}

void InProcessRadio::clearInput() {
    m_available.clear();
    m_pending.clear();
    m_timed.clear();
    m_timedTaken = 0;
    if (m_pace)
        m_pace->stop();
}

void InProcessRadio::close() {
    m_open = false;
    m_programming = false;
    clearInput();
}

} // namespace kestrel
