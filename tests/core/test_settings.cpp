#include "core/SessionMemory.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {
const QString KeyPath = QStringLiteral("SoftWare\\Varnel\\Kestrel");
} // namespace

TEST(PortSetting, StoredTextGivesThePortNumber) {
    struct {
        const char* stored;
        int port;
        bool warns;
    } const cases[] = {{"", 1, false},    {"3", 3, false},   {" 7", 7, false},  {"12abc", 12, false},
                       {"2.5", 2, false}, {"3.5", 4, false}, {"0", 0, false},   {"255", 255, false},
                       {"256", 1, true},  {"-1", 1, true},   {"COM4", 1, true}, {"99999999999", 1, true}};
    for (const auto& c : cases) {
        QString warning;
        EXPECT_EQ(ParsePortSetting(QString::fromUtf8(c.stored), &warning), c.port) << c.stored;
        EXPECT_EQ(!warning.isEmpty(), c.warns) << c.stored;
    }
}

// NetworkPort: a network port's name or nothing; anything else falls back to the Com port.
TEST(PortSetting, StoredNetworkPortIsANetworkNameOrNothing) {
    struct {
        const char* stored;
        const char* port;
    } const cases[] = {{"", ""},
                       {" rfc2217://bench.local:3001 ", "rfc2217://bench.local:3001"},
                       {"TCP://[::1]:7", "TCP://[::1]:7"},
                       {"/dev/ttyUSB0", ""},
                       {"3", ""}};
    for (const auto& c : cases) {
        QString warning;
        EXPECT_EQ(ParseNetworkPortSetting(QString::fromUtf8(c.stored), 4, &warning),
                  QString::fromUtf8(c.port));
        EXPECT_EQ(warning.isEmpty(), *c.port || !*c.stored) << c.stored;
        EXPECT_TRUE(warning.isEmpty() || warning.endsWith(QLatin1String("using port 4")))
            << warning.toStdString();
    }
}

// A missing key starts on port 1; the language is stored, but every run starts in English.
TEST(SettingsStore, PortAndLanguageAreStoredButEveryRunStartsInEnglish) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("nested/s.ini"));
    EXPECT_TRUE(SettingsStore(KeyPath, file).ReadRegistryText(QStringLiteral("Port")).isEmpty());
    const AppContext fresh = StartedApp(file);
    EXPECT_EQ(fresh.portNumber, 1);
    EXPECT_EQ(fresh.language, English);
    {
        SettingsStore store(KeyPath, file);
        ASSERT_TRUE(store.WriteRegistryText(QStringLiteral("Language"), QStringLiteral("1")));
        ASSERT_TRUE(store.WriteRegistryText(QStringLiteral("Port"), QStringLiteral("3")));
    }
    AppContext app = StartedApp(file);
    EXPECT_EQ(app.language, English);
    EXPECT_EQ(app.portNumber, 3);
    app.language = Chinese;
    SettingsStore store(KeyPath, file);
    EXPECT_TRUE(SaveRegistrySettings(app, store));
    EXPECT_EQ(store.ReadRegistryText(QStringLiteral("Language")), QStringLiteral("1"));
    EXPECT_EQ(store.ReadRegistryText(QStringLiteral("Port")), QStringLiteral("3"));
    // No network port: none is written. A chosen one is kept beside the port number.
    EXPECT_FALSE(ReadFile(file).contains("NetworkPort"));
    app.networkPort = QStringLiteral("tcp://127.0.0.1:3002");
    EXPECT_TRUE(SaveRegistrySettings(app, store));
    EXPECT_EQ(StartedApp(file).networkPort, app.networkPort);
    EXPECT_EQ(StartedApp(file).portNumber, 3);
    app.networkPort.clear();
    EXPECT_TRUE(SaveRegistrySettings(app, store));
    EXPECT_TRUE(StartedApp(file).networkPort.isEmpty());
}

TEST(SettingsStore, AStoreThatCannotBeWrittenReportsFalse) {
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(WriteFile(blocker, "x"));
    SettingsStore store(KeyPath, blocker + QStringLiteral("/below/s.ini"));
    EXPECT_FALSE(store.WriteRegistryText(QStringLiteral("Port"), QStringLiteral("1")));
}

