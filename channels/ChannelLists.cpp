#include "channels/ChannelLists.h"

#include "channels/ChannelCsv.h"
#include "channels/ChirpCsv.h"
#include "channels/CsvText.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>

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

} // namespace

std::optional<ListFormat> ListFormatOfName(const QString& name) {
    if (name.compare(QLatin1String("kestrel"), Qt::CaseInsensitive) == 0)
        return ListFormat::Kestrel;
    if (name.compare(QLatin1String("chirp"), Qt::CaseInsensitive) == 0)
        return ListFormat::Chirp;
    return std::nullopt;
}

ImportReport ImportChannelList(MemoryImage& image, const QByteArray& data, ListFormat format) {
    ImportReport report;
    const QList<CsvRecord> records = ReadCsvRecords(QString::fromUtf8(data));
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
            Refuse(report, header.line, KestrelHeaderWanted);
            break;
        }
        ReadKestrelCsv(image, records, report);
        break;
    case ListFormat::Chirp:
        if (!IsChirpHeader(header.cells)) {
            Refuse(report, header.line, ChirpHeaderWanted);
            break;
        }
        ReadChirpCsv(image, records, report);
        break;
    case ListFormat::Auto:
        Refuse(
            report, header.line,
            {QStringLiteral("not a channel list: the first line is neither the header of a Kestrel list "
                            "(Group,CH,RX Freq,...) nor that of a CHIRP list (Location,Name,Frequency,...)"),
             QStringLiteral("不是信道列表：第一行既不是 Kestrel 信道列表的标题行（Group,CH,RX Freq,...），"
                            "也不是 CHIRP 信道列表的标题行（Location,Name,Frequency,...）")});
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
