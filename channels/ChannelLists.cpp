#include "channels/ChannelLists.h"

#include "channels/ChannelCsv.h"
#include "channels/ChirpCsv.h"
#include "channels/CsvText.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

namespace kestrel {

namespace {

void Refuse(ImportReport& report, int line, const BilingualText& why) {
    report.add(ListNote::Refused, line, -1, why);
}

const BilingualText KestrelHeaderWanted{
    QStringLiteral("the first line is not the header of a Kestrel list "
                   "(Group,CH,RX Freq,...)"),
    QStringLiteral("第一行不是 Kestrel 信道列表的标题行（Group,CH,RX Freq,...）")};
const BilingualText ChirpHeaderWanted{
    QStringLiteral("the first line is not the header of a CHIRP list "
                   "(Location,Name,Frequency,...)"),
    QStringLiteral("第一行不是 CHIRP 信道列表的标题行（Location,Name,Frequency,...）")};

const BilingualText SeparatorsTried{QStringLiteral("; separators tried: comma, semicolon and tab"),
                                   QStringLiteral("；已尝试的分隔符：逗号、分号和制表符")};

BilingualText WithSeparatorsTried(const BilingualText& why) {
    return {why(English) + SeparatorsTried(English), why(Chinese) + SeparatorsTried(Chinese)};
}

// Offset of the first byte of `data` that is not part of well-formed UTF-8; -1 when
// there is none.
qsizetype FirstBadUtf8(const QByteArray& data) {
    const qsizetype n = data.size();
    qsizetype i = 0;
    while (i < n) {
        const auto c = quint8(data.at(i));
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        quint32 code = 0;
        quint32 lowest = 0;
        if ((c & 0xE0) == 0xC0) {
            length = 2, code = c & 0x1F, lowest = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, code = c & 0x0F, lowest = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, code = c & 0x07, lowest = 0x10000;
        } else {
            return i;
        }
        if (i + length > n)
            return i;
        for (int k = 1; k < length; ++k) {
            const auto b = quint8(data.at(i + k));
            if ((b & 0xC0) != 0x80)
                return i;
            code = (code << 6) | (b & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += length;
    }
    return -1;
}

// Offset (after the byte-order mark) of the first UTF-16 unit that is not well-formed:
// half a unit at the end, or a surrogate without its pair; -1 when there is none.
qsizetype FirstBadUtf16(const QByteArray& data, bool littleEndian) {
    const qsizetype units = data.size() / 2;
    const auto unit = [&](qsizetype k) {
        const auto a = quint8(data.at(2 * k));
        const auto b = quint8(data.at(2 * k + 1));
        return littleEndian ? quint16(a | (b << 8)) : quint16((a << 8) | b);
    };
    for (qsizetype k = 0; k < units; ++k) {
        const quint16 u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF)
            ++k;
        else if (u >= 0xD800 && u <= 0xDFFF)
            return 2 * k;
    }
    return data.size() % 2 ? data.size() - 1 : -1;
}

// The text of a file: UTF-8 (with or without byte-order mark), UTF-16 with its mark, or
// GB18030 when the bytes are not UTF-8 but are GB18030 throughout. Nothing, with the
// reason in `report`, for anything else.
std::optional<QString> DecodeList(const QByteArray& data, ImportReport& report) {
    const bool little = data.startsWith("\xFF\xFE");
    if (little || data.startsWith("\xFE\xFF")) {
        const QByteArray body = data.mid(2);
        const qsizetype bad = FirstBadUtf16(body, little);
        const QString name = little ? QStringLiteral("UTF-16 LE") : QStringLiteral("UTF-16 BE");
        if (bad >= 0) {
            Refuse(report, 0,
                   {QStringLiteral("the file starts as %1 text, but the bytes at offset %2 cannot be read as %1")
                        .arg(name)
                        .arg(bad + 2),
                    QStringLiteral("文件以 %1 文本开头，但偏移 %2 处的字节无法按 %1 读取").arg(name).arg(bad + 2)});
            return std::nullopt;
        }
        QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return QString(decoder.decode(body));
    }
    const qsizetype bad = FirstBadUtf8(data);
    if (bad < 0)
        return QString::fromUtf8(data);
    QStringDecoder gb("GB18030");
    if (gb.isValid()) {
        const QString text = gb.decode(data);
        if (!gb.hasError()) {
            report.add(ListNote::Read, 0, -1,
                       {QStringLiteral("Read as GB18030 (the file is not UTF-8)."),
                        QStringLiteral("已按 GB18030 读取（文件不是 UTF-8）。")});
            return text;
        }
    }
    const QString byte =
        QStringLiteral("0x") + QString::number(quint8(data.at(bad)), 16).toUpper().rightJustified(2, QLatin1Char('0'));
    Refuse(report, 0,
           {QStringLiteral("the file is neither UTF-8 nor GB18030 text: the byte at offset %1 (%2) cannot be "
                           "read as UTF-8")
                .arg(bad)
                .arg(byte),
            QStringLiteral("文件既不是 UTF-8 也不是 GB18030 文本：偏移 %1 处的字节（%2）无法按 UTF-8 读取")
                .arg(bad)
                .arg(byte)});
    return std::nullopt;
}

// A number with one comma and no point, as lists of some locales write it.
void TakeDecimalCommas(QList<CsvRecord>& records) {
    static const QRegularExpression comma(QStringLiteral("^[+-]?([0-9]+,[0-9]*|,[0-9]+)$"));
    for (qsizetype r = 1; r < records.size(); ++r)
        for (QString& cell : records[r].cells)
            if (comma.match(cell.trimmed()).hasMatch())
                cell.replace(QLatin1Char(','), QLatin1Char('.'));
}

bool HeaderOf(ListFormat format, const QStringList& cells) {
    switch (format) {
    case ListFormat::Kestrel:
        return IsKestrelHeader(cells);
    case ListFormat::Chirp:
        return IsChirpHeader(cells);
    case ListFormat::Auto:
        break;
    }
    return IsKestrelHeader(cells) || IsChirpHeader(cells);
}

} // namespace

std::optional<QString> DecodeListText(const QByteArray& data, ImportReport& report) {
    return DecodeList(data, report);
}

std::optional<ListFormat> ListFormatOfName(const QString& name) {
    if (name.compare(QLatin1String("kestrel"), Qt::CaseInsensitive) == 0)
        return ListFormat::Kestrel;
    if (name.compare(QLatin1String("chirp"), Qt::CaseInsensitive) == 0)
        return ListFormat::Chirp;
    return std::nullopt;
}

ImportReport ImportChannelList(MemoryImage& image, const QByteArray& data, ListFormat format) {
    ImportReport report;
    const std::optional<QString> text = DecodeList(data, report);
    if (!text)
        return report;
    // The separator is the one that makes the first line a header.
    QChar separator = QLatin1Char(',');
    for (const QChar candidate : {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')}) {
        const QList<CsvRecord> first = ReadCsvRecords(*text, candidate, 1);
        if (!first.isEmpty() && first.first().error.isEmpty() && HeaderOf(format, first.first().cells)) {
            separator = candidate;
            break;
        }
    }
    QList<CsvRecord> records = ReadCsvRecords(*text, separator);
    if (separator != QLatin1Char(','))
        TakeDecimalCommas(records);
    if (records.isEmpty()) {
        Refuse(report, 0,
               {QStringLiteral("the file holds no channel list"), QStringLiteral("文件中没有信道列表")});
        return report;
    }
    const CsvRecord& header = records.first();
    if (!header.error.isEmpty()) {
        Refuse(report, header.line, header.error);
        return report;
    }
    if (format == ListFormat::Auto) {
        if (IsChirpHeader(header.cells))
            format = ListFormat::Chirp;
        else if (IsKestrelHeader(header.cells))
            format = ListFormat::Kestrel;
    }
    switch (format) {
    case ListFormat::Kestrel:
        if (!IsKestrelHeader(header.cells)) {
            Refuse(report, header.line, WithSeparatorsTried(KestrelHeaderWanted));
            break;
        }
        ReadKestrelCsv(image, records, report);
        break;
    case ListFormat::Chirp:
        if (!IsChirpHeader(header.cells)) {
            Refuse(report, header.line, WithSeparatorsTried(ChirpHeaderWanted));
            break;
        }
        ReadChirpCsv(image, records, report);
        break;
    case ListFormat::Auto:
        Refuse(report, header.line,
               WithSeparatorsTried(
                   {QStringLiteral("not a channel list: the first line is neither the header of a Kestrel list "
                                   "(Group,CH,RX Freq,...) nor that of a CHIRP list (Location,Name,Frequency,...)"),
                    QStringLiteral("不是信道列表：第一行既不是 Kestrel 信道列表的标题行（Group,CH,RX Freq,...），"
                                   "也不是 CHIRP 信道列表的标题行（Location,Name,Frequency,...）")}));
        break;
    }
    return report;
}

ImportReport ImportChannelListFile(MemoryImage& image, const QString& fileName, ListFormat format) {
    QFile file(fileName);
    const QString shown = QDir::toNativeSeparators(fileName);
    ImportReport report;
    if (IsSpecialFile(fileName)) {
        // Opening a FIFO would wait for a writer; a device would never end.
        Refuse(report, 0, {NotRegularFileText(fileName, English), NotRegularFileText(fileName, Chinese)});
        return report;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        Refuse(report, 0,
               {QStringLiteral("cannot open %1: %2").arg(shown, file.errorString()),
                QStringLiteral("无法打开 %1：%2").arg(shown, file.errorString())});
        return report;
    }
    if (file.size() > MaxChannelListBytes) {
        Refuse(report, 0,
               {QStringLiteral("%1 is too large for a channel list").arg(shown),
                QStringLiteral("%1 太大，不是信道列表").arg(shown)});
        return report;
    }
    const QByteArray data = file.read(MaxChannelListBytes + 1);
    if (file.error() != QFileDevice::NoError || data.size() > MaxChannelListBytes) {
        Refuse(report, 0,
               {QStringLiteral("cannot read %1: %2").arg(shown, file.errorString()),
                QStringLiteral("无法读取 %1：%2").arg(shown, file.errorString())});
        return report;
    }
    return ImportChannelList(image, data, format);
}

QByteArray ExportChannelList(const MemoryImage& image, ListFormat format, Language language) {
    if (format == ListFormat::Chirp)
        return ChirpCsvText(image).toUtf8();
    return KestrelCsvText(image, language).toUtf8();
}

QList<BilingualText> ExportNotes(const MemoryImage& image, ListFormat format) {
    return format == ListFormat::Chirp ? ChirpExportNotes(image) : QList<BilingualText>();
}

int ChannelsInUse(const MemoryImage& image) {
    const BandLimits band = DecodeBandLimits(image);
    int count = 0;
    for (int n = 0; n < ChannelCount; ++n)
        count += ShowsAsEmpty(image, band, n) ? 0 : 1;
    return count;
}

bool WriteChannelListFile(const QString& fileName, const QByteArray& data, QString* reason) {
    return WriteFileAtomically(fileName, data, reason);
}

} // namespace kestrel
