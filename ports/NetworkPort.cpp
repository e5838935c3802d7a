#include "ports/NetworkPort.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace kestrel {

namespace {

const char* const RememberedKey = "NetworkPorts";

struct Scheme {
    const char* prefix;
    NetworkProtocol protocol;
};
constexpr Scheme Schemes[] = {{"rfc2217://", NetworkProtocol::Rfc2217}, {"tcp://", NetworkProtocol::Raw}};

QString Malformed(const QString& text, quint8 language, const char* en, const char* zh) {
    return Pick(language, "%1 is not a network port (%2): write rfc2217://HOST:PORT or tcp://HOST:PORT.",
                "%1 不是网络端口（%2）：请写成 rfc2217://主机:端口 或 tcp://主机:端口。")
        .arg(text, Pick(language, en, zh));
}

} // namespace

QString NetworkPort::url() const {
    return QLatin1String(protocol == NetworkProtocol::Rfc2217 ? "rfc2217://" : "tcp://") + hostPort();
}

QString NetworkPort::hostPort() const {
    const QString h = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return h + QLatin1Char(':') + QString::number(port);
}

bool IsNetworkPortName(const QString& text) {
    const QString t = text.trimmed();
    for (const Scheme& s : Schemes)
        if (t.startsWith(QLatin1String(s.prefix), Qt::CaseInsensitive))
            return true;
    return false;
}

std::optional<NetworkPort> ParseNetworkPort(const QString& text, quint8 language, QString* error) {
    const QString t = text.trimmed();
    auto fail = [&](const char* en, const char* zh) -> std::optional<NetworkPort> {
        if (error)
            *error = Malformed(t.isEmpty() ? QStringLiteral("\"\"") : t, language, en, zh);
        return std::nullopt;
    };
    NetworkPort port;
    QString rest;
    for (const Scheme& s : Schemes) {
        if (t.startsWith(QLatin1String(s.prefix), Qt::CaseInsensitive)) {
            port.protocol = s.protocol;
            rest = t.mid(int(qstrlen(s.prefix)));
            break;
        }
    }
    if (rest.isNull())
        return fail("it starts with neither rfc2217:// nor tcp://", "开头既不是 rfc2217:// 也不是 tcp://");
    // [IPv6]:port, or host:port with a host of letters, digits, dots, hyphens and underscores.
    static const QRegularExpression bracketed(QStringLiteral("^\\[([0-9A-Fa-f:.]+)\\]:(\\d{1,5})$"));
    static const QRegularExpression plain(QStringLiteral("^([A-Za-z0-9._-]+):(\\d{1,5})$"));
    QRegularExpressionMatch m = bracketed.match(rest);
    if (m.hasMatch()) {
        const QHostAddress address(m.captured(1));
        if (address.protocol() != QAbstractSocket::IPv6Protocol)
            return fail("the address in brackets is no IPv6 address", "方括号中的不是 IPv6 地址");
    } else {
        m = plain.match(rest);
        if (!m.hasMatch()) {
            if (rest.isEmpty() || rest.startsWith(QLatin1Char(':')))
                return fail("the host is missing", "缺少主机");
            if (!rest.contains(QLatin1Char(':')))
                return fail("the port number is missing", "缺少端口号");
            return fail("write the host, a colon and the port number, nothing else",
                        "只写主机、冒号和端口号，不要别的");
        }
        if (m.captured(1).startsWith(QLatin1Char('.')) || m.captured(1).endsWith(QLatin1Char('-')))
            return fail("the host name is malformed", "主机名格式不对");
    }
    const int number = m.captured(2).toInt();
    if (number < 1 || number > 65535)
        return fail("the port number must be 1 to 65535", "端口号必须在 1 到 65535 之间");
    port.host = m.captured(1);
    port.port = quint16(number);
    return port;
}

QStringList RememberedNetworkPorts(const SettingsStore& store) {
    QStringList urls;
    QList<NetworkPort> seen;
    const QStringList words =
        store.ReadRegistryText(QLatin1String(RememberedKey)).split(QRegularExpression(QStringLiteral("\\s+")),
                                                                 Qt::SkipEmptyParts);
    for (const QString& word : words) {
        const std::optional<NetworkPort> p = ParseNetworkPort(word);
        if (!p || seen.contains(*p))
            continue;
        seen << *p;
        urls << p->url();
    }
    return urls;
}

bool RememberNetworkPort(SettingsStore& store, const QString& url) {
    const std::optional<NetworkPort> p = ParseNetworkPort(url);
    if (!p)
        return false;
    QStringList urls = RememberedNetworkPorts(store);
    for (const QString& u : urls)
        if (ParseNetworkPort(u) == p)
            return true;
    urls << p->url();
    return store.WriteRegistryText(QLatin1String(RememberedKey), urls.join(QLatin1Char(' ')));
}

bool ForgetNetworkPort(SettingsStore& store, const QString& url) {
    const std::optional<NetworkPort> p = ParseNetworkPort(url);
    QStringList urls = RememberedNetworkPorts(store);
    const qsizetype before = urls.size();
    urls.erase(std::remove_if(urls.begin(), urls.end(), [&](const QString& u) { return p && ParseNetworkPort(u) == p; }),
               urls.end());
    if (!p || urls.size() == before)
        return false;
    return store.WriteRegistryText(QLatin1String(RememberedKey), urls.join(QLatin1Char(' ')));
}

} // namespace kestrel
