#include "core/Startup.h"

#include "core/Backup.h"
#include "core/Tone.h"
#include "core/Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <csignal>

namespace kestrel {

void IgnoreFileSizeLimitSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

SettingsStore OpenSettingsStore(const AppContext& app, const StartupOptions& options) {
    return SettingsStore(app.settingsKeyPath, options.settingsLocation);
}

QStringList ReadRegistrySettings(AppContext& app, const SettingsStore& store) {
    QStringList warnings;
    app.language = English;
    QString warning;
    const QString damage = store.damage();
    if (!damage.isEmpty())
        warnings << damage;
    QStringList values; // values that cannot be used, named with the file that holds them
    app.portNumber = ParsePortSetting(store.ReadRegistryText(QStringLiteral("Port")), &warning);
    if (!warning.isEmpty())
        values << warning;
    app.networkPort = ParseNetworkPortSetting(store.ReadRegistryText(QStringLiteral("NetworkPort")),
                                              app.portNumber, &warning);
    if (!warning.isEmpty())
        values << warning;
    values << ReadTransferSettings(app, store);
    for (const QString& v : values)
        warnings << QDir::toNativeSeparators(store.location()) + QStringLiteral(": ") + v;
    return warnings;
}

bool SaveRegistrySettings(const AppContext& app, SettingsStore& store) {
    const bool a = store.WriteRegistryText(QStringLiteral("Language"), QString::number(app.language));
    const bool b = store.WriteRegistryText(QStringLiteral("Port"), QString::number(app.portNumber));
    // Written once a network port was chosen; empty again when a Com port is.
    const QString network = QStringLiteral("NetworkPort");
    const bool c = (app.networkPort.isEmpty() && store.ReadRegistryText(network).isEmpty()) ||
                   store.WriteRegistryText(network, app.networkPort);
    return a && b && c;
}

QString RadioIniPath(const QString& settingsKeyPath, const StartupOptions& options) {
    const QString name = QStringLiteral("Radio.INI");
    const SettingsStore store(settingsKeyPath, options.settingsLocation);
    const QString own = QFileInfo(store.location()).absoluteDir().filePath(name);
    if (QFileInfo(own).isFile())
        return own;
    return QDir(options.programFolder).filePath(name);
}

QStringList RunStartup(AppContext& app, const StartupOptions& options) {
    QStringList warnings;
    app.productName = QString::fromLatin1(version::ProductName);
    app.companyName = QString::fromLatin1(version::CompanyName);
    app.versionMajor = version::Major;
    app.versionMinor = version::Minor;
    app.versionRevision = version::Revision;
    app.settingsKeyPath = QStringLiteral("SoftWare\\") + app.companyName + QLatin1Char('\\') + app.productName;
    // The GUI and the command line share one application-data folder (the backups).
    QCoreApplication::setOrganizationName(app.companyName);
    QCoreApplication::setApplicationName(app.productName);

    const IniSettings ini = ReadIniSettings(RadioIniPath(app.settingsKeyPath, options));
    app.recvInterval = ini.recvInterval;
    app.recvCount = ini.recvCount;
    app.releaseDate = ini.releaseDate;
    warnings << ini.warnings;

    warnings << ReadRegistrySettings(app, OpenSettingsStore(app, options));

    app.appFolder = WithTrailingSeparator(options.programFolder);
    app.currentFileName = QStringLiteral("Untitled");
    app.backupFolder = DefaultBackupFolder();
    app.toneTable = BuildToneTable(app.language);
    app.radioVersion[0] = QStringLiteral("1.0.0");
    app.radioVersion[1] = QStringLiteral("1.0.0");
    return warnings;
}

} // namespace kestrel
