#include "tests/link/RadioSim.h"

#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>

namespace kestrel::test {

QString RadioSim::Program() { return QDir(BinDir()).filePath(QStringLiteral("kestrel-radio-sim")); }

RadioSim::RadioSim(const QStringList& options, const QByteArray& memory) {
    QStringList args = options;
    if (!memory.isEmpty()) {
        const QString image = m_dir.filePath(QStringLiteral("radio.dat"));
        WriteFile(image, memory);
        args << QStringLiteral("--image") << image;
    }
    args << QStringLiteral("--save") << m_dir.filePath(QStringLiteral("saved.dat")) << QStringLiteral("--log")
         << m_dir.filePath(QStringLiteral("frames.log"));
    m_process.setProgram(Program());
    m_process.setArguments(args);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return;
    while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
    }
    m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
}

RadioSim::~RadioSim() { stop(); }

void RadioSim::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QList<QByteArray> RadioSim::frames() const {
    QList<QByteArray> out;
    const QList<QByteArray> lines = ReadFile(m_dir.filePath(QStringLiteral("frames.log"))).split('\n');
    for (const QByteArray& line : lines)
        if (!line.isEmpty() && !line.startsWith('#'))
            out << QByteArray::fromHex(line);
    return out;
}

QByteArray RadioSim::stopAndTakeMemory() {
    stop();
    return ReadFile(m_dir.filePath(QStringLiteral("saved.dat")));
}

QByteArray Hex(const char* text) { return QByteArray::fromHex(QByteArray(text)); }

QByteArray ReadFrameOf(int line) {
    const int a = line * 16;
    QByteArray f("R");
    f.append(char(a >> 8)).append(char(a & 0xFF)).append(char(0x10));
    return f;
}

QByteArray WriteFrameOf(int line, const QByteArray& memory) {
    const int a = line * 16;
    QByteArray f("W");
    f.append(char(a >> 8)).append(char(a & 0xFF)).append(char(0x10)).append(memory.mid(a, 16));
    return f;
}

QByteArray HandshakeFrame() { return Hex("02 50 52 4F 47 52 41"); }
QByteArray IdentifyFrame() { return Hex("4D 02"); }
QByteArray EndFrame() { return Hex("45"); }

QByteArray PatternImage(quint8 seed) {
    QByteArray image(8192, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 7 + (i >> 8) * 13 + seed) & 0xFF);
    return image;
}

} // namespace kestrel::test
