#include "tests/link/InProcessRadio.h"

#include "core/MemoryImage.h"

#include <QMetaObject>
#include <algorithm>

namespace kestrel::test {

InProcessRadio::InProcessRadio(const QByteArray& memory, QObject* parent)
    : CloneTransport(parent), m_memory(memory) {
    m_memory.resize(ImageSize, char(0xFF));
    setIdentity(1, 0x01, 0x00, 0x01, 0x00);
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
            *error = QStringLiteral("Cannot open the in-process radio: ") + m_error;
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
    QList<QPair<int, int>> pauses = d.pauses;
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
    chunk.bytes = stream.mid(from);
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
}

void InProcessRadio::close() {
    m_open = false;
    m_programming = false;
    clearInput();
}

} // namespace kestrel::test
