#include "tests/support/TestFiles.h"

#include "core/Band.h"
#include "core/Startup.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace kestrel::test {

QString BinDir() { return QStringLiteral(KESTREL_BIN_DIR); }

AppContext StartedApp(const QString& settingsFile) {
    AppContext app;
    StartupOptions options;
    options.programFolder = BinDir();
    options.settingsLocation = settingsFile;
    RunStartup(app, options);
    return app;
}

QByteArray DefaultImageBytes(int band) { return ReadFile(QDir(BinDir()).filePath(DefaultImageName(band))); }

CliOutput RunKestrelCli(const QStringList& args, const QProcessEnvironment& env) {
    ProgramRun run;
    run.args = args;
    run.env = env;
    return RunProgram(run);
}

CliTextOutput RunKestrelCliText(const QStringList& args) {
    const CliOutput r = RunKestrelCli(args);
    return {r.status, QString::fromUtf8(r.out), r.err};
}

CliOutput RunProgram(const ProgramRun& run) {
    QProcess p;
    p.setProcessEnvironment(run.env);
    if (!run.outFile.isEmpty())
        p.setStandardOutputFile(run.outFile);
    p.start(QDir(BinDir()).filePath(run.program), run.args);
    p.write(run.input);
    p.closeWriteChannel();
    CliOutput r;
    if (!p.waitForFinished(run.timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace kestrel::test