// A hand-edited file that cannot be parsed: the port it names is still used, the
// run says which file is damaged, and the file is never written over.
TEST(SettingsStore, ADamagedFileIsReadAsFarAsPossibleAndNeverOverwritten) {
    const QByteArray texts[] = {"[General]\nLanguage=0\nPort=3\n\n[Ports\nCom3=/tmp/radio\n", "Port=3\n[\n",
                                "[Ports]\nCom3=/tmp/radio\n[General\nPort=3\n"};
    for (const QByteArray& text : texts) {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("s.ini"));
        ASSERT_TRUE(WriteFile(file, text));
        AppContext app;
        StartupOptions options;
        options.programFolder = BinDir();
        options.settingsLocation = file;
        const QStringList warnings = RunStartup(app, options);
        EXPECT_EQ(app.portNumber, 3) << text.constData();
        EXPECT_EQ(warnings.filter(QStringLiteral("damaged")).size(), 1) << warnings.join('\n').toStdString();
        EXPECT_TRUE(warnings.join(' ').contains(file));
        SettingsStore store(KeyPath, file);
        EXPECT_FALSE(store.damage().isEmpty());
        app.portNumber = 5;
        EXPECT_FALSE(SaveRegistrySettings(app, store));
        EXPECT_EQ(ReadFile(file), text);
    }
    QTemporaryDir dir;
    const QString clean = dir.filePath(QStringLiteral("clean.ini"));
    EXPECT_TRUE(SettingsStore(KeyPath, clean).damage().isEmpty()) << "a missing file is no damage";
    ASSERT_TRUE(WriteFile(clean, "[General]\nPort=3\n[Ports]\nCom3=/tmp/radio\n"));
    EXPECT_TRUE(SettingsStore(KeyPath, clean).damage().isEmpty());
}

// A value serialized as @Variant carries a length of its own, which a damaged file sets to
// gigabytes: such a file is never handed to the settings reader.
TEST(SettingsStore, AFileWithSerializedValuesIsDamagedAndNotDecoded) {
    const QByteArray hostile = QByteArray("Port=3\n[Ports]\nCom1=@Variant(\\0\\0\\0\\trel ") +
                               QByteArray("\xdf\x8d\x9a\x89") + "ease date shx7f\\0\\0\\0\\x18QString)\n";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("s.ini"));
    ASSERT_TRUE(WriteFile(file, hostile));
    AppContext app;
    StartupOptions options;
    options.programFolder = BinDir();
    options.settingsLocation = file;
    const QStringList warnings = RunStartup(app, options);
    EXPECT_EQ(warnings.filter(QStringLiteral("@Variant")).size(), 1) << warnings.join('\n').toStdString();
    EXPECT_EQ(app.portNumber, 1) << "the defaults are used";
    SettingsStore store(KeyPath, file);
    EXPECT_TRUE(store.ReadRegistryText(QStringLiteral("Port")).isEmpty());
    EXPECT_FALSE(store.WriteRegistryText(QStringLiteral("Port"), QStringLiteral("5")));
    EXPECT_EQ(ReadFile(file), hostile);
    // The text "@Variant(" as the reader escapes it is an ordinary value.
    ASSERT_TRUE(WriteFile(file, "Port=3\nNote=@@Variant(x)\n"));
    EXPECT_TRUE(SettingsStore(KeyPath, file).damage().isEmpty());
    EXPECT_EQ(SettingsStore(KeyPath, file).ReadRegistryText(QStringLiteral("Port")), QStringLiteral("3"));
}

