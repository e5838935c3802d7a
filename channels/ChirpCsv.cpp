#include "channels/ChirpCsv.h"

#include "channels/ChannelCsv.h"
#include "channels/ChannelPaste.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Numbers.h"
#include "core/Tone.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <optional>

namespace kestrel {

namespace {

// Where a tone mode takes a channel's encode (TX) and decode (RX) tone from.
enum class Source { None, RTone, CTone, Dtcs, RxDtcs };

struct ToneWay {
    const char* tone;  // the Tone column
    const char* cross; // the CrossMode column ("" unless tone is Cross)
    Source encode;
    Source decode;
};

// In the order export tries them: the first that gives both tones back is written.
constexpr ToneWay ToneWays[] = {
    {"", "", Source::None, Source::None},
    {"Tone", "", Source::RTone, Source::None},
    {"TSQL", "", Source::CTone, Source::CTone},
    {"DTCS", "", Source::Dtcs, Source::Dtcs},
    {"Cross", "Tone->Tone", Source::RTone, Source::CTone},
    {"Cross", "Tone->DTCS", Source::RTone, Source::RxDtcs},
    {"Cross", "DTCS->Tone", Source::Dtcs, Source::CTone},
    {"Cross", "DTCS->DTCS", Source::Dtcs, Source::RxDtcs},
    {"Cross", "->Tone", Source::None, Source::CTone},
    {"Cross", "->DTCS", Source::None, Source::RxDtcs},
    {"Cross", "Tone->", Source::RTone, Source::None},
    {"Cross", "DTCS->", Source::Dtcs, Source::None},
};

// The tone columns of a row, with the values unused columns hold.
struct ToneColumns {
    QString tone;
    QString rTone = QStringLiteral("88.5");
    QString cTone = QStringLiteral("88.5");
    QString dtcs = QStringLiteral("023");
    QString polarity = QStringLiteral("NN");
    QString rxDtcs = QStringLiteral("023");
    QString cross = QStringLiteral("Tone->Tone");
};

constexpr qint64 HzPerTenHz = 10;
constexpr qint64 MaxDuplexOffsetHz = 70'000'000; // farther apart TX is written as "split"

bool IsQt(const QString& tone) {
    return !tone.isEmpty() && tone.front().isDigit();
}
bool IsDqt(const QString& tone) {
    return tone.size() == 5 && tone.startsWith(QLatin1Char('D'));
}

// MHz with six decimals from Hz ("146.520000").
QString MhzText(qint64 hz) {
    const QString sign = hz < 0 ? QStringLiteral("-") : QString();
    hz = qAbs(hz);
    return QStringLiteral("%1%2.%3")
        .arg(sign)
        .arg(hz / 1'000'000)
        .arg(hz % 1'000'000, 6, 10, QLatin1Char('0'));
}

// Hz of a frequency in MHz; nothing for text that is not a number or is negative.
std::optional<qint64> HzOf(const QString& text) {
    bool ok = false;
    const double mhz = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(mhz) || mhz < 0 || mhz > 1e6)
        return std::nullopt;
    return qint64(std::llround(mhz * 1e6));
}

// 10 Hz units of a frequency text of the grid ("146.52500").
qint64 TenHzOf(const QString& text) {
    return RoundHalfAway(LeadingNumber(text) * 100000.0);
}

// Fills the columns of `source` for side `side` (0 TX, 1 RX) so that it reads back as
// `tone`; false when this source cannot give that tone or contradicts the other side.
bool Fill(Source source, const QString& tone, int side, ToneColumns& t, bool& rToneSet, bool& cToneSet,
          bool& dtcsSet) {
    const auto setOnce = [&](QString& column, bool& set, const QString& value) {
        if (set && column != value)
            return false;
        column = value;
        set = true;
        return true;
    };
    switch (source) {
    case Source::None:
        return tone.isEmpty();
    case Source::RTone:
        return IsQt(tone) && setOnce(t.rTone, rToneSet, tone);
    case Source::CTone:
        return IsQt(tone) && setOnce(t.cTone, cToneSet, tone);
    case Source::Dtcs:
    case Source::RxDtcs: {
        if (!IsDqt(tone))
            return false;
        bool rxSet = false;
        if (source == Source::Dtcs ? !setOnce(t.dtcs, dtcsSet, tone.mid(1, 3))
                                   : !setOnce(t.rxDtcs, rxSet, tone.mid(1, 3)))
            return false;
        t.polarity[side] = tone.endsWith(QLatin1Char('I')) ? QLatin1Char('R') : QLatin1Char('N');
        return true;
    }
    }
    return false;
}

// The tone columns for a channel's encode and decode tone (table texts; empty for none).
ToneColumns ToneColumnsOf(const QString& encode, const QString& decode) {
    for (const ToneWay& way : ToneWays) {
        ToneColumns t;
        bool r = false;
        bool c = false;
        bool d = false;
        if (!Fill(way.encode, encode, 0, t, r, c, d) || !Fill(way.decode, decode, 1, t, r, c, d))
            continue;
        t.tone = QString::fromLatin1(way.tone);
        if (*way.cross)
            t.cross = QString::fromLatin1(way.cross);
        return t;
    }
    return {};
}

// Power in watts or a label: up to 1.5 W Low, up to 3 W Mid, anything else High.
QString PowerOf(const QString& cell) {
    const QString text = cell.trimmed();
    for (const auto& [labels, power] : {std::pair{QStringList{"low", "l"}, ChannelText::Low},
                                        std::pair{QStringList{"mid", "m"}, ChannelText::Mid}})
        if (labels.contains(text, Qt::CaseInsensitive))
            return power(English);
    static const QRegularExpression number(QStringLiteral("^(\\d+(?:\\.\\d*)?|\\.\\d+)\\s*(mw)?"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = number.match(text);
    if (m.hasMatch()) {
        double watts = m.captured(1).toDouble();
        if (!m.captured(2).isEmpty())
            watts /= 1000.0; // milliwatts
        if (watts <= 1.5)
            return ChannelText::Low(English);
        if (watts <= 3.0)
            return ChannelText::Mid(English);
    }
    return ChannelText::High(English);
}

QString PowerCell(const QString& shown) {
    if (shown == ChannelText::Low(English))
        return QStringLiteral("1.0W");
    if (shown == ChannelText::Mid(English))
        return QStringLiteral("2.0W");
    return QStringLiteral("5.0W");
}

// A DCS code as the tone table writes it: "D", three digits, N or I.
QString DqtText(const QString& code, QChar polarity) {
    QString digits = code.trimmed();
    bool allDigits = !digits.isEmpty();
    for (QChar c : std::as_const(digits))
        allDigits = allDigits && c.isDigit();
    if (allDigits) {
        while (digits.size() > 3 && digits.startsWith(QLatin1Char('0')))
            digits.remove(0, 1);
        digits = digits.rightJustified(3, QLatin1Char('0'));
    }
    return QLatin1Char('D') + digits + (polarity == QLatin1Char('R') ? QLatin1Char('I') : QLatin1Char('N'));
}

BilingualText Field(int column) {
    return {ChannelColumnHeader(column, English), ChannelColumnHeader(column, Chinese)};
}

// One data row of a CHIRP list, columns looked up by name.
class ChirpRow {
public:
    ChirpRow(const QHash<QString, int>& columns, const QStringList& cells)
        : m_columns(columns), m_cells(cells) {}

    // The trimmed cell, or `fallback` when the column is missing or the cell empty.
    QString cell(const char* name, const char* fallback = "") const {
        const int i = m_columns.value(QString::fromLatin1(name).toLower(), -1);
        const QString text = i >= 0 && i < m_cells.size() ? m_cells.at(i).trimmed() : QString();
        return text.isEmpty() ? QString::fromLatin1(fallback) : text;
    }
    // Whether the list has the column but this row leaves it empty.
    bool emptyCell(const char* name) const {
        const int i = m_columns.value(QString::fromLatin1(name).toLower(), -1);
        return i >= 0 && i < m_cells.size() && m_cells.at(i).trimmed().isEmpty();
    }

private:
    const QHash<QString, int>& m_columns;
    const QStringList& m_cells;
};

struct RowTones {
    QString encode;
    QString decode;
};

class ChirpReader {
public:
    ChirpReader(MemoryImage& image, ImportReport& report)
        : m_image(image), m_report(report), m_band(DecodeBandLimits(image)),
          m_tones(BuildToneTable(English)) {}

    void read(const QList<CsvRecord>& records) {
        const QStringList& header = records.first().cells;
        for (int i = 0; i < header.size(); ++i)
            m_columns.insert(header.at(i).trimmed().toLower(), i);
        for (int r = 1; r < records.size(); ++r)
            readRow(records.at(r), int(header.size()));
        if (m_names)
            m_report.add(ListNote::NotStored, 0, -1,
                         {QStringLiteral("channel names are not kept in the radio"),
                          QStringLiteral("对讲机不保存信道名称")});
        if (m_comments)
            m_report.add(
                ListNote::NotStored, 0, -1,
                {QStringLiteral("comments are not kept in the radio"), QStringLiteral("对讲机不保存备注")});
    }

private:
    void skip(int line, int channel, const BilingualText& why) {
        m_report.add(ListNote::Skipped, line, channel, why);
    }

    // `name` is needed but empty: CHIRP's default is taken, and said.
    void noteEmpty(const ChirpRow& row, int line, int channel, const char* name, const char* used) {
        if (!row.emptyCell(name))
            return;
        m_report.add(ListNote::Corrected, line, channel,
                     {QStringLiteral("%1 is empty; %2 is used.").arg(QLatin1String(name), QLatin1String(used)),
                      QStringLiteral("%1 为空，已使用 %2。").arg(QLatin1String(name), QLatin1String(used))});
    }

    QString bandText() const { return QStringLiteral("%1-%2 MHz").arg(m_band.lower).arg(m_band.upper); }

    // Whether `hz` lies in the band; a note for the row otherwise.
    bool inBand(int line, int channel, const char* what, const char* whatZh, qint64 hz) {
        if (CheckFrequencyRange(m_band, MhzText(hz)) == InBand)
            return true;
        skip(line, channel,
             {QStringLiteral("%1 %2 MHz is outside the band %3")
                  .arg(QLatin1String(what), MhzText(hz), bandText()),
              QStringLiteral("%1 %2 MHz 超出频段 %3")
                  .arg(QString::fromUtf8(whatZh), MhzText(hz), bandText())});
        return false;
    }

    // The frequency text the grid stores for `hz`; a correction note when it moved.
    QString snapped(int line, int channel, int column, qint64 hz) {
        const QString text = CorrectFrequency(m_band, MhzText(hz)).text;
        if (TenHzOf(text) * HzPerTenHz != hz)
            m_report.add(
                ListNote::Corrected, line, channel,
                {QStringLiteral("%1 MHz is off the channel raster; %2 is used").arg(MhzText(hz), text),
                 QStringLiteral("%1 MHz 不在信道步进上，已改为 %2").arg(MhzText(hz), text)},
                Field(column));
        return text;
    }

    // The encode and decode texts of the row's tone mode; nothing (with a note) when
    // the mode or the polarity cannot be read.
    std::optional<RowTones> tonesOf(const ChirpRow& row, int line, int channel) {
        const QString mode = row.cell("Tone");
        const QString cross = row.cell("CrossMode", "Tone->Tone");
        const ToneWay* way = nullptr;
        for (const ToneWay& w : ToneWays) {
            if (mode.compare(QLatin1String(w.tone), Qt::CaseInsensitive) != 0)
                continue;
            if (*w.cross && cross.compare(QLatin1String(w.cross), Qt::CaseInsensitive) != 0)
                continue;
            way = &w;
            break;
        }
        if (!way) {
            const bool isCross = mode.compare(QLatin1String("Cross"), Qt::CaseInsensitive) == 0;
            const QString what = isCross ? QStringLiteral("CrossMode \"%1\"").arg(cross)
                                         : QStringLiteral("tone mode \"%1\"").arg(mode);
            const QString whatZh = isCross ? QStringLiteral("交叉方式“%1”").arg(cross)
                                           : QStringLiteral("亚音方式“%1”").arg(mode);
            skip(line, channel,
                 {QStringLiteral("%1 cannot be stored").arg(what), QStringLiteral("%1无法保存").arg(whatZh)});
            return std::nullopt;
        }
        const QString polarity = row.cell("DtcsPolarity", "NN").toUpper();
        const bool dtcsUsed =
            way->encode == Source::Dtcs || way->decode == Source::Dtcs || way->decode == Source::RxDtcs;
        static const QRegularExpression twoLetters(QStringLiteral("^[NR][NR]$"));
        if (dtcsUsed && !twoLetters.match(polarity).hasMatch()) {
            skip(line, channel,
                 {QStringLiteral("DtcsPolarity \"%1\" is not NN, NR, RN or RR").arg(polarity),
                  QStringLiteral("DtcsPolarity“%1”不是 NN、NR、RN 或 RR").arg(polarity)});
            return std::nullopt;
        }
        if (dtcsUsed)
            noteEmpty(row, line, channel, "DtcsPolarity", "NN");
        const auto noteSource = [&](Source source) {
            switch (source) {
            case Source::RTone:
                return noteEmpty(row, line, channel, "rToneFreq", "88.5");
            case Source::CTone:
                return noteEmpty(row, line, channel, "cToneFreq", "88.5");
            case Source::Dtcs:
                return noteEmpty(row, line, channel, "DtcsCode", "023");
            case Source::RxDtcs:
                return noteEmpty(row, line, channel, "RxDtcsCode", "023");
            case Source::None:
                return;
            }
        };
        noteSource(way->encode);
        if (way->decode != way->encode) // one column for both sides is said once
            noteSource(way->decode);
        const auto text = [&](Source source, int side) {
            switch (source) {
            case Source::None:
                return ChannelText::NoTone(English);
            case Source::RTone:
                return row.cell("rToneFreq", "88.5");
            case Source::CTone:
                return row.cell("cToneFreq", "88.5");
            case Source::Dtcs:
                return DqtText(row.cell("DtcsCode", "023"), polarity.at(side));
            case Source::RxDtcs:
                return DqtText(row.cell("RxDtcsCode", "023"), polarity.at(side));
            }
            return QString();
        };
        return RowTones{text(way->encode, 0), text(way->decode, 1)};
    }

    void readRow(const CsvRecord& record, int width) {
        const int line = record.line;
        if (!record.error.isEmpty()) {
            skip(line, -1, record.error);
            return;
        }
        if (record.cells.size() < width) {
            skip(line, -1,
                 {CellCount(record.cells.size(), QStringLiteral("where the header has %1").arg(width)),
                  QStringLiteral("有 %1 个单元格，标题行有 %2 个").arg(record.cells.size()).arg(width)});
            return;
        }
        const ChirpRow row(m_columns, record.cells);
        const QString frequency = row.cell("Frequency");
        if (frequency.compare(QLatin1String("Frequency"), Qt::CaseInsensitive) == 0)
            return; // the header again, pasted by mistake
        m_report.noteExtraCells(line, record.cells, width, m_extraNoted);
        m_names = m_names || !row.cell("Name").isEmpty();
        m_comments = m_comments || !row.cell("Comment").isEmpty();

        const std::optional<qint64> rx = HzOf(frequency);
        const QString location = row.cell("Location");
        bool locationOk = false;
        const int channel = location.toInt(&locationOk);
        if (frequency.isEmpty()) {
            skip(line, locationOk && IsChannelIndex(channel) ? channel : -1,
                 {QStringLiteral("Frequency is empty; the row is skipped."),
                  QStringLiteral("Frequency 为空，已跳过该行。")});
            return;
        }
        if (rx && *rx == 0)
            return; // an empty memory
        if (!locationOk || !IsChannelIndex(channel)) {
            skip(line, -1,
                 {QStringLiteral("Location \"%1\" is not a channel (0-127)").arg(location),
                  QStringLiteral("Location“%1”不是信道（0-127）").arg(location)});
            return;
        }
        if (m_lineOfChannel.contains(channel)) {
            const int first = m_lineOfChannel.value(channel);
            skip(line, channel,
                 {QStringLiteral("Location %1 is already given on line %2").arg(channel).arg(first),
                  QStringLiteral("Location %1 已在第 %2 行给出").arg(channel).arg(first)});
            return;
        }
        m_lineOfChannel.insert(channel, line);
        if (!rx) {
            skip(line, channel,
                 {QStringLiteral("Frequency \"%1\" is not a frequency in MHz").arg(Echo(frequency)),
                  QStringLiteral("Frequency“%1”不是以 MHz 为单位的频率").arg(Echo(frequency))});
            return;
        }

        noteEmpty(row, line, channel, "Mode", "FM");
        const QString mode = row.cell("Mode", "FM");
        const bool narrow = mode.compare(QLatin1String("NFM"), Qt::CaseInsensitive) == 0;
        if (!narrow && mode.compare(QLatin1String("FM"), Qt::CaseInsensitive) != 0) {
            skip(line, channel,
                 {QStringLiteral("mode \"%1\" cannot be stored (only FM and NFM)").arg(mode),
                  QStringLiteral("模式“%1”无法保存（只能是 FM 或 NFM）").arg(mode)});
            return;
        }

        const QString duplex = row.cell("Duplex").toLower();
        const QString offsetText = row.cell("Offset", "0");
        const std::optional<qint64> offset = HzOf(offsetText);
        static const QStringList duplexes{QString(), QStringLiteral("+"), QStringLiteral("-"),
                                          QStringLiteral("split"), QStringLiteral("off")};
        if (!duplexes.contains(duplex)) {
            skip(line, channel,
                 {QStringLiteral("Duplex \"%1\" is not empty, +, -, split or off").arg(row.cell("Duplex")),
                  QStringLiteral("Duplex“%1”不是空、+、-、split 或 off").arg(row.cell("Duplex"))});
            return;
        }
        const bool offsetUsed =
            duplex == QLatin1String("+") || duplex == QLatin1String("-") || duplex == QLatin1String("split");
        if (offsetUsed && !offset) {
            skip(line, channel,
                 {QStringLiteral("Offset \"%1\" is not a frequency in MHz").arg(offsetText),
                  QStringLiteral("Offset“%1”不是以 MHz 为单位的频率").arg(offsetText)});
            return;
        }
        qint64 tx = *rx;
        if (duplex == QLatin1String("+"))
            tx = *rx + *offset;
        else if (duplex == QLatin1String("-"))
            tx = *rx - *offset;
        else if (duplex == QLatin1String("split"))
            tx = *offset;
        if (!inBand(line, channel, "RX", "接收频率", *rx) || !inBand(line, channel, "TX", "发射频率", tx))
            return;
        const std::optional<RowTones> tones = tonesOf(row, line, channel);
        if (!tones)
            return;

        QString scan;
        const QString skipCell = row.cell("Skip");
        if (skipCell.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0)
            scan = ChannelText::Del(English);
        else if (skipCell.isEmpty() || skipCell.compare(QLatin1String("P"), Qt::CaseInsensitive) == 0)
            scan = ChannelText::Add(English);
        else
            m_report.add(ListNote::NotTaken, line, channel,
                         {QStringLiteral("Skip \"%1\" is not S or P").arg(skipCell),
                          QStringLiteral("Skip“%1”不是 S 或 P").arg(skipCell)},
                         Field(ColScan));

        noteEmpty(row, line, channel, "Power", "5.0W");
        QStringList cells;
        for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
            cells << QString();
        const auto put = [&](int column, const QString& text) { cells[column - ColRxFreq] = text; };
        put(ColRxFreq, snapped(line, channel, ColRxFreq, *rx));
        put(ColTxFreq,
            tx == *rx ? CorrectFrequency(m_band, MhzText(tx)).text : snapped(line, channel, ColTxFreq, tx));
        put(ColDecode, tones->decode);
        put(ColEncode, tones->encode);
        put(ColBandwidth, (narrow ? ChannelText::Narrow : ChannelText::Wide)(English));
        put(ColScan, scan);
        put(ColTxPower, PowerOf(row.cell("Power")));
        put(ColTxInhibit, (duplex == QLatin1String("off") ? ChannelText::On : ChannelText::Off)(English));

        QList<CellNote> notes;
        const RowOutcome outcome = CommitRowTexts(m_image, m_band, English, m_tones, channel, ColRxFreq, cells, &notes);
        if (!outcome.refused && !outcome.skipped)
            ++m_report.rowsApplied;
        for (const CellNote& n : std::as_const(notes))
            m_report.addCellNote(line, n);
    }

    MemoryImage& m_image;
    ImportReport& m_report;
    const BandLimits m_band;
    const QStringList m_tones;
    QHash<QString, int> m_columns; // lower-case name -> cell
    QHash<int, int> m_lineOfChannel;
    bool m_names = false;
    bool m_comments = false;
    bool m_extraNoted = false; // cells past the header are reported once
};

} // namespace

QStringList ChirpHeader() {
    return {QStringLiteral("Location"),     QStringLiteral("Name"),       QStringLiteral("Frequency"),
            QStringLiteral("Duplex"),       QStringLiteral("Offset"),     QStringLiteral("Tone"),
            QStringLiteral("rToneFreq"),    QStringLiteral("cToneFreq"),  QStringLiteral("DtcsCode"),
            QStringLiteral("DtcsPolarity"), QStringLiteral("RxDtcsCode"), QStringLiteral("CrossMode"),
            QStringLiteral("Mode"),         QStringLiteral("TStep"),      QStringLiteral("Skip"),
            QStringLiteral("Power"),        QStringLiteral("Comment"),    QStringLiteral("URCALL"),
            QStringLiteral("RPT1CALL"),     QStringLiteral("RPT2CALL"),   QStringLiteral("DVCODE")};
}

QString ChirpCsvText(const MemoryImage& image) {
    const QString lineEnd = QStringLiteral("\r\n");
    MemoryImage copy = image; // showing cleans out-of-band records
    const BandLimits band = DecodeBandLimits(copy);
    const QStringList tones = BuildToneTable(English);
    const QString noTone = ChannelText::NoTone(English);
    QString out = CsvLine(ChirpHeader()) + lineEnd;
    for (int n = 0; n < ChannelCount; ++n) {
        const ChannelTexts row = ReadChannelForDisplay(copy, band, tones, English, n);
        if (row.isEmpty())
            continue;
        const qint64 rx = TenHzOf(row.cells[ColRxFreq]) * HzPerTenHz;
        const bool hasTx = !row.cells[ColTxFreq].isEmpty();
        const qint64 tx = hasTx ? TenHzOf(row.cells[ColTxFreq]) * HzPerTenHz : rx;
        QString duplex;
        qint64 offset = 0;
        if (!hasTx || row.cells[ColTxInhibit] == ChannelText::On(English)) {
            duplex = QStringLiteral("off");
        } else if (tx != rx && qAbs(tx - rx) <= MaxDuplexOffsetHz) {
            duplex = tx > rx ? QStringLiteral("+") : QStringLiteral("-");
            offset = qAbs(tx - rx);
        } else if (tx != rx) {
            duplex = QStringLiteral("split");
            offset = tx;
        }
        const auto toneOf = [&](int column) {
            const QString t = row.cells[column];
            return t == noTone ? QString() : t;
        };
        const ToneColumns t = ToneColumnsOf(hasTx ? toneOf(ColEncode) : QString(), toneOf(ColDecode));
        const bool narrow = row.cells[ColBandwidth] == ChannelText::Narrow(English);
        const bool onRaster = (rx / HzPerTenHz) % 250 == 0; // 2.5 kHz
        const QStringList cells{QString::number(n),
                                QString(),
                                MhzText(rx),
                                duplex,
                                MhzText(offset),
                                t.tone,
                                t.rTone,
                                t.cTone,
                                t.dtcs,
                                t.polarity,
                                t.rxDtcs,
                                t.cross,
                                narrow ? QStringLiteral("NFM") : QStringLiteral("FM"),
                                onRaster ? QStringLiteral("2.50") : QStringLiteral("6.25"),
                                row.cells[ColScan] == ChannelText::Del(English) ? QStringLiteral("S")
                                                                                : QString(),
                                PowerCell(row.cells[ColTxPower]),
                                QString(),
                                QString(),
                                QString(),
                                QString(),
                                QString()};
        out += CsvLine(cells) + lineEnd;
    }
    return out;
}

QList<BilingualText> ChirpExportNotes(const MemoryImage& image) {
    MemoryImage copy = image;
    const BandLimits band = DecodeBandLimits(copy);
    const QStringList tones = BuildToneTable(English);
    QList<BilingualText> notes;
    for (int n = 0; n < ChannelCount; ++n) {
        const ChannelTexts row = ReadChannelForDisplay(copy, band, tones, English, n);
        const QString tx = row.cells[ColTxFreq];
        if (row.isEmpty() || tx.isEmpty() || row.cells[ColTxInhibit] != ChannelText::On(English) ||
            TenHzOf(tx) == TenHzOf(row.cells[ColRxFreq]))
            continue;
        notes << BilingualText{QStringLiteral("Channel %1: TX frequency %2 is not kept by this format.").arg(n + 1).arg(tx),
                               QStringLiteral("信道 %1：此格式不保存发射频率 %2。").arg(n + 1).arg(tx)};
    }
    return notes;
}

bool IsChirpHeader(const QStringList& header) {
    bool location = false;
    bool frequency = false;
    for (const QString& cell : header) {
        location = location || cell.trimmed().compare(QLatin1String("Location"), Qt::CaseInsensitive) == 0;
        frequency = frequency || cell.trimmed().compare(QLatin1String("Frequency"), Qt::CaseInsensitive) == 0;
    }
    return location && frequency;
}

void ReadChirpCsv(MemoryImage& image, const QList<CsvRecord>& records, ImportReport& report) {
    report.format = ListFormat::Chirp;
    if (records.isEmpty())
        return;
    ChirpReader(image, report).read(records);
}

} // namespace kestrel
