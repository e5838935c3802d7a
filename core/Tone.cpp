#include "core/Tone.h"

#include "core/Numbers.h"

namespace kestrel {

namespace {
const char* const QtTones[50] = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1"};

const char* const DqtCodes[105] = {
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054", "065", "071", "072", "073",
    "074", "114", "115", "116", "122", "125", "131", "132", "134", "143", "145", "152", "155", "156", "162",
    "165", "172", "174", "205", "212", "223", "225", "226", "243", "244", "245", "246", "251", "252", "255",
    "261", "263", "265", "266", "271", "274", "306", "311", "315", "325", "331", "332", "343", "346", "351",
    "356", "364", "365", "371", "411", "412", "413", "423", "431", "432", "445", "446", "452", "454", "455",
    "462", "464", "465", "466", "503", "506", "516", "523", "526", "532", "546", "565", "606", "612", "624",
    "627", "631", "632", "645", "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754"};
} // namespace

QStringList BuildToneTable(Language language) {
    QStringList t;
    t.reserve(ToneCount);
    t << LoadText(1104, language);
    for (const char* q : QtTones)
        t << QString::fromLatin1(q);
    for (const char* d : DqtCodes)
        t << QStringLiteral("D%1N").arg(QLatin1String(d));
    for (const char* d : DqtCodes)
        t << QStringLiteral("D%1I").arg(QLatin1String(d));
    return t;
}

void SetNoToneText(QStringList& table, Language language) {
    if (table.isEmpty())
        table << QString();
    table[0] = LoadText(1104, language);
}

} // namespace kestrel

namespace kestrel {

namespace {
QChar NibbleChar(int nibble) { return QChar(0x30 + (nibble & 0x0F)); }

// The digit a single character stands for; a non-digit counts as 0.
int DigitOf(const QString& text, int index) {
    if (index < 0 || index >= text.size())
        return 0;
    const QChar c = text[index];
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : 0;
}
} // namespace

QString DecodeTone(const QStringList& toneTable, quint8 low, quint8 high) {
    if (toneTable.isEmpty())
        return QString();
    QString text;
    if (high == 0xFF) {
        return toneTable.first();
    } else if (high < 0x40) {
        QString digits;
        digits += NibbleChar(high >> 4);
        digits += NibbleChar(high);
        digits += NibbleChar(low >> 4);
        digits += NibbleChar(low);
        // The leading digits (a nibble above 9 ends them), in tenths of Hz.
        int tenths = 0;
        for (QChar c : digits) {
            if (c > QLatin1Char('9'))
                break;
            tenths = tenths * 10 + (c.unicode() - '0');
        }
        text = QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
    } else if (high >= 0x80) {
        text = QLatin1Char('D') + NibbleChar(high) + NibbleChar(low >> 4) + NibbleChar(low) +
               QLatin1Char(high >= 0xC0 ? 'I' : 'N');
    }
    if (text.isEmpty())
        return toneTable.first();
    const int i = int(toneTable.indexOf(text));
    return i >= 0 ? toneTable[i] : toneTable.first();
}

ToneCode ToneCodeOfText(const QString& text) {
    if (text.startsWith(QLatin1Char('N')) || text == QString::fromUtf8("无"))
        return {0xFF, 0xFF};
    if (!text.startsWith(QLatin1Char('D'))) {
        const QString t = text.size() == 4 ? QLatin1Char('0') + text : text;
        return {quint8(DigitOf(t, 2) * 16 + DigitOf(t, 4)), quint8(DigitOf(t, 0) * 16 + DigitOf(t, 1))};
    }
    const bool normal = text.endsWith(QLatin1Char('N'));
    return {quint8(DigitOf(text, 2) * 16 + DigitOf(text, 3)), quint8((normal ? 8 : 12) * 16 + DigitOf(text, 1))};
}

ToneEntry ResolveToneText(const QString& written, const QString& noToneText) {
    const QString text = written.trimmed();
    ToneEntry entry;
    if (text.isEmpty() || text == noToneText || text.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0 ||
        text == QString::fromUtf8("无")) {
        entry.text = noToneText;
        return entry;
    }
    const auto refuse = [&](const QString& shown) {
        entry.result = ToneEntry::Refused;
        entry.message = {QStringLiteral("Tone %1 is not in the tone table.").arg(shown),
                         QStringLiteral("亚音 %1 不在亚音表中。").arg(shown)};
        return entry;
    };
    if (text.startsWith(QLatin1Char('D'), Qt::CaseInsensitive)) {
        QString code = text.toUpper();
        while (code.length() < 4)
            code += QLatin1Char('0');
        if (code.length() == 4)
            code += QLatin1Char('N');
        if (code.length() == 5 && (code.endsWith(QLatin1Char('N')) || code.endsWith(QLatin1Char('I')))) {
            for (const char* d : DqtCodes)
                if (code.mid(1, 3) == QLatin1String(d)) {
                    entry.text = code;
                    return entry;
                }
        }
        return refuse(code);
    }
    const QChar first = text.front();
    if (!(first.isDigit() || first == QLatin1Char('.')))
        return refuse(text);
    // Compared in thousandths of a Hz, so that a value halfway between two tones is
    // seen as such and goes to the lower one.
    static const QList<qint64> thousandths = [] {
        QList<qint64> out;
        for (const char* q : QtTones)
            out << RoundHalfAway(QString::fromLatin1(q).toDouble() * 1000.0);
        return out;
    }();
    const qint64 value = RoundHalfAway(LeadingNumber(text) * 1000.0);
    const char* nearest = QtTones[0];
    qint64 best = -1;
    for (int i = 0; i < thousandths.size(); ++i) {
        const qint64 tone = thousandths[i];
        const qint64 distance = tone > value ? tone - value : value - tone;
        if (best < 0 || distance < best) {
            best = distance;
            nearest = QtTones[i];
        }
    }
    entry.text = QString::fromLatin1(nearest);
    // Written another way but the same tone (100 for 100.0): taken as it is.
    if (FormatFixed(LeadingNumber(text), 1) == entry.text)
        return entry;
    entry.result = ToneEntry::Snapped;
    entry.message = {QStringLiteral("Tone %1 is not in the tone table; %2 is used.").arg(text, entry.text),
                     QStringLiteral("亚音 %1 不在亚音表中，已改为 %2。").arg(text, entry.text)};
    return entry;
}

void EncodeTone(MemoryImage& image, int channelLine, const QString& text, int offset) {
    if (offset != DecodeToneOffset && offset != EncodeToneOffset)
        return;
    if (channelLine < 0 || channelLine >= LineCount)
        return;
    const ToneCode code = ToneCodeOfText(text);
    image.setByte(channelLine, ToneLowPosition + offset, code.low);
    image.setByte(channelLine, ToneLowPosition + offset + 1, code.high);
}

} // namespace kestrel