// The user's own Radio.INI beside the settings file overrides the program's.
TEST(Startup, RadioIniBesideTheSettingsFileOverridesTheProgramsOwn) {
    struct Case {
        bool userFile;
        bool viaEnvironment;
        int recvCount;
    } cases[] = {{false, false, 50}, {true, false, 77}, {true, true, 77}, {false, true, 50}};
    for (const Case& c : cases) {
        QTemporaryDir program, user;
        ASSERT_TRUE(WriteFile(program.filePath(QStringLiteral("Radio.INI")),
                              "[Setup]\nComInterval[ms]=20\nComRecvCount=50\nDate=program\n"));
        if (c.userFile) {
            ASSERT_TRUE(WriteFile(user.filePath(QStringLiteral("Radio.INI")),
                                  "[Setup]\nComInterval[ms]=20\nComRecvCount=77\nDate=user\n"));
        }
        const QString settings = user.filePath(QStringLiteral("Kestrel.ini"));
        StartupOptions options;
        options.programFolder = program.path();
        if (c.viaEnvironment)
            qputenv("KESTREL_SETTINGS", settings.toUtf8());
        else
            options.settingsLocation = settings;
        AppContext app;
        RunStartup(app, options);
        qunsetenv("KESTREL_SETTINGS");
        EXPECT_EQ(app.recvCount, c.recvCount) << c.userFile << c.viaEnvironment;
        EXPECT_EQ(app.releaseDate, QString::fromLatin1(c.userFile ? "user" : "program"));
    }
}

TEST(SettingsStore, DefaultLocationFollowsTheKeyPath) {
    qunsetenv("KESTREL_SETTINGS");
    const QString loc = SettingsStore::DefaultLocation(KeyPath);
#ifndef Q_OS_WIN
    EXPECT_TRUE(loc.endsWith(QLatin1String("SoftWare/Varnel/Kestrel.ini"))) << loc.toStdString();
#endif
    qputenv("KESTREL_SETTINGS", "/tmp/elsewhere.ini");
    EXPECT_EQ(SettingsStore::DefaultLocation(KeyPath), QStringLiteral("/tmp/elsewhere.ini"));
}

TEST(IniFile, KeysAndSectionsMatchLooselyAndValuesAreTrimmed) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Radio.INI"));
    ASSERT_TRUE(WriteFile(file, "; comment\n[other]\nComRecvCount=9\n  [ setup ]  \n"
                                "comrecvcount = 12 \r\nDATE= 2026-01-02 \nComInterval[ms]=30\n"));
    EXPECT_EQ(ReadIniText(QStringLiteral("Setup"), QStringLiteral("ComRecvCount "), file),
              QStringLiteral("12"));
    EXPECT_EQ(ReadIniText(QStringLiteral("SETUP"), QStringLiteral("Date "), file),
              QStringLiteral("2026-01-02"));
    EXPECT_EQ(ReadIniText(QStringLiteral("Setup"), QStringLiteral("Missing"), file), QString());
    EXPECT_EQ(ReadIniText(QStringLiteral("Other"), QStringLiteral("ComRecvCount"), file),
              QStringLiteral("9"));
}

TEST(IniFile, BadTimingFallsBackToWorkingDefaults) {
    struct {
        const char* content; // nullptr: no file
        int interval, count, warnings;
    } const cases[] = {{nullptr, 20, 50, 1},
                       {"[Setup]\nComInterval[ms]=35\nComRecvCount=80\n", 35, 80, 0},
                       {"[Setup]\nComInterval[ms]=\nComRecvCount=x\n", 20, 50, 2},
                       {"[Setup]\nComInterval[ms]=0\nComRecvCount=-4\n", 20, 50, 2},
                       {"[Setup]\nComInterval[ms]=40000\nComRecvCount=0\n", 20, 0, 1},
                       {"[Setup]\nComRecvCount=10\n", 20, 10, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content ? c.content : "no file");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Radio.INI"));
        if (c.content) {
            ASSERT_TRUE(WriteFile(file, c.content));
        }
        const IniSettings s = ReadIniSettings(file);
        EXPECT_EQ(s.recvInterval, c.interval);
        EXPECT_EQ(s.recvCount, c.count);
        EXPECT_EQ(s.warnings.size(), c.warnings) << s.warnings.join(QLatin1Char('|')).toStdString();
    }
}

