#pragma once
// Test data and small text helpers several link tests share.
#include "core/Band.h"
#include "tests/link/RadioSim.h"
#include "tests/support/TestFiles.h"

#include <QCryptographicHash>
#include <QStringList>

namespace kestrel::test {

// A channel record on 146.52000 MHz, receive and transmit, without tones.
inline QByteArray Channel146() {
    return QByteArray::fromHex("0020651400206514FFFFFFFFF80870FF");
}

// The default 136-174 MHz image with `record` in the given channels (0 = channel 1).
inline QByteArray ImageWithChannels(std::initializer_list<int> channels,
                                    const QByteArray& record = Channel146()) {
    QByteArray image = DefaultImageBytes(0);
    for (int n : channels)
        image.replace(n * 16, 16, record);
    return image;
}

// PatternImage(seed) holding the band limits of band `band`.
inline QByteArray BandedPattern(quint8 seed, int band) {
    MemoryImage image;
    image.setBytes(PatternImage(seed));
    EncodeBandLimits(image, BandOfIndex(band));
    return image.bytes();
}

// The non-empty lines of UTF-8 text (a program's output, a log file).
inline QStringList TextLines(const QByteArray& text) {
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline QString Sha256Hex(const QByteArray& data) {
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

} // namespace kestrel::test
