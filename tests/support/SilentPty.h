#pragma once
// A pseudo-terminal nobody answers on: a device that exists and opens, like a cable
// without a radio.
#include <QString>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace kestrel::test {

class SilentPty {
public:
    SilentPty() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0 && ptsname(m_master))
            m_device = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~SilentPty() {
        if (m_master >= 0)
            close(m_master);
    }
    SilentPty(const SilentPty&) = delete;
    SilentPty& operator=(const SilentPty&) = delete;
    QString device() const { return m_device; }

private:
    int m_master = -1;
    QString m_device;
};

} // namespace kestrel::test
