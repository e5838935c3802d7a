// Radio.INI, the settings store file (with its [Ports] overrides) and a port named on
// the command line: whatever they hold, the run starts with values in their documented
// ranges, a damaged store is never written, and storing a value keeps the others.
// The input holds the three texts one after the other, separated by a byte 0x01.
#include "tests/fuzz/FuzzSupport.h"

#include "core/SessionMemory.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "core/Tone.h"
#include "ports/PortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

using namespace kestrel;
using namespace kestrel::fuzz;

namespace {

void CheckRadioIni(const QString& folder) {
    const IniSettings ini = ReadIniSettings(QDir(folder).filePath(QStringLiteral("Radio.INI")));
    Check(ini.recvInterval >= 1, "ComInterval[ms] is 1-32767");
    Check(ini.recvCount >= 0, "ComRecvCount is 0-32767");
    Check(ini.warnings.size() <= 2, "one warning at most for each timing value");
    Check(ini.releaseDate == ini.releaseDate.trimmed() && !ini.releaseDate.contains(QLatin1Char('\n')),
          "the release date is one trimmed line");
}

void CheckStartup(const QString& folder, const QString& store) {
    AppContext app;
    StartupOptions options;
    options.programFolder = folder;
    options.settingsLocation = store;
    RunStartup(app, options);
    Check(app.recvInterval >= 1 && app.recvCount >= 0, "the run's timing is in range");
    Check(app.language == English, "every run starts in English");
    Check(app.backupDays >= 0, "[Backup] Days is a number of days");
    Check(app.toneTable.size() == ToneCount, "the tone table is complete");
    Check(app.appFolder.endsWith(QLatin1Char('/')), "the program folder ends in a separator");
}

void CheckSessionMemory(const SettingsStore& store) {
    const SessionMemory m = ReadSessionMemory(store);
    Check(m.treeWidth >= 0 && m.treeWidth < 100000, "the tree width is 0 or a width");
    Check(m.recentFiles.size() <= MaxRecentFiles, "at most eight recent files");
    for (int i = 0; i < m.recentFiles.size(); ++i) {
        const QString& f = m.recentFiles[i];
        Check(!f.isEmpty() && QFileInfo(f).isAbsolute() && QDir::cleanPath(f) == f,
              "recent files are clean paths");
        Check(m.recentFiles.indexOf(f) == i, "a recent file is listed once");
    }
}

// The values the settings reader can read, by key as it looks them up ("/Port" is
// "Port"). It lists some keys whose value it cannot read back; rewriting the file drops
// those lines, as it drops comments.
QMap<QString, QString> Values(const QString& file) {
    QMap<QString, QString> values;
    QSettings s(file, QSettings::IniFormat);
    for (const QString& key : s.allKeys()) {
        const QVariant v = s.value(key);
        const QString name = key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
        if (v.isValid() && !values.contains(name))
            values.insert(name, v.toString());
    }
    return values;
}

QByteArray FileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A damaged store is never written; an intact one takes a value and keeps the rest.
void CheckStoreWrite(const QString& file) {
    SettingsStore store(QStringLiteral("SoftWare\\Varnel\\Kestrel"), file);
    const QByteArray before = FileBytes(file);
    if (!store.damage().isEmpty()) {
        Check(!store.WriteRegistryText(QStringLiteral("Port"), QStringLiteral("7")),
              "a damaged store refuses writes");
        Check(FileBytes(file) == before, "a damaged store file stays as it was");
        return;
    }
    QMap<QString, QString> values = Values(file);
    Check(store.WriteRegistryText(QStringLiteral("Port"), QStringLiteral("7")),
          "an intact store takes a value");
    Check(store.ReadRegistryText(QStringLiteral("Port")) == QLatin1String("7"), "a stored value reads back");
    values.insert(QStringLiteral("Port"), QStringLiteral("7"));
    const QMap<QString, QString> after = Values(file);
    if (after != values) {
        QString detail;
        for (const QString& key : QStringList(values.keys()) + after.keys())
            if (values.value(key, QStringLiteral("(none)")) != after.value(key, QStringLiteral("(none)")))
                detail += QStringLiteral("%1: %2 -> %3\n")
                              .arg(key, values.value(key, QStringLiteral("(none)")), after.value(key, QStringLiteral("(none)")));
        Violated("storing a value keeps every other value", detail + QString::fromUtf8(FileBytes(file)));
    }
}

void CheckPorts(const QString& file, const QString& argument) {
    for (int n = FirstComPort - 1; n <= LastComPort + 1; ++n) {
        const QString device = DeviceForPort(n, file);
        const bool port = n >= FirstComPort && n <= LastComPort;
        Check(device.isEmpty() != port, "Com 1-20 and only they stand for a device");
        Check(device == device.trimmed(), "a device name has no blanks around it");
        Check(PortOverrideOrigin(n, file).isEmpty() == PortOverride(n, file).isEmpty(),
              "an override says where it comes from");
    }
    AppContext app;
    app.settingsKeyPath = QStringLiteral("SoftWare\\Varnel\\Kestrel");
    QString error;
    const QString device = ResolvePortArgument(argument, app, &error);
    Check(device.isEmpty() != error.isEmpty(), "a port argument gives a device or a reason");
    Check(device == device.trimmed(), "a device name has no blanks around it");
    QString warning;
    const quint8 port = ParsePortSetting(argument, &warning);
    Check(warning.isEmpty() || port == 1, "an unusable Port value gives port 1");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Qt's settings reader keeps every file it parsed; the leak check would take that
    // for a leak after every input and spend most of the run looking for it.
    Defaults defaults;
    defaults.buildSeeds << BinFile(QStringLiteral("Radio.INI"));
    defaults.flags << QStringLiteral("-detect_leaks=0");
    UseDefaultCorpus(argc, argv, defaults);
    QuietMessages(false);
    for (int n = FirstComPort; n <= LastComPort; ++n)
        qunsetenv(qPrintable(QStringLiteral("KESTREL_COM%1").arg(n)));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16 * 1024)
        return -1;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> parts = bytes.split('\x01');

    // Fresh names every time: the settings reader keeps the files it parsed.
    static int run = 0;
    const QString folder = ScratchFile(QStringLiteral("run%1").arg(++run));
    QDir().mkpath(folder);
    const QString store = QDir(folder).filePath(QStringLiteral("Kestrel.ini"));
    WriteScratch(QDir(folder).filePath(QStringLiteral("Radio.INI")), parts.value(0));
    if (parts.size() > 1)
        WriteScratch(store, parts.value(1));
    qputenv("KESTREL_SETTINGS", QFile::encodeName(store));

    CheckRadioIni(folder);
    CheckStartup(folder, store);
    CheckSessionMemory(SettingsStore(QStringLiteral("SoftWare\\Varnel\\Kestrel"), store));
    CheckPorts(store, QString::fromUtf8(parts.value(2)));
    CheckStoreWrite(store);
    QDir(folder).removeRecursively();
    return 0;
}
