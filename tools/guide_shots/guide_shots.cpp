// kestrel-guide-shots OUTDIR: makes the user guide's pictures from the real windows, in
// English (OUTDIR/en) and Chinese (OUTDIR/zh). It starts the virtual radio
// (kestrel-radio-sim, beside this program) on a pseudo-terminal, points Com 3 at it, reads
// it like a user would, then opens each window through its menu command and grabs it
// (QWidget::grab, so any platform works: offscreen, or a real X display). A settings file of
// its own keeps the user's settings untouched. Exit status 0 when every picture
// was written.
#include "channels/ChannelLists.h"
#include "core/Startup.h"
#include "shell/ChineseFont.h"
#include "shell/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QSettings>
#include <QTcpServer>
#include <QTimer>
#include <cstdio>
#include <functional>

using namespace kestrel;

namespace {

// Answers every question with its default button (the read's "are you sure": OK) and shows nothing.
class QuietPrompter : public Prompter {
public:
    Answer message(const QString&, const QString&, Icon, Buttons buttons, Answer answer) override {
        return buttons == Buttons::Ok ? Answer::Ok : answer;
    }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
};

int failures = 0;

void Save(QWidget* w, const QString& file) {
    if (!w || !w->grab().save(file)) {
        std::fprintf(stderr, "kestrel-guide-shots: could not make %s\n", qPrintable(file));
        ++failures;
    } else {
        std::printf("%s\n", qPrintable(file));
    }
}

// Runs the command; the modal window it opens is grabbed into `file` once it has shown, then closed.
void ShotOfModal(MainForm& window, const char* id, const QString& file, int settleMs = 300) {
    auto* timer = new QTimer;
    timer->setInterval(50);
    auto polls = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w && ++*polls < 200)
            return;
        timer->stop();
        timer->deleteLater();
        if (!w) {
            Save(nullptr, file);
            return;
        }
        QTimer::singleShot(settleMs, w, [w, file] {
            Save(w, file);
            w->close();
        });
    });
    timer->start();
    window.Dispatch(QString::fromLatin1(id));
}

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setFont(WithSimplifiedChinese(QApplication::font()));
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrel-guide-shots OUTDIR\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir work; // the radio's link and the settings file
    const QString bin = QCoreApplication::applicationDirPath();

    // The virtual radio holds the 400-470 MHz default image with a few channels, as a
    // dealer's radio might, and sits on a link of our own.
    MemoryImage radioImage;
    QString error;
    const QString radioFile = work.filePath(QStringLiteral("radio.dat"));
    if (!radioImage.LoadImageFile(QDir(bin).filePath(QStringLiteral("Default_400470.dat")), &error)) {
        std::fprintf(stderr, "kestrel-guide-shots: %s\n", qPrintable(error));
        return 2;
    }
    ImportChannelList(radioImage, "Group,CH,RX Freq,TX Freq,Decode,Encode,W/N,Scan,TX Power\n"
                                  "1,1,446.00625,446.00625,,,Narrow,Add,Low\n"
                                  "1,2,446.01875,446.01875,67.0,67.0,Narrow,Add,Low\n"
                                  "1,3,438.50000,431.10000,,88.5,Wide,Add,High\n"
                                  "1,4,433.50000,433.50000,D023N,D023N,Wide,Del,High\n"
                                  "1,5,462.56250,462.56250,,,Narrow,Add,Mid\n");
    if (!radioImage.SaveImageFile(radioFile, &error)) {
        std::fprintf(stderr, "kestrel-guide-shots: %s\n", qPrintable(error));
        return 2;
    }
    const QString link = work.filePath(QStringLiteral("radio"));
    QProcess radio;
    radio.start(QDir(bin).filePath(QStringLiteral("kestrel-radio-sim")),
                {QStringLiteral("--image"), radioFile,
                 QStringLiteral("--band-code"), QStringLiteral("2"), QStringLiteral("--link"), link});
    if (!radio.waitForReadyRead(10000)) {
        std::fprintf(stderr, "kestrel-guide-shots: the virtual radio did not start\n");
        return 2;
    }
    qputenv("KESTREL_COM3", QFile::encodeName(link));

    // A serial server on this computer, remembered as a network port, so that the
    // port dialog and the fleet window show how one is listed.
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost)) {
        std::fprintf(stderr, "kestrel-guide-shots: cannot listen on 127.0.0.1\n");
        return 2;
    }
    // Every window reads the same settings file, the one of this run.
    qputenv("KESTREL_SETTINGS", QFile::encodeName(work.filePath(QStringLiteral("settings.ini"))));
    QSettings(work.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
        .setValue(QStringLiteral("NetworkPorts"), QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.serverPort()));

    // Backups and logs of the reads go to the work folder, not the user's.
    qputenv("XDG_DATA_HOME", QFile::encodeName(work.path()));

    // A fresh run for each language, as a user starting the program and choosing it: the
    // windows a run keeps (the batch editor) then show that language.
    QTimer::singleShot(300, [&] {
        for (const char* lang : {"en", "zh"}) {
            AppContext app;
            StartupOptions options;
            options.programFolder = bin;
            options.settingsLocation = work.filePath(QStringLiteral("settings.ini"));
            RunStartup(app, options);
            app.portNumber = 3;
            SettingsStore store = OpenSettingsStore(app, options);
            QuietPrompter prompter;
            MainForm window(app, store, prompter);
            window.resize(1100, 720);
            window.show();
            window.Dispatch(QString::fromLatin1(lang[0] == 'z' ? "miChinese" : "miEnglish"));
            window.Dispatch(QStringLiteral("miRead")); // returns when the read is done
            QApplication::processEvents();
            const QString dir = out.filePath(QString::fromLatin1(lang));
            QDir().mkpath(dir);
            auto file = [&](const char* name) { return QDir(dir).filePath(QString::fromLatin1(name) + ".png"); };
            Save(&window, file("main-window"));
            ShotOfModal(window, "miCommonSet", file("optional-features"));
            ShotOfModal(window, "miKeySet", file("key-assignment"));
            ShotOfModal(window, "miDTMF", file("dtmf"));
            ShotOfModal(window, "miModel", file("model-information"));
            ShotOfModal(window, "miMessage", file("embedded-message"));
            ShotOfModal(window, "miComPort", file("communication-port"));
            ShotOfModal(window, "miFleetWrite", file("fleet-write"), 1500);
            ShotOfModal(window, "miCheckCable", file("check-cable"), 1500);
            ShotOfModal(window, "miAbout", file("about"));
            ShotOfModal(window, "miBatch", file("batch-edit"));
        }
        radio.terminate();
        radio.waitForFinished(5000);
        qapp.exit(failures ? 3 : 0);
    });
    return qapp.exec();
}
