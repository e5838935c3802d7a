#pragma once
// Ports of 127.0.0.1 for the tests of network ports: never any other address.
#include <QHostAddress>
#include <QTcpServer>

namespace kestrel::test {

// A port of 127.0.0.1 nothing listens on (it was free a moment ago): a connection to
// it is refused.
inline quint16 ClosedLocalPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        return 0;
    return server.serverPort();
}

} // namespace kestrel::test
