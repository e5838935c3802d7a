#include "ports/LowLatency.h"

#include "core/Log.h"

#include <QSet>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace kestrel {

bool SetLowLatency(QSerialPort& port, QString* why) {
#ifdef Q_OS_LINUX
    const int fd = int(port.handle());
    serial_struct ss{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &ss) != 0) {
        if (why)
            *why = QString::fromLocal8Bit(std::strerror(fd < 0 ? EBADF : errno));
        return false;
    }
    if (ss.flags & ASYNC_LOW_LATENCY)
        return true;
    ss.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &ss) != 0) {
        if (why)
            *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
#else
    Q_UNUSED(port);
    if (why)
        *why = QStringLiteral("no low-latency flag on this system");
    return false;
#endif
}

void RequestLowLatency(QSerialPort& port, const QString& device) {
    QString why;
    if (SetLowLatency(port, &why))
        return;
    // Trace bookkeeping only: which devices were already mentioned in this run.
    static QSet<QString> noted;
    if (noted.contains(device))
        return;
    noted.insert(device);
    qCDebug(logLink).noquote() << "low-latency mode refused on" << device << "(" + why + ");"
                               << "received bytes may wait for the adapter's latency timer";
}

} // namespace kestrel