TEST(Startup, SetsTheProcessWideValues) {
    QTemporaryDir dir;
    AppContext app = StartedApp(dir.filePath(QStringLiteral("s.ini")));
    EXPECT_EQ(app.productName, QStringLiteral("Kestrel"));
    EXPECT_EQ(app.companyName, QStringLiteral("Varnel"));
    EXPECT_EQ(app.settingsKeyPath, KeyPath);
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled"));
    EXPECT_TRUE(app.appFolder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(app.radioVersion[0], QStringLiteral("1.0.0"));
    EXPECT_EQ(app.radioVersion[1], QStringLiteral("1.0.0"));
    EXPECT_EQ(app.toneTable.size(), 261);
    EXPECT_EQ(app.toneTable.first(), QStringLiteral("None"));
    EXPECT_FALSE(app.releaseDate.isEmpty()) << "the shipped Radio.INI carries a date";
}

TEST(Startup, FolderKeepsASingleTrailingSeparator) {
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("C:\\")), QStringLiteral("C:\\"));
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("/opt/kestrel")), QStringLiteral("/opt/kestrel/"));
}

TEST(SessionMemory, RecentFilesKeepTheNewestEightWithoutDoubles) {
    const QString d = QDir::cleanPath(QDir::currentPath());
    auto files = [&](std::initializer_list<int> numbers) {
        QStringList out;
        for (int n : numbers)
            out << d + QStringLiteral("/f%1.dat").arg(n);
        return out;
    };
    QStringList list;
    for (const QString& f : files({0, 1, 2, 3, 4, 5, 6, 7, 8}))
        list = WithRecentFile(list, f);
    EXPECT_EQ(list, files({8, 7, 6, 5, 4, 3, 2, 1})) << "newest first; the oldest falls off";
    struct Step {
        bool add;
        const char* path;
        std::initializer_list<int> after;
    } steps[] = {
        {true, "f4.dat", {4, 8, 7, 6, 5, 3, 2, 1}},
        {true, "./sub/../f7.dat", {7, 4, 8, 6, 5, 3, 2, 1}}, // the same file, written otherwise
        {false, "f8.dat", {7, 4, 6, 5, 3, 2, 1}},
        {false, "missing.dat", {7, 4, 6, 5, 3, 2, 1}},
    };
    for (const Step& s : steps) {
        const QString path = QString::fromLatin1(s.path);
        list = s.add ? WithRecentFile(list, path) : WithoutRecentFile(list, path);
        EXPECT_EQ(list, files(s.after)) << s.path;
    }
}

TEST(SessionMemory, SurvivesTheSettingsStoreAndIgnoresUnusableValues) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("s.ini"));
    SettingsStore store(KeyPath, file);
    EXPECT_EQ(ReadSessionMemory(store).treeWidth, 0);
    SessionMemory m;
    m.windowGeometry = QByteArray("\x01\x02geometry\xff", 11);
    m.treeWidth = 260;
    m.lastFolder = QString::fromUtf8("/home/ann/对讲机");
    ASSERT_TRUE(WriteWindowMemory(store, m));
    ASSERT_TRUE(WriteRecentFiles(store, {QStringLiteral("/a/one.dat"), QStringLiteral("/b/two.dat")}));
    SessionMemory back = ReadSessionMemory(store);
    EXPECT_EQ(back.windowGeometry, m.windowGeometry);
    EXPECT_EQ(back.treeWidth, 260);
    EXPECT_EQ(back.lastFolder, m.lastFolder);
    EXPECT_EQ(back.recentFiles, (QStringList{"/a/one.dat", "/b/two.dat"}));
    for (const char* width : {"-5", "wide", "0"}) {
        ASSERT_TRUE(store.WriteRegistryText(QStringLiteral("TreeWidth"), QString::fromLatin1(width)));
        EXPECT_EQ(ReadSessionMemory(store).treeWidth, 0) << width;
    }
    ASSERT_TRUE(store.WriteRegistryText(QStringLiteral("RecentFile5"), QStringLiteral("/a/one.dat")));
    EXPECT_EQ(ReadSessionMemory(store).recentFiles.size(), 2) << "a double written by hand is dropped";
}
