#pragma once
// Files the tests share: the built program folder and temporary folders.
#include "core/AppContext.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>
#include <QString>

namespace kestrel::test {

// The folder holding the built programs, default images and Radio.INI.
QString BinDir();

// An AppContext as the start-up makes it, with the program folder of the build and
// the settings store in `settingsFile` (never the user's own).
AppContext StartedApp(const QString& settingsFile);

// The default image of a band, read from the build.
QByteArray DefaultImageBytes(int band);

// kestrel-cli of the build, run to its end (at most a minute): exit status (-1 when it
// crashed or hung), standard output as bytes, standard error as text.
struct CliOutput {
    int status = -1;
    QByteArray out;
    QString err;
};
CliOutput RunKestrelCli(const QStringList& args,
                        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// kestrel-cli's run with its standard output as UTF-8 text.
struct CliTextOutput {
    int status = -1;
    QString out;
    QString err;
};
CliTextOutput RunKestrelCliText(const QStringList& args);

// A program of the build run the same way, with `input` on its standard input and its
// standard output in `outFile` (captured when empty), waiting at most `timeoutMs`.
struct ProgramRun {
    QString program = QStringLiteral("kestrel-cli");
    QStringList args;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QByteArray input;
    QString outFile;
    int timeoutMs = 60000;
};
CliOutput RunProgram(const ProgramRun& run);

bool WriteFile(const QString& path, const QByteArray& data);
QByteArray ReadFile(const QString& path);

} // namespace kestrel::test
