#include "core/Settings.h"

#include "core/Numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include <cmath>

namespace kestrel {

SettingsStore::SettingsStore(const QString& keyPath, const QString& location) : m_keyPath(keyPath) {
#ifdef Q_OS_WIN
    m_native = location.isEmpty();
#endif
    m_location = location.isEmpty() ? DefaultLocation(keyPath) : location;
}

QString SettingsStore::DefaultLocation(const QString& keyPath) {
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_LOCAL_MACHINE\\") + keyPath;
#else
    const QString env = qEnvironmentVariable("KESTREL_SETTINGS");
    if (!env.isEmpty())
        return env;
    QString rel = keyPath;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + rel +
           QStringLiteral(".ini");
#endif
}

bool HoldsSerializedValue(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = f.readAll();
    static const QByteArray mark("@Variant(");
    // "@@Variant(" is the text "@Variant(", escaped: harmless.
    for (qsizetype i = text.indexOf(mark); i >= 0; i = text.indexOf(mark, i + 1))
        if (i == 0 || text.at(i - 1) != '@')
            return true;
    return false;
}

QString SettingsStore::ReadRegistryText(const QString& valueName) const {
    if (!m_native && (!QFileInfo::exists(m_location) || HoldsSerializedValue(m_location)))
        return QString();
    // A format error still leaves every value the parser could make out.
    QSettings s(m_location, m_native ? QSettings::NativeFormat : QSettings::IniFormat);
    const QVariant v = s.value(valueName);
    if (!v.isValid())
        return QString();
    QString text = v.toString();
    const int nul = int(text.indexOf(QChar(0)));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

bool SettingsStore::WriteRegistryText(const QString& valueName, const QString& text) {
    if (!m_remembering)
        return true;
    if (!m_native) {
        const QFileInfo info(m_location);
        if (!QDir().mkpath(info.absolutePath()))
            return false;
    }
    if (!damage().isEmpty())
        return false;
    QSettings s(m_location, m_native ? QSettings::NativeFormat : QSettings::IniFormat);
    s.setValue(valueName, text);
    s.sync();
    return s.status() == QSettings::NoError;
}

namespace {
// A section line without its closing bracket, which the settings reader cannot
// make sense of. (It keeps parsed files in a cache, so its own error status is
// seen only by the first reader in a run.)
bool HasBrokenSection(const QByteArray& text) {
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.startsWith('[') && !t.contains(']'))
            return true;
    }
    return false;
}
} // namespace

QString SettingsStore::damage() const {
    if (m_native || !QFileInfo::exists(m_location))
        return QString();
    const QString file = QDir::toNativeSeparators(m_location);
    QFile f(m_location);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("settings file %1 cannot be read (%2); it is not overwritten").arg(file, f.errorString());
    if (HoldsSerializedValue(m_location))
        return QStringLiteral("settings file %1 is damaged (it holds @Variant values, which this program never "
                              "writes); the defaults are used for this run, and the file is not overwritten")
            .arg(file);
    if (HasBrokenSection(f.readAll()) || QSettings(m_location, QSettings::IniFormat).status() != QSettings::NoError)
        return QStringLiteral("settings file %1 is damaged (for example a [section] without its closing "
                              "bracket); the values that can be read are used, and the file is not overwritten")
            .arg(file);
    return QString();
}

QString ReadIniText(const QString& section, const QString& key, const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QString wantSection = section.trimmed();
    const QString wantKey = key.trimmed();
    bool inSection = false;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line.remove(QChar(0));
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
            continue;
        if (t.startsWith(QLatin1Char('['))) {
            const int close = int(t.indexOf(QLatin1Char(']')));
            const QString name = t.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(wantSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const int eq = int(t.indexOf(QLatin1Char('=')));
        if (eq < 0)
            continue;
        if (t.left(eq).trimmed().compare(wantKey, Qt::CaseInsensitive) == 0)
            return t.mid(eq + 1).trimmed();
    }
    return QString();
}

quint8 ParsePortSetting(const QString& text, QString* warning) {
    if (text.isEmpty())
        return 1;
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)"));
    const double v = LeadingNumber(text);
    const qint64 n = RoundHalfEven(v);
    if (!number.match(text).hasMatch() || n < 0 || n > 255) {
        if (warning)
            *warning = QStringLiteral("settings value Port=\"%1\" is not a port number 0-255; using port 1").arg(text);
        return 1;
    }
    return quint8(n);
}

QString ParseNetworkPortSetting(const QString& text, int portNumber, QString* warning) {
    if (warning)
        warning->clear();
    const QString t = text.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1String("rfc2217://"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive))
        return t;
    if (warning)
        *warning =
            QStringLiteral("settings value NetworkPort=\"%1\" is not a network port (rfc2217://HOST:PORT "
                           "or tcp://HOST:PORT); using port %2")
                .arg(text)
                .arg(portNumber);
    return QString();
}

IniSettings ReadIniSettings(const QString& fileName) {
    IniSettings out;
    const bool present = QFileInfo::exists(fileName);
    if (!present)
        out.warnings << QStringLiteral("%1 not found; using ComInterval[ms]=%2 and ComRecvCount=%3")
                            .arg(QDir::toNativeSeparators(fileName))
                            .arg(DefaultRecvInterval)
                            .arg(DefaultRecvCount);
    auto readInt = [&](const QString& key, int min, qint16 fallback) -> qint16 {
        const QString text = ReadIniText(QStringLiteral("Setup"), key, fileName);
        bool ok = false;
        const int v = text.toInt(&ok);
        if (ok && v >= min && v <= 32767)
            return qint16(v);
        if (present)
            out.warnings << QStringLiteral("Radio.INI [Setup] %1=\"%2\" is not a number %3-32767; using %4")
                                .arg(key.trimmed(), text)
                                .arg(min)
                                .arg(fallback);
        return fallback;
    };
    out.recvInterval = readInt(QStringLiteral("ComInterval[ms]"), 1, DefaultRecvInterval);
    out.recvCount = readInt(QStringLiteral("ComRecvCount "), 0, DefaultRecvCount);
    out.releaseDate = ReadIniText(QStringLiteral("Setup"), QStringLiteral("Date "), fileName);
    return out;
}

} // namespace kestrel
