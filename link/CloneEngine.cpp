#include "link/CloneEngine.h"

#include "core/Log.h"
#include "ports/PortMap.h"
#include "link/PortTransport.h"

#include <QTimer>

namespace kestrel {

namespace {
// Bytes kept of what came in while waiting for a reply: far more than any echo and
// reply, so a flood of noise cannot grow without bound.
constexpr int ReceiveKeep = 4096;
} // namespace

CloneEngine::CloneEngine(AppContext& app, Prompter& prompter, QObject* parent)
    : QObject(parent), m_app(app), m_prompter(prompter), m_serial(new PortTransport(this)), m_transport(nullptr),
      tmrSend(new QTimer(this)), TmrReceive(new QTimer(this)), m_tickCountMax(app.recvCount),
      m_recvInterval(app.recvInterval) {
    tmrSend->setObjectName(QStringLiteral("tmrSend"));
    TmrReceive->setObjectName(QStringLiteral("TmrReceive"));
    tmrSend->setSingleShot(true);
    TmrReceive->setSingleShot(true);
    tmrSend->setTimerType(Qt::PreciseTimer);
    TmrReceive->setTimerType(Qt::PreciseTimer);
    connect(tmrSend, &QTimer::timeout, this, &CloneEngine::tmrSendTick);
    connect(TmrReceive, &QTimer::timeout, this, &CloneEngine::TmrReceiveTick);
    setTransport(nullptr);
}

CloneEngine::~CloneEngine() {
    tmrSend->stop();
    TmrReceive->stop();
    if (m_transport->isOpen())
        m_transport->close();
}

void CloneEngine::setTransport(CloneTransport* transport) {
    if (!transport)
        transport = m_serial;
    if (transport == m_transport)
        return;
    if (m_transport) {
        disconnect(m_transport, nullptr, this, nullptr);
        if (m_transport->isOpen())
            m_transport->close();
    }
    m_transport = transport;
    connect(m_transport, &CloneTransport::readyRead, this, &CloneEngine::onReadyRead);
    connect(m_transport, &CloneTransport::lost, this, &CloneEngine::onPortLost);
    connect(m_transport, &CloneTransport::opened, this, &CloneEngine::onPortOpened);
    connect(m_transport, &CloneTransport::openFailed, this, &CloneEngine::onPortOpenFailed);
    if (m_transport != m_serial)
        connect(m_transport, &QObject::destroyed, this, [this] {
            // A link that goes first leaves the engine its serial port.
            m_transport = nullptr;
            setTransport(nullptr);
        });
}

QString CloneEngine::portDevice() const {
    if (!m_devicePath.isEmpty())
        return m_devicePath;
    if (!m_app.networkPort.isEmpty())
        return m_app.networkPort;
    if (const QString own = m_transport->deviceForPort(m_app.portNumber); !own.isEmpty())
        return own;
    const QString file = m_portSettingsFile.isEmpty() ? PortSettingsFile(m_app) : m_portSettingsFile;
    return DeviceForPort(m_app.portNumber, file);
}

bool CloneEngine::Start() {
    ++m_generation;
    tmrSend->stop();
    TmrReceive->stop();
    m_waiting = false;
    m_flagComplete = false;
    m_loaded = true;
    m_outcome = Outcome::Running;
    m_pending.clear();
    m_readBack.clear();
    m_radioBand = -1;
    m_lostError.clear();
    m_awaitingOpen = false;
    if (m_transport->isOpen())
        m_transport->close();

    QString error;
    if (m_stepData < 0 || m_stepExit < m_stepData || m_stepExit >= LineCount) {
        qCWarning(logLink) << "clone range" << m_stepData << "-" << m_stepExit << "is not a range of image lines";
        error = QStringLiteral("Lines %1-%2 are not a range of image lines.").arg(m_stepData).arg(m_stepExit);
    } else {
        openPort(&error);
    }
    if (!error.isEmpty()) {
        portOpenFailed(error);
        return false;
    }
    m_retryCount = 0;
    m_abort = false;
    m_stopRequested = false;
    setCaption(clone::CaptionText(m_direction, m_app.language));
    RestartClone();
    setOkEnabled(false);
    return !m_flagComplete;
}

void CloneEngine::CloseForm() {
    if (m_outcome == Outcome::Running)
        m_outcome = Outcome::Cancelled;
    unload();
}

void CloneEngine::requestStop() {
    // After the end frame of a whole transfer there is nothing left to stop.
    if (m_outcome != Outcome::Running || m_flagComplete || m_stopRequested || m_step == clone::StepEnd)
        return;
    if (m_awaitingOpen) {
        // Nothing was sent yet: the connection being made is given up.
        m_outcome = Outcome::Stopped;
        unload();
        return;
    }
    m_stopRequested = true;
    qCDebug(logLink) << "stop requested at step" << m_step;
    // The frame under way finishes; the next one sent is the end frame.
    if (!m_waiting && !tmrSend->isActive() && m_step != clone::StepEnd)
        Fail();
}

int CloneEngine::frameCount() const {
    int count = 0;
    for (qint16 step = m_stepData; step != clone::StepEnd && count <= LineCount;
         step = clone::NextStep(step, m_direction, m_stepExit))
        ++count;
    return count;
}

void CloneEngine::unload() {
    ++m_generation;
    tmrSend->stop();
    TmrReceive->stop();
    m_waiting = false;
    m_awaitingOpen = false;
    m_flagComplete = true;
    m_pending.clear();
    if (m_transport->isOpen())
        m_transport->close();
    setOkEnabled(true);
    if (m_loaded) {
        m_loaded = false;
        emit closed();
    }
}

bool CloneEngine::openPort(QString* error) {
    const QString device = portDevice();
    if (device.isEmpty()) {
        *error = Pick(m_app.language, "Com %1 is not a port: choose one of Com %2 to Com %3.",
                      "Com %1 不是可用的端口：请选择 Com %2 到 Com %3。")
                     .arg(m_app.portNumber)
                     .arg(FirstComPort)
                     .arg(LastComPort);
        return false;
    }
    return m_transport->open(device, m_app.language, error);
}

void CloneEngine::portOpenFailed(const QString& error) {
    m_outcome = Outcome::StartFailed;
    m_prompter.message(m_app.productName, error, Prompter::Icon::Exclamation, Prompter::Buttons::Ok,
                       Prompter::Answer::Ok);
    m_flagComplete = true;
    unload();
}

void CloneEngine::RestartClone() {
    m_flagComplete = false;
    m_step = clone::StepHandshake;
    m_framesDone = 0;
    setProgress(0);
    m_pending.clear();
    if (!m_transport->isOpen()) {
        // The connection was lost; a Retry opens the port again.
        QString error;
        if (!openPort(&error)) {
            portOpenFailed(error);
            return;
        }
    }
    if (m_transport->connecting()) {
        // A network port: the first frame waits for the connection (onPortOpened).
        m_awaitingOpen = true;
        return;
    }
    scheduleFirstFrame();
}

void CloneEngine::scheduleFirstFrame() {
    TmrReceive->setInterval(qMax<int>(0, m_recvInterval));
    // "At the next opportunity": the frame goes out as soon as the event loop
    // has handled what is pending.
    tmrSend->setInterval(0);
    tmrSend->start();
}

void CloneEngine::tmrSendTick() {
    tmrSend->stop();
    if (m_stopRequested)
        m_step = clone::StepEnd;
    const clone::Frame frame = clone::BuildFrame(m_step, m_direction, m_app.image);
    m_frame = frame.bytes;
    // Whatever is still in the input belongs to an earlier exchange. It is
    // discarded before the frame goes out, so that no part of the new reply can
    // be lost however fast the radio answers.
    m_transport->clearInput();
    m_received.clear();
    m_found = clone::FoundReply();
    m_newBytes = false;
    m_tickCount = 0;
    const qint64 written = m_transport->send(frame.bytes);
    qCDebug(logLink) << "sent" << m_step << frame.bytes.toHex(' ');
    if (const std::optional<int> value = clone::ProgressValue(m_step, m_stepData, m_stepExit);
        value && !m_stopRequested)
        setProgress(*value);
    if (written != frame.bytes.size() || frame.bytes.isEmpty()) {
        qCWarning(logLink) << "cannot send to" << m_transport->name() << m_transport->errorString();
        Fail();
        return;
    }
    m_waiting = true;
    TmrReceive->start(qMax<int>(0, m_recvInterval));
}

void CloneEngine::takeBytes() {
    if (!m_transport->isOpen())
        return;
    const QByteArray data = m_transport->readAll();
    if (data.isEmpty())
        return;
    m_newBytes = true;
    if (m_found.state == clone::ReplyState::Complete)
        return; // bytes after the reply are ignored
    m_received.append(data);
    m_found = clone::FindReply(m_received, m_frame);
    if (m_found.state != clone::ReplyState::Complete && m_received.size() > ReceiveKeep)
        m_received.remove(0, m_received.size() - ReceiveKeep);
}

void CloneEngine::onReadyRead() {
    // Between exchanges the bytes stay in the port; the next frame discards them.
    if (!m_waiting)
        return;
    takeBytes();
    if (m_earlyReplies && m_step != clone::StepEnd && TmrReceive->isActive() &&
        m_found.state == clone::ReplyState::Complete) {
        // The reply is in: take the receive tick now rather than at the end of its
        // interval. The tick itself judges the reply, by the same framing rule.
        // A line's reply is judged on the spot, and a valid one sends the next frame
        // straight away: nothing else is waiting for it, and every exchange spared
        // two turns of the event loop makes a transfer measurably shorter. The
        // handshake and the identification go through the loop, as their verdict
        // may ask the user something.
        if (m_step >= 0) {
            TmrReceive->stop();
            m_sendNow = true;
            TmrReceiveTick();
            m_sendNow = false;
            return;
        }
        TmrReceive->start(0);
    }
}

void CloneEngine::TmrReceiveTick() {
    TmrReceive->stop();
    if (m_step == clone::StepEnd && m_stopRequested) {
        // The end frame of a stopped transfer: the lines read so far are dropped.
        m_waiting = false;
        m_outcome = Outcome::Stopped;
        unload();
        return;
    }
    if (m_step == clone::StepEnd) {
        m_waiting = false;
        m_flagComplete = true;
        const quint64 generation = m_generation;
        if (m_direction == clone::Verify)
            m_readBack = m_pending;
        else
            for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
                m_app.image.setLine(it.key(), it.value());
        m_pending.clear();
        m_outcome = Outcome::Completed;
        qCDebug(logLink) << "transfer complete, direction" << m_direction;
        emit CloneExit(m_direction);
        // A handler may have started the next transfer already.
        if (generation == m_generation)
            unload();
        return;
    }
    takeBytes();
    const bool newBytes = m_newBytes;
    m_newBytes = false;
    if (m_found.state == clone::ReplyState::Complete) {
        const quint64 generation = m_generation;
        qCDebug(logLink) << "received" << m_step << m_received.toHex(' ') << "reply at" << m_found.offset;
        const Verdict verdict = Evaluate(m_found.reply);
        if (generation != m_generation)
            return; // ended while a message was open
        switch (verdict) {
        case Verdict::Valid:
            m_waiting = false;
            m_step = m_nextStep;
            if (m_sendNow)
                tmrSendTick(); // the next opportunity is now
            else
                tmrSend->start();
            return;
        case Verdict::Abort:
            Fail();
            return;
        case Verdict::Invalid:
            break;
        }
    } else if (!newBytes && m_found.state == clone::ReplyState::Begun) {
        qCDebug(logLink) << "reply stopped part-way at step" << m_step << m_received.toHex(' ');
        Fail();
        return;
    }
    ++m_tickCount;
    if (m_tickCount > m_tickCountMax) {
        qCDebug(logLink) << "no reply at step" << m_step;
        Fail();
        return;
    }
    TmrReceive->start(qMax<int>(0, m_recvInterval));
}

CloneEngine::Verdict CloneEngine::Evaluate(const QByteArray& reply) {
    if (!clone::ReplyValid(m_step, m_direction, reply))
        return Verdict::Invalid;
    if (m_step == clone::StepHandshake) {
        m_nextStep = clone::StepIdentify;
        return Verdict::Valid;
    }
    if (m_step == clone::StepIdentify) {
        m_radioBand = clone::BandIndexOfCode(quint8(reply.at(1)));
        if (m_direction == clone::Write && m_radioBand != m_app.band.index) {
            m_waiting = false;
            m_outcome = Outcome::BandMismatch;
            m_abort = true;
            m_prompter.message(m_app.productName, clone::BandMismatchText(m_app.language),
                               Prompter::Icon::Critical, Prompter::Buttons::Ok, Prompter::Answer::Ok);
            return Verdict::Abort;
        }
        m_app.radioVersion[0] = clone::VersionText(quint8(reply.at(2)), quint8(reply.at(3)));
        m_app.radioVersion[1] = clone::VersionText(quint8(reply.at(5)), quint8(reply.at(6)));
        m_nextStep = m_stepData;
        return Verdict::Valid;
    }
    ++m_framesDone;
    if (m_direction != clone::Write)
        m_pending.insert(m_step, reply.mid(4, LineSize));
    m_nextStep = clone::NextStep(m_step, m_direction, m_stepExit);
    return Verdict::Valid;
}

void CloneEngine::Fail() {
    tmrSend->stop();
    TmrReceive->stop();
    m_waiting = false;
    if (m_abort) {
        unload();
        return;
    }
    if (m_stopRequested) {
        // No retry and no question: the end frame, if the port still takes it.
        if (m_step != clone::StepEnd && m_transport->isOpen()) {
            m_step = clone::StepEnd;
            tmrSend->start(0);
        } else {
            m_outcome = Outcome::Stopped;
            unload();
        }
        return;
    }
    if (m_retryCount < clone::HandshakeRetries && m_step == clone::StepHandshake) {
        ++m_retryCount;
        qCDebug(logLink) << "handshake unanswered, retry" << m_retryCount;
        RestartClone();
        return;
    }
    const quint64 generation = m_generation;
    emit CloneError();
    if (generation != m_generation)
        return; // a subscriber ended the transfer
    const Prompter::Answer answer =
        m_prompter.message(m_app.productName, clone::ConnectionFailText(m_app.language), Prompter::Icon::Critical,
                           Prompter::Buttons::RetryCancel, Prompter::Answer::Retry);
    if (generation != m_generation)
        return; // ended while the question was open
    if (answer == Prompter::Answer::Retry) {
        RestartClone();
    } else {
        m_outcome = Outcome::Failed;
        unload();
    }
}

void CloneEngine::onPortOpened() {
    if (!m_awaitingOpen || m_flagComplete)
        return;
    m_awaitingOpen = false;
    scheduleFirstFrame();
}

void CloneEngine::onPortOpenFailed(const QString& error) {
    if (!m_awaitingOpen || m_flagComplete)
        return;
    m_awaitingOpen = false;
    // Like a port that does not open; the prompter is asked outside the signal.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, error] {
            if (generation == m_generation && !m_flagComplete)
                portOpenFailed(error);
        },
        Qt::QueuedConnection);
}

void CloneEngine::onPortLost() {
    if (!m_loaded || m_flagComplete || !m_transport->isOpen())
        return;
    qCWarning(logLink) << "connection lost on" << m_transport->name() << m_transport->errorString();
    // Handled outside the transport's own signal: the link is closed there.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(this, [this, generation] { portLost(generation); }, Qt::QueuedConnection);
}

void CloneEngine::portLost(quint64 generation) {
    if (generation != m_generation || m_flagComplete || !m_transport->isOpen())
        return;
    // A vanished device keeps reporting errors; close it so nothing spins, and
    // let the failure rules decide (a Retry opens it again).
    m_lostError = m_transport->errorString();
    m_transport->close();
    // After the end frame nothing more is awaited: the transfer still completes.
    if (m_step != clone::StepEnd && (m_waiting || tmrSend->isActive()))
        Fail();
}

void CloneEngine::setProgress(int value) {
    if (value == m_progress)
        return;
    m_progress = value;
    emit progressChanged(value);
}

void CloneEngine::setCaption(const QString& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void CloneEngine::setOkEnabled(bool enabled) {
    if (enabled == m_okEnabled)
        return;
    m_okEnabled = enabled;
    emit okEnabledChanged(enabled);
}

} // namespace kestrel
