#include "fleet/FleetWrite.h"

#include "core/ChannelRecord.h"
#include "core/Log.h"
#include "link/CloneEngine.h"
#include "link/VirtualRadios.h"
#include "link/CloneRun.h"
#include "link/EmbMsgText.h"
#include "link/WriteVerify.h"
#include "ports/NetworkPort.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSet>
#include <QTimer>
#include <algorithm>

namespace kestrel {

namespace {

// Answers for one row and never shows anything: the text it was given becomes
// the row's detail; "Connection Fail!" gets a set number of Retry answers.
class RowPrompter : public Prompter {
public:
    QString last;
    int retriesLeft = 0;

    void reset(int retries) {
        last.clear();
        retriesLeft = retries;
    }
    Answer message(const QString&, const QString& text, Icon, Buttons buttons,
                   Answer defaultAnswer) override {
        last = text;
        if (buttons != Buttons::RetryCancel)
            return defaultAnswer;
        if (retriesLeft <= 0)
            return Answer::Cancel;
        --retriesLeft;
        return Answer::Retry;
    }
    QString openFileName(const QString&, const QString&) override { return QString(); }
    QString saveFileName(const QString&, const QString&) override { return QString(); }
};

// Whether the device is still there: a USB adapter pulled out during a transfer
// takes its device node with it.
bool DeviceStillThere(const QString& device) {
#ifdef Q_OS_WIN
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    return std::any_of(ports.begin(), ports.end(), [&](const QSerialPortInfo& p) {
        return p.portName().compare(device, Qt::CaseInsensitive) == 0;
    });
#else
    return QFileInfo::exists(device);
#endif
}

constexpr qint16 FirstLine = 0;
constexpr qint16 LastLine = 253;
constexpr int ShownDifferences = 20;
// Receive ticks one reply of the ESN read may wait, as the radio information view uses.
constexpr qint16 EsnReadTicks = 50;

QString Sha256Of(const MemoryImage& image) {
    return QString::fromLatin1(QCryptographicHash::hash(image.bytes(), QCryptographicHash::Sha256).toHex());
}

} // namespace

struct FleetWrite::Session {
    explicit Session(const AppContext& values) : app(values), engine(app, prompter) {}
    AppContext app; // the row's own copy: its engine's version texts land here
    RowPrompter prompter;
    CloneEngine engine;
    quint64 run = 0;
    MemoryImage sent; // the bytes this radio is sent
};

QString FleetOutcomeName(FleetOutcome outcome) {
    switch (outcome) {
    case FleetOutcome::Ok:
        return QStringLiteral("ok");
    case FleetOutcome::VerifyFailed:
        return QStringLiteral("verify-failed");
    case FleetOutcome::NoAnswer:
        return QStringLiteral("no-answer");
    case FleetOutcome::BandMismatch:
        return QStringLiteral("band-mismatch");
    case FleetOutcome::PortError:
        return QStringLiteral("port-error");
    case FleetOutcome::Stopped:
        return QStringLiteral("stopped");
    case FleetOutcome::NoRow:
        return QStringLiteral("no-row");
    case FleetOutcome::None:
    case FleetOutcome::Running:
        break;
    }
    return QString();
}

int FleetExitStatus(FleetOutcome outcome) {
    switch (outcome) {
    case FleetOutcome::Ok:
        return 0;
    case FleetOutcome::BandMismatch:
        return 4;
    case FleetOutcome::VerifyFailed:
        return 5;
    default:
        return 3;
    }
}

MemoryImage FleetImageOf(const AppContext& app) {
    MemoryImage copy = app.image;
    SetCurrentChannelByte(copy, ShownRowsFilled(copy, app.band));
    return copy;
}

FleetWrite::FleetWrite(const AppContext& app, const MemoryImage& image, QObject* parent)
    : QObject(parent), m_app(app), m_image(image), m_band(app.band.index) {
    m_app.image = image;
    m_app.radioVersion[0].clear();
    m_app.radioVersion[1].clear();
    m_sha256 = Sha256Of(m_image);
}

FleetWrite::~FleetWrite() {
    for (auto& s : m_sessions)
        s->engine.disconnect(this);
}

bool FleetWrite::setTargets(const QList<FleetTarget>& targets) {
    if (running())
        return false;
    m_sessions.clear();
    m_rows.clear();
    for (int i = 0; i < targets.size(); ++i) {
        FleetRow row;
        row.target = targets[i];
        row.sha256 = m_sha256;
        m_rows.push_back(row);
        auto session = std::make_unique<Session>(m_app);
        session->sent = m_image;
        session->engine.setDevicePath(targets[i].device);
        if (m_virtual)
            session->engine.setTransport(m_virtual->newLink(&session->engine));
        connect(&session->engine, &CloneEngine::progressChanged, this, [this, i] { onProgress(i); });
        connect(&session->engine, &CloneEngine::closed, this, [this, i] { onClosed(i); });
        m_sessions.push_back(std::move(session));
    }
    setPerRadio(m_table);
    return true;
}

bool FleetWrite::setPerRadio(const PerRadioTable& table) {
    if (running())
        return false;
    if (&table != &m_table)
        m_table = table;
    for (int i = 0; i < rowCount(); ++i) {
        FleetRow& r = m_rows[size_t(i)];
        r.esn.clear();
        takeTableRow(i, m_table.findPort(r.target.port, r.target.device));
    }
    return true;
}

// The row's image: the fleet's with the fields of table row `tableRow` set (the
// fleet's own without a table, or before the row is known).
void FleetWrite::takeTableRow(int i, int tableRow) {
    FleetRow& r = m_rows[size_t(i)];
    Session& s = *m_sessions[size_t(i)];
    MemoryImage image = m_image;
    QList<text::FieldError> errors;
    if (tableRow >= 0 && !m_table.apply(tableRow, image, &errors)) {
        // Checked when the table was read, on the same image: not expected.
        qCWarning(logLink) << "fleet: per-radio row" << tableRow << "refused now";
        tableRow = -1;
    }
    r.tableRow = tableRow;
    r.values = m_table.valuesText(tableRow);
    s.sent = image;
    r.sha256 = hasPerRadio() && tableRow < 0 ? QString() : Sha256Of(image);
}

QStringList FleetWrite::perRadioMismatches(const QList<int>& rows, Language l) const {
    QStringList problems;
    if (!hasPerRadio() || m_table.key != PerRadioKey::Port)
        return problems;
    const QString file = QDir::toNativeSeparators(m_table.fileName);
    QSet<int> used;
    for (int i : rows) {
        if (i < 0 || i >= rowCount())
            continue;
        const FleetRow& r = m_rows[size_t(i)];
        if (r.tableRow < 0)
            problems << Pick(l, "%1: no row of %2 names this port", "%1：%2 中没有此端口的行").arg(r.target.port, file);
        else if (used.contains(r.tableRow))
            problems << Pick(l, "%1:%2: the row names two radios' ports", "%1:%2：该行对应两台电台的端口")
                            .arg(file)
                            .arg(m_table.rows[r.tableRow].line);
        used.insert(r.tableRow);
    }
    for (int t = 0; t < m_table.rows.size(); ++t)
        if (!used.contains(t))
            problems << Pick(l, "%1:%2: no radio on port %3 is written", "%1:%2：端口 %3 上没有要写入的电台")
                            .arg(file)
                            .arg(m_table.rows[t].line)
                            .arg(m_table.rows[t].key);
    return problems;
}

QList<int> FleetWrite::tableRowsNotMet(const QList<int>& rows) const {
    QList<int> notMet;
    if (!hasPerRadio() || m_table.key != PerRadioKey::Esn)
        return notMet;
    QSet<int> met;
    for (int i : rows)
        if (i >= 0 && i < rowCount())
            met.insert(m_rows[size_t(i)].tableRow);
    for (int t = 0; t < m_table.rows.size(); ++t)
        if (!met.contains(t))
            notMet << t;
    return notMet;
}

void FleetWrite::setLog(const QString& file, const QString& imageName) {
    m_logFile = file;
    m_imageName = imageName;
}

const FleetRow& FleetWrite::row(int i) const {
    return m_rows.at(size_t(i));
}

bool FleetWrite::rowRunning(int i) const {
    return i >= 0 && i < rowCount() && m_rows[size_t(i)].phase != FleetRow::Phase::Idle;
}

bool FleetWrite::running() const {
    return std::any_of(m_rows.begin(), m_rows.end(),
                       [](const FleetRow& r) { return r.phase != FleetRow::Phase::Idle; });
}

void FleetWrite::start() {
    QList<int> all;
    for (int i = 0; i < rowCount(); ++i)
        all << i;
    start(all);
}

void FleetWrite::start(const QList<int>& rows) {
    m_stopping = false;
    ++m_starting;
    for (int i : rows)
        if (i >= 0 && i < rowCount() && !rowRunning(i))
            beginRun(i);
    --m_starting;
    checkFinished();
}

bool FleetWrite::startRow(int i) {
    if (i < 0 || i >= rowCount() || rowRunning(i))
        return false;
    m_stopping = false;
    ++m_starting;
    beginRun(i);
    --m_starting;
    checkFinished();
    return true;
}

void FleetWrite::stop() {
    ++m_starting;
    for (int i = 0; i < rowCount(); ++i) {
        if (!rowRunning(i))
            continue;
        // Idle first: the engine's closed() is then no news to onClosed.
        m_rows[size_t(i)].phase = FleetRow::Phase::Idle;
        m_sessions[size_t(i)]->engine.CloseForm();
        finish(i, FleetOutcome::Stopped, m_verify ? QStringLiteral("failed") : QStringLiteral("off"));
    }
    --m_starting;
    checkFinished();
}

void FleetWrite::requestStop() {
    m_stopping = true;
    for (int i = 0; i < rowCount(); ++i)
        if (rowRunning(i))
            m_sessions[size_t(i)]->engine.requestStop();
}

void FleetWrite::beginRun(int i) {
    FleetRow& r = m_rows[size_t(i)];
    Session& s = *m_sessions[size_t(i)];
    const bool byEsn = hasPerRadio() && m_table.key == PerRadioKey::Esn;
    r.phase = byEsn ? FleetRow::Phase::ReadingEsn : FleetRow::Phase::Writing;
    r.outcome = FleetOutcome::Running;
    r.progress = 0;
    r.written = false;
    r.radioBand = -1;
    r.version[0].clear();
    r.version[1].clear();
    r.verify.clear();
    r.detail.clear();
    ++r.runs;
    ++s.run;
    s.app.radioVersion[0].clear();
    s.app.radioVersion[1].clear();
    s.prompter.reset(m_retries);
    if (byEsn) {
        // Each radio shows its ESN first, in a session of its own; its row follows from it.
        r.esn.clear();
        takeTableRow(i, -1);
        s.engine.setDirection(clone::Read);
        s.engine.setTickCountMax(EsnReadTicks);
        s.engine.setStepData(embmsg::EsnLine);
        s.engine.setStepExit(embmsg::HardwareLine);
        emit rowChanged(i);
        qCDebug(logLink) << "fleet: reading the ESN of" << r.target.device;
        s.engine.Start();
        return;
    }
    if (hasPerRadio() && r.tableRow < 0) {
        r.detail = Pick(m_app.language, "No row of the per-radio values names this port.",
                        "每台电台的值中没有此端口的行。");
        finish(i, FleetOutcome::NoRow, m_verify ? QStringLiteral("failed") : QStringLiteral("off"));
        return;
    }
    emit rowChanged(i);
    beginWrite(i, s.run);
}

void FleetWrite::beginWrite(int i, quint64 run) {
    FleetRow& r = m_rows[size_t(i)];
    Session& s = *m_sessions[size_t(i)];
    if (s.run != run || r.phase == FleetRow::Phase::Idle)
        return;
    if (m_stopping) {
        r.detail = Pick(m_app.language, "Stopped before the write: nothing was written.", "写入前停止：未写入任何数据。");
        finish(i, FleetOutcome::Stopped, m_verify ? QStringLiteral("failed") : QStringLiteral("off"));
        return;
    }
    r.phase = FleetRow::Phase::Writing;
    r.progress = 0;
    s.app.image = s.sent;
    s.engine.setDirection(clone::Write);
    s.engine.setTickCountMax(m_app.recvCount);
    s.engine.setStepData(FirstLine);
    s.engine.setStepExit(LastLine);
    emit rowChanged(i);
    qCDebug(logLink) << "fleet: writing" << r.target.device;
    // A port that does not open ends the run from inside Start (onClosed).
    s.engine.Start();
}

// The ESN is read: the row of that ESN gives the image to write, or nothing is written.
void FleetWrite::onEsnRead(int i) {
    FleetRow& r = m_rows[size_t(i)];
    Session& s = *m_sessions[size_t(i)];
    r.esn = RadioEsn(s.app.image);
    const int tableRow = m_table.findEsn(r.esn);
    takeTableRow(i, tableRow);
    if (tableRow < 0) {
        r.detail = Pick(m_app.language, "No row of the per-radio values has the ESN \"%1\": nothing was written.",
                        "每台电台的值中没有 ESN 为“%1”的行：未写入任何数据。")
                       .arg(r.esn);
        finish(i, FleetOutcome::NoRow, m_verify ? QStringLiteral("failed") : QStringLiteral("off"));
        return;
    }
    r.phase = FleetRow::Phase::Writing;
    r.progress = 0;
    emit rowChanged(i);
    // The write starts once the read has wound down.
    QTimer::singleShot(0, this, [this, i, run = s.run] { beginWrite(i, run); });
}

void FleetWrite::beginVerify(int i, quint64 run) {
    Session& s = *m_sessions[size_t(i)];
    if (s.run != run || m_rows[size_t(i)].phase != FleetRow::Phase::Verifying)
        return;
    if (m_stopping) {
        m_rows[size_t(i)].detail =
            Pick(m_app.language, "Stopped after the write: the radio holds the new image, but it is not verified.",
                 "写入后停止：电台中已有新数据，但未经校验。");
        finish(i, FleetOutcome::Stopped, QStringLiteral("failed"));
        return;
    }
    SetUpReadBack(s.engine, m_app.recvCount);
    s.engine.Start();
}

void FleetWrite::onProgress(int i) {
    FleetRow& r = m_rows[size_t(i)];
    const CloneEngine& engine = m_sessions[size_t(i)]->engine;
    if (r.phase == FleetRow::Phase::Idle)
        return;
    r.progress = engine.progress();
    if (r.phase == FleetRow::Phase::Writing && engine.radioBand() >= 0)
        r.radioBand = engine.radioBand();
    emit rowChanged(i);
}

void FleetWrite::onClosed(int i) {
    FleetRow& r = m_rows[size_t(i)];
    Session& s = *m_sessions[size_t(i)];
    if (r.phase == FleetRow::Phase::Idle)
        return;
    const CloneEngine::Outcome outcome = s.engine.outcome();
    const bool verifying = r.phase == FleetRow::Phase::Verifying;
    const bool readingEsn = r.phase == FleetRow::Phase::ReadingEsn;
    const QString notVerified = m_verify ? QStringLiteral("failed") : QStringLiteral("off");
    if (readingEsn && outcome == CloneEngine::Outcome::Completed) {
        r.detail.clear();
        onEsnRead(i);
        return;
    }
    if (!verifying && !readingEsn) {
        if (s.engine.radioBand() >= 0)
            r.radioBand = s.engine.radioBand();
        r.version[0] = s.app.radioVersion[0];
        r.version[1] = s.app.radioVersion[1];
    }
    r.detail = s.prompter.last;
    switch (outcome) {
    case CloneEngine::Outcome::Completed:
        r.written = true;
        if (!verifying && m_verify) {
            r.phase = FleetRow::Phase::Verifying;
            r.progress = 0;
            emit rowChanged(i);
            // The next transfer starts once this one has wound down.
            QTimer::singleShot(0, this, [this, i, run = s.run] { beginVerify(i, run); });
            return;
        }
        if (!verifying) {
            finish(i, FleetOutcome::Ok, notVerified);
            return;
        }
        break; // judged below
    case CloneEngine::Outcome::BandMismatch:
        finish(i, FleetOutcome::BandMismatch, notVerified);
        return;
    case CloneEngine::Outcome::StartFailed:
        finish(i, FleetOutcome::PortError, notVerified);
        return;
    case CloneEngine::Outcome::Stopped:
        r.detail = StoppedTransferText(s.engine, m_app.language);
        finish(i, FleetOutcome::Stopped, notVerified);
        return;
    case CloneEngine::Outcome::Failed:
        if (IsNetworkPortName(r.target.device) && !s.engine.lostError().isEmpty()) {
            r.detail = s.engine.lostError(); // the connection dropped: as a pulled cable
            finish(i, FleetOutcome::PortError, notVerified);
        } else if (!DeviceStillThere(r.target.device)) {
            r.detail = Pick(m_app.language, "%1 is gone: the cable was unplugged or the adapter was reset.",
                            "%1 已不存在：数据线被拔出或适配器被重置。")
                           .arg(r.target.device);
            finish(i, FleetOutcome::PortError, notVerified);
        } else {
            finish(i, FleetOutcome::NoAnswer, notVerified);
        }
        return;
    default:
        finish(i, FleetOutcome::Stopped, notVerified);
        return;
    }
    const VerifyResult result = CheckReadBack(s.engine, s.sent, m_app.language);
    switch (result.status) {
    case VerifyResult::Status::Matched:
        finish(i, FleetOutcome::Ok, QStringLiteral("ok"));
        return;
    case VerifyResult::Status::Differs:
        r.detail = VerifyFailedText(result.differences, m_app.language, ShownDifferences);
        finish(i, FleetOutcome::VerifyFailed, QStringLiteral("failed"));
        return;
    case VerifyResult::Status::NotVerified:
        break;
    }
    finish(i, FleetOutcome::NoAnswer, QStringLiteral("failed"));
}

void FleetWrite::finish(int i, FleetOutcome outcome, const QString& verify) {
    FleetRow& r = m_rows[size_t(i)];
    r.phase = FleetRow::Phase::Idle;
    r.outcome = outcome;
    r.verify = verify;
    qCDebug(logLink) << "fleet:" << r.target.device << FleetOutcomeName(outcome);
    writeLogLine(r);
    emit rowChanged(i);
    emit rowFinished(i);
    checkFinished();
}

void FleetWrite::writeLogLine(const FleetRow& r) {
    if (m_logFile.isEmpty())
        return;
    FleetLogEntry e;
    e.time = QDateTime::currentDateTime();
    e.port = r.target.port;
    e.device = r.target.device;
    e.usbSerial = r.target.usbSerial;
    e.band = r.radioBand >= 0 ? BandText(r.radioBand) : QString();
    e.version1 = r.version[0];
    e.version2 = r.version[1];
    e.image = m_imageName;
    e.sha256 = r.sha256;
    e.verify = r.verify;
    e.outcome = FleetOutcomeName(r.outcome);
    e.esn = r.esn;
    e.values = r.values;
    QString error;
    if (!AppendFleetLog(m_logFile, e, &error, m_app.language)) {
        m_logError = error;
        emit logFailed(error);
    }
}

void FleetWrite::checkFinished() {
    if (m_starting == 0 && !running())
        emit finished();
}

void RunFleetToEnd(FleetWrite& fleet) {
    QEventLoop loop;
    const QMetaObject::Connection c =
        QObject::connect(&fleet, &FleetWrite::finished, &loop, &QEventLoop::quit);
    fleet.start();
    if (fleet.running())
        loop.exec();
    QObject::disconnect(c);
}

} // namespace kestrel
