#include "tests/fuzz/FuzzSupport.h"

#include "core/Band.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::fuzz {

void Violated(const char* property, const QString& detail) {
    std::fprintf(stderr, "\n==== property violated: %s\n", property);
    if (!detail.isEmpty())
        std::fprintf(stderr, "%s\n", detail.toLocal8Bit().constData());
    std::fflush(stderr);
    __builtin_trap();
}

namespace {
// Whether the command line sets the flag of `word` ("-dict=x" for "-dict=").
bool Given(int argc, char** argv, const std::string& word) {
    const std::string name = word.substr(0, word.find('=') + 1);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], name.c_str(), name.size()) == 0)
            return true;
    return false;
}
} // namespace

void PrepareArguments(int* argc, char*** argv, const char* seeds, const char* corpus, const char* dict,
                      const Defaults& defaults) {
    for (int i = 1; i < *argc; ++i)
        if ((*argv)[i][0] != '-')
            return; // the caller names inputs or folders: leave the run as it is
    QDir().mkpath(QString::fromUtf8(corpus));
    for (const QString& file : defaults.buildSeeds) {
        const QString copy = QDir(QString::fromUtf8(corpus)).filePath(QFileInfo(file).fileName());
        QFile in(file);
        QFile out(copy);
        if (!QFileInfo::exists(copy) && in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
            out.write(defaults.seedPrefix + in.readAll());
    }
    // Kept for the whole run: libFuzzer holds on to argv.
    static std::vector<std::string> words;
    static std::vector<char*> args;
    for (int i = 0; i < *argc; ++i)
        words.emplace_back((*argv)[i]);
    QStringList flags = defaults.flags;
    if (dict[0] != '\0')
        flags << QStringLiteral("-dict=") + QString::fromUtf8(dict);
    for (const QString& flag : flags)
        if (!Given(*argc, *argv, flag.toStdString()))
            words.push_back(flag.toStdString());
    words.emplace_back(corpus); // new inputs go into the first folder
    if (QFileInfo(QString::fromUtf8(seeds)).isDir())
        words.emplace_back(seeds);
    for (std::string& w : words)
        args.push_back(w.data());
    args.push_back(nullptr);
    *argc = int(words.size());
    *argv = args.data();
}

QString BinFile(const QString& name) {
    return QDir(QStringLiteral(KESTREL_BIN_DIR)).filePath(name);
}

Defaults DefaultImageSeeds(const QByteArray& prefix) {
    Defaults d;
    for (int band = 0; band < BandCount; ++band)
        d.buildSeeds << BinFile(DefaultImageName(band));
    d.seedPrefix = prefix;
    return d;
}

namespace {
// In memory where the system offers it: the harnesses write files for every input.
QTemporaryDir& Scratch() {
    static const QString base =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir dir(base + QStringLiteral("/kestrel-fuzz-XXXXXX"));
    return dir;
}
} // namespace

QString ScratchFile(const QString& name) {
    Check(Scratch().isValid(), "a scratch folder can be made", Scratch().errorString());
    return Scratch().filePath(name);
}

void WriteScratch(const QString& file, const QByteArray& data) {
    QFile f(file);
    const bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
    Check(ok, "the harness can write its scratch file", file + QStringLiteral(": ") + f.errorString());
}

void EnsureApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "kestrel-fuzz";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(argc, argv);
}

namespace {
bool g_trapOutsideImage = false;

void Handler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (g_trapOutsideImage && message.contains(QLatin1String("outside the image")))
        Violated("no rule reaches outside the image", message);
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        std::abort();
    }
}
} // namespace

void QuietMessages(bool trapOutsideImage) {
    g_trapOutsideImage = trapOutsideImage;
    qInstallMessageHandler(Handler);
}

QByteArray Input::take(size_t n) {
    n = std::min(n, remaining());
    const QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(n));
    m_pos += n;
    return out;
}

} // namespace kestrel::fuzz
