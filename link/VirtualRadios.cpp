#include "link/VirtualRadios.h"

#include "core/Band.h"
#include "link/PortTransport.h"

#include <QDir>
#include <QRegularExpression>

namespace kestrel {

namespace {
const QString DevicePrefix = QStringLiteral("virtual:");
// Band index of each radio's memory and band code of its identification.
constexpr int BandOfRadio[VirtualRadioCount] = {0, 0, 0, 1};
constexpr quint8 CodeOfRadio[VirtualRadioCount] = {1, 1, 1, 2};
} // namespace

QString VirtualRadioDevice(int n) {
    return n >= 1 && n <= VirtualRadioCount ? DevicePrefix + QString::number(n) : QString();
}

int VirtualRadioOfDevice(const QString& device) {
    static const QRegularExpression re(QStringLiteral("^virtual:([1-9])$"));
    const QRegularExpressionMatch m = re.match(device.trimmed());
    const int n = m.hasMatch() ? m.captured(1).toInt() : 0;
    return n <= VirtualRadioCount ? n : 0;
}

int VirtualRadioOfPort(int portNumber) {
    const int n = portNumber - FirstVirtualPort + 1;
    return n >= 1 && n <= VirtualRadioCount ? n : 0;
}

QString VirtualRadioName(int n, quint8 language) {
    return Pick(language, "Virtual radio %1", "虚拟电台 %1").arg(n);
}

QString VirtualRadioPlace(quint8 language) {
    return Pick(language, "inside Kestrel (demo mode), no cable needed",
                "Kestrel 内置（演示模式），无需数据线");
}

int DemoBaudRate() {
    bool ok = false;
    const int baud = qEnvironmentVariable("KESTREL_DEMO_BAUD").trimmed().toInt(&ok);
    return ok && baud >= 0 ? baud : 9600;
}

VirtualRadios::VirtualRadios(int baud, QObject* parent) : QObject(parent) {
    for (int i = 0; i < VirtualRadioCount; ++i) {
        auto* radio = new InProcessRadio(QByteArray(ImageSize, char(0xFF)), this);
        radio->setIdentity(CodeOfRadio[i], 0x01, 0x00, 0x01, 0x00);
        radio->setBaudRate(baud);
        radio->setName(VirtualRadioName(i + 1, English));
        m_radios[size_t(i)] = radio;
    }
}

VirtualRadios::~VirtualRadios() = default;

bool VirtualRadios::loadDefaultImages(const QString& folder, QString* error) {
    for (int i = 0; i < VirtualRadioCount; ++i) {
        MemoryImage image;
        if (!LoadDefaultImage(image, BandOfRadio[i], folder, error))
            return false;
        m_radios[size_t(i)]->setMemory(image.bytes());
    }
    return true;
}

InProcessRadio& VirtualRadios::radio(int n) {
    return *m_radios.at(size_t(qBound(1, n, VirtualRadioCount) - 1));
}

CloneTransport* VirtualRadios::newLink(QObject* parent) {
    return new VirtualLink(*this, parent);
}

QString VirtualRadios::fleetLogFile() const {
    const QString folder = m_logFolder.isValid() ? m_logFolder.path() : QDir::tempPath();
    return folder + QStringLiteral("/fleet-log.csv");
}

VirtualLink::VirtualLink(VirtualRadios& radios, QObject* parent)
    : CloneTransport(parent), m_radios(radios), m_serial(new PortTransport(this)) {}

void VirtualLink::use(CloneTransport* link) {
    if (m_active)
        disconnect(m_active, nullptr, this, nullptr);
    m_active = link;
    if (m_active)
        ForwardTransportSignals(m_active, this);
}

bool VirtualLink::open(const QString& device, quint8 language, QString* error) {
    close();
    m_error.clear();
    const int n = VirtualRadioOfDevice(device);
    if (n == 0 && device.trimmed().startsWith(DevicePrefix)) {
        m_error = Pick(language, "There is no %1: the virtual radios are virtual:1 to virtual:%2.",
                       "没有 %1：虚拟电台为 virtual:1 到 virtual:%2。")
                      .arg(device.trimmed())
                      .arg(VirtualRadioCount);
        if (error)
            *error = m_error;
        return false;
    }
    if (n == 0) {
        if (!m_serial->open(device, language, error))
            return false;
        use(m_serial);
        return true;
    }
    InProcessRadio& radio = m_radios.radio(n);
    if (radio.isOpen()) {
        // Like a port another program holds.
        m_error = Pick(language, "%1 is busy with another transfer; try again when it has finished.",
                       "%1 正在进行另一项传输；请在其结束后重试。")
                      .arg(VirtualRadioName(n, language));
        if (error)
            *error = m_error;
        return false;
    }
    if (!radio.open(device, language, error))
        return false;
    use(&radio);
    return true;
}

bool VirtualLink::isOpen() const {
    return m_active && m_active->isOpen();
}

bool VirtualLink::connecting() const {
    return m_active && m_active->connecting();
}

qint64 VirtualLink::send(const QByteArray& bytes) {
    return isOpen() ? m_active->send(bytes) : -1;
}

QByteArray VirtualLink::readAll() {
    return isOpen() ? m_active->readAll() : QByteArray();
}

void VirtualLink::clearInput() {
    if (isOpen())
        m_active->clearInput();
}

void VirtualLink::close() {
    if (!m_active)
        return;
    if (m_active->isOpen())
        m_active->close();
    use(nullptr);
}

QString VirtualLink::name() const {
    return m_active ? m_active->name() : QString();
}

QString VirtualLink::errorString() const {
    return m_active ? m_active->errorString() : m_error;
}

QString VirtualLink::deviceForPort(int n) const {
    return VirtualRadioDevice(VirtualRadioOfPort(n));
}

} // namespace kestrel
