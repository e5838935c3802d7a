#include "link/EmbMsgText.h"

#include "core/ImageDescription.h"

namespace kestrel::embmsg {

QString LineText(const QByteArray& line) {
    QString text;
    text.reserve(line.size());
    for (char b : line) {
        if (quint8(b) != Filler)
            text.append(QChar(quint8(b)));
    }
    return text;
}

QByteArray TextLine(const QString& text) {
    QByteArray line(TextLength, char(Filler));
    const int n = qMin(int(text.size()), TextLength);
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        line[i] = FitsLine(c) ? char(c.unicode()) : '?';
    }
    return line;
}

QString ReadText(const MemoryImage& image, int line) { return LineText(image.line(line)); }

void StoreText(MemoryImage& image, int line, const QString& text) { image.setLine(line, TextLine(text)); }

bool FitsLine(QChar c) { return c.unicode() < Filler; }

QString Unstorable(const QString& text) {
    QString refused;
    for (int i = 0; i < text.size(); ++i) {
        if (FitsLine(text.at(i)))
            continue;
        // A character beyond the first 65536 is a pair of code units: keep it whole.
        const int units = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString c = text.mid(i, units);
        if (!refused.contains(c))
            refused.append(c);
        i += units - 1;
    }
    return refused;
}

QString RefusedText(const QString& refused, Language language) {
    return Pick(language, "\"%1\" cannot be stored in the radio: use letters, digits and signs of one byte each.",
                "“%1”无法存入对讲机：请只使用单字节的字母、数字和符号。")
        .arg(refused);
}

void DescribeRadioInfo(const MemoryImage& image, Language language, ImageDescription& out) {
    const QString where = CaptionText(language);
    out.addField(where, LabelTexts[0](language), ReadText(image, EsnLine), {ByteSpan{LineAddress(EsnLine), LineSize}});
    out.addField(where, LabelTexts[2](language), ReadText(image, HardwareLine),
                 {ByteSpan{LineAddress(HardwareLine), LineSize}});
}

} // namespace kestrel::embmsg
