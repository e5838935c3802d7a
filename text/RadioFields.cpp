#include "text/RadioFields.h"

#include "core/Band.h"
#include "core/Bits.h"
#include "core/ChannelDescription.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"
#include "link/EmbMsgText.h"
#include "settings/DtmfRules.h"
#include "settings/KeyRules.h"
#include "settings/ModelInfoRules.h"
#include "settings/OptFeaturesRules.h"
#include "settings/SettingsDescription.h"

#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace kestrel::text {

namespace {

const QStringList& EnglishTones() {
    static const QStringList tones = BuildToneTable(English);
    return tones;
}

// A list in words: short lists whole, long ones by their ends.
QString ItemsInWords(const QStringList& items) {
    if (items.size() <= 20)
        return items.join(QStringLiteral(", "));
    return items.mid(0, 3).join(QStringLiteral(", ")) + QStringLiteral(", ..., ") + items.last();
}

QString Quoted(const QString& value) { return QLatin1Char('"') + value + QLatin1Char('"'); }

bool Refuse(QString* error, const QString& why) {
    *error = why;
    return false;
}

// ---- selectors: a list position stored as a value in some bits of one byte -------------

int StoredValue(const MemoryImage& image, const TextField& f) {
    return GetField(image.byte(f.address), f.mask, f.shift);
}

// What the view shows for bytes outside its list: the describer's own text.
QString ViewText(const MemoryImage& image, const TextField& f) {
    ImageDescription d;
    if (f.section == OptFeaturesText::Caption(English))
        DescribeOptFeatures(image, English, d);
    else if (f.section == QLatin1String("DTMF"))
        DescribeDtmf(image, English, d);
    else if (f.section == LoadText(KeyText::KeyFunction, English))
        DescribeKeys(image, English, d);
    else if (f.section == LoadText(ModelInfoText::Caption, English))
        DescribeModelInfo(image, English, d);
    for (const DescribedField& x : d.fields())
        if (x.label == f.name)
            return x.text;
    return QString();
}

QString ReadSelector(const MemoryImage& image, const TextField& f, bool* canonical) {
    const int position = int(f.values.indexOf(StoredValue(image, f)));
    if (canonical)
        *canonical = position >= 0;
    if (position >= 0)
        return f.items.at(position);
    return canonical ? QString() : ViewText(image, f);
}

bool CheckSelector(const MemoryImage&, const TextField& f, const QString& value, QString* normalized,
                   QString* error) {
    for (const QString& item : f.items) {
        if (item.compare(value.trimmed(), Qt::CaseInsensitive) == 0) {
            *normalized = item;
            return true;
        }
    }
    return Refuse(error, Quoted(value) + QStringLiteral(" is not one of the values it takes"));
}

void WriteSelector(MemoryImage& image, const TextField& f, const QString& normalized) {
    const int value = f.values.value(f.items.indexOf(normalized));
    image.setByte(f.address, SetField(image.byte(f.address), f.mask, f.shift, value));
}

const FieldRules SelectorRules{ReadSelector, CheckSelector, WriteSelector};

// ---- channels ----------------------------------------------------------------------------

// The band the three band bytes decode to, asked for by every channel column: the
// answer for the last bytes is kept.
BandLimits ImageBand(const MemoryImage& image) {
    thread_local int lastKey = -1;
    thread_local BandLimits lastBand;
    const int key = image.byte(BandBytes::Lower) << 16 | image.byte(BandBytes::Upper) << 8 | image.byte(BandBytes::Units);
    if (key != lastKey) {
        lastBand = DecodeBandLimits(image);
        lastKey = key;
    }
    return lastBand;
}

// Asked for every column of a channel in turn: the answer for the last receive frequency
// and band bytes is kept.
bool ChannelInUse(const MemoryImage& image, int n) {
    thread_local quint64 lastKey = ~quint64(0);
    thread_local bool lastAnswer = false;
    quint64 key = 0;
    for (int i = 0; i < 4; ++i)
        key = (key << 8) | image.byte(n, ChannelByte::RxFrequency + i);
    for (Address a = BandBytes::Lower; a <= BandBytes::Units; ++a)
        key = (key << 8) | image.byte(a);
    if (key != lastKey) {
        lastAnswer = !ShowsAsEmpty(image, ImageBand(image), n);
        lastKey = key;
    }
    return lastAnswer;
}

// A frequency exactly as given: digits with at most five decimals, in the band, on the
// raster. Nothing is corrected.
bool StrictFrequency(const BandLimits& band, const QString& value, QString* normalized, QString* error) {
    const QString v = value.trimmed();
    const qsizetype point = v.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? v : v.left(point);
    const QString decimals = point < 0 ? QString() : v.mid(point + 1);
    auto digits = [](const QString& s) {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (whole.isEmpty() || whole.size() > 3 || decimals.size() > 5 || !digits(whole) || !digits(decimals))
        return Refuse(error, Quoted(value) + QStringLiteral(" is not a frequency in MHz with at most five decimals"));
    const qint64 tenHz = whole.toLongLong() * 100000 + decimals.leftJustified(5, u'0').toLongLong();
    const QString text = FrequencyTextOfTenHz(tenHz);
    if (tenHz < qint64(band.lower) * 100000 || tenHz >= qint64(band.upper) * 100000)
        return Refuse(error, QStringLiteral("%1 MHz is outside the band %2-%3 MHz")
                                 .arg(text).arg(band.lower).arg(band.upper));
    // On the raster: a whole number of 2.5 kHz or of 6.25 kHz steps (in 10 Hz units).
    if (tenHz % 250 != 0 && tenHz % 625 != 0)
        return Refuse(error, QStringLiteral("%1 MHz is not on the 2.5 kHz or 6.25 kHz raster (nearest: %2)")
                                 .arg(text, SnapToChannelStep(text)));
    *normalized = text;
    return true;
}

bool NeedsChannel(const MemoryImage& image, const TextField& f, QString* error) {
    if (ChannelInUse(image, f.index))
        return true;
    return Refuse(error, f.view + QStringLiteral(" is empty: give its RX Freq first"));
}

bool TransmitShown(const MemoryImage& image, int n) {
    return CheckFrequencyRange(ImageBand(image), DecodeFrequency(image, n, ChannelByte::TxFrequency)) == InBand;
}

// The record and the band bytes of `image` in a scratch image: the channel rules read
// nothing else, so a field can be tried there without copying the whole image.
MemoryImage& ChannelScratch(const MemoryImage& image, int n) {
    thread_local MemoryImage scratch;
    scratch.setLine(n, image.line(n));
    for (Address a = BandBytes::Lower; a <= BandBytes::Units; ++a)
        scratch.setByte(a, image.byte(a));
    return scratch;
}

// Whether storing `text` into the channel gives the bytes it has (byte 15, which the
// grid keeps for itself, left out).
bool Reproduces(const MemoryImage& image, const TextField& f, const QString& text) {
    MemoryImage& copy = ChannelScratch(image, f.index);
    f.rules->write(copy, f, text);
    const QByteArray before = image.line(f.index);
    const QByteArray after = copy.line(f.index);
    return std::equal(before.begin(), before.begin() + ChannelByte::Extra, after.begin());
}

// Valid in the band the image's own bytes show and in the table band its text names.
bool FrequencyCanonical(const MemoryImage& image, const QString& text) {
    const BandLimits shown = ImageBand(image);
    QString n, e;
    return StrictFrequency(shown, text, &n, &e) && n == text && StrictFrequency(BandOfIndex(shown.index), text, &n, &e);
}

QString ReadRx(const MemoryImage& image, const TextField& f, bool* canonical) {
    if (!ChannelInUse(image, f.index)) {
        if (canonical)
            *canonical = false;
        return QString();
    }
    const QString text = DecodeFrequency(image, f.index, ChannelByte::RxFrequency);
    if (canonical)
        *canonical = FrequencyCanonical(image, text) && Reproduces(image, f, text);
    return text;
}

bool CheckRx(const MemoryImage& image, const TextField&, const QString& value, QString* normalized,
             QString* error) {
    if (value.trimmed().isEmpty()) {
        normalized->clear();
        return true;
    }
    return StrictFrequency(ImageBand(image), value, normalized, error);
}

void WriteRx(MemoryImage& image, const TextField& f, const QString& text) {
    if (text.isEmpty())
        ClearChannel(image, f.index);
    else if (!ChannelInUse(image, f.index))
        CreateChannel(image, f.index, RowOfChannel(f.index), text);
    else
        EncodeFrequency(image, f.index, ChannelByte::RxFrequency, text);
}

QString ReadTx(const MemoryImage& image, const TextField& f, bool* canonical) {
    bool ignored = false;
    canonical = canonical ? canonical : &ignored;
    *canonical = false;
    if (!ChannelInUse(image, f.index))
        return QString();
    const QString text =
        TransmitShown(image, f.index) ? DecodeFrequency(image, f.index, ChannelByte::TxFrequency) : QString();
    *canonical = canonical != &ignored && (text.isEmpty() || FrequencyCanonical(image, text)) && Reproduces(image, f, text);
    return text;
}

bool CheckTx(const MemoryImage& image, const TextField& f, const QString& value, QString* normalized,
             QString* error) {
    if (!NeedsChannel(image, f, error))
        return false;
    if (value.trimmed().isEmpty()) {
        normalized->clear();
        return true;
    }
    return StrictFrequency(ImageBand(image), value, normalized, error);
}

void WriteTx(MemoryImage& image, const TextField& f, const QString& text) {
    if (text.isEmpty())
        ClearTransmit(image, f.index);
    else
        StoreTransmit(image, f.index, text);
}

int ToneOffset(const TextField& f) { return f.column == ColDecode ? DecodeToneOffset : EncodeToneOffset; }

QString ReadTone(const MemoryImage& image, const TextField& f, bool* canonical) {
    bool ignored = false;
    canonical = canonical ? canonical : &ignored;
    *canonical = false;
    if (!ChannelInUse(image, f.index))
        return QString();
    const int low = ToneLowPosition + ToneOffset(f);
    if (f.column == ColEncode && !TransmitShown(image, f.index)) {
        *canonical = image.byte(f.index, low) == 0xFF && image.byte(f.index, low + 1) == 0xFF;
        return QString();
    }
    const QString text = DecodeTone(EnglishTones(), image.byte(f.index, low), image.byte(f.index, low + 1));
    *canonical = canonical != &ignored && Reproduces(image, f, text);
    return text;
}

bool CheckTone(const MemoryImage& image, const TextField& f, const QString& value, QString* normalized,
               QString* error) {
    if (!NeedsChannel(image, f, error))
        return false;
    const QString v = value.trimmed();
    const bool transmit = TransmitShown(image, f.index);
    if (f.column == ColEncode && v.isEmpty() != !transmit)
        return Refuse(error, transmit ? QStringLiteral("a channel with a TX Freq has an Encode tone (None for none)")
                                      : QStringLiteral("a channel without a TX Freq has no Encode tone"));
    if (v.isEmpty()) {
        normalized->clear();
        return true;
    }
    const QStringList& tones = EnglishTones();
    // Written as the table writes it: found at once.
    static const QHash<QString, int> exact = [] {
        QHash<QString, int> h;
        for (int i = 0; i < EnglishTones().size(); ++i)
            h.insert(EnglishTones()[i], i);
        return h;
    }();
    if (const auto it = exact.constFind(v); it != exact.constEnd()) {
        *normalized = tones[it.value()];
        return true;
    }
    for (const QString& t : tones) {
        if (t.compare(v, Qt::CaseInsensitive) == 0) {
            *normalized = t;
            return true;
        }
    }
    // A QT tone written as a number ("67", "67.00") is that tone; nothing is rounded.
    bool number = false;
    const double hz = v.toDouble(&number);
    for (int i = FirstQtTone; number && i < FirstDqtNormal; ++i) {
        if (qAbs(tones[i].toDouble() - hz) < 1e-9) {
            *normalized = tones[i];
            return true;
        }
    }
    return Refuse(error, Quoted(value) + QStringLiteral(" is not a tone of the tone table"));
}

void WriteTone(MemoryImage& image, const TextField& f, const QString& text) {
    if (text.isEmpty()) {
        const int low = ToneLowPosition + ToneOffset(f);
        image.setByte(f.index, low, 0xFF);
        image.setByte(f.index, low + 1, 0xFF);
        return;
    }
    EncodeTone(image, f.index, text, ToneOffset(f));
}

QString ReadOption(const MemoryImage& image, const TextField& f, bool* canonical) {
    if (canonical)
        *canonical = false;
    if (!ChannelInUse(image, f.index))
        return QString();
    const QString text = ChannelOptionText(image, f.index, f.column, English);
    if (canonical)
        *canonical = Reproduces(image, f, text);
    return text;
}

bool CheckOption(const MemoryImage& image, const TextField& f, const QString& value, QString* normalized,
                 QString* error) {
    return NeedsChannel(image, f, error) && CheckSelector(image, f, value, normalized, error);
}

void WriteOption(MemoryImage& image, const TextField& f, const QString& text) {
    StoreChannelField(image, f.index, f.column, text, English);
}

const FieldRules RxRules{ReadRx, CheckRx, WriteRx};
const FieldRules TxRules{ReadTx, CheckTx, WriteTx};
const FieldRules ToneRules{ReadTone, CheckTone, WriteTone};
const FieldRules OptionRules{ReadOption, CheckOption, WriteOption};

// ---- channel bookkeeping: the valid and scan bitmaps --------------------------------------

QString ReadBitmap(const MemoryImage& image, const TextField& f, bool* canonical) {
    if (canonical)
        *canonical = true;
    return BitmapNumbersText(image, f.address);
}

// "1-5, 9, 12-16": numbers 1-256, single or as ranges, each at most once.
bool CheckBitmap(const MemoryImage&, const TextField&, const QString& value, QString* normalized, QString* error) {
    std::array<bool, BitmapNumbers + 1> set{};
    static const QRegularExpression part(QStringLiteral("^\\s*([0-9]{1,3})\\s*(?:-\\s*([0-9]{1,3})\\s*)?$"));
    const QString v = value.trimmed();
    for (const QString& p : v.isEmpty() ? QStringList() : v.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = part.match(p);
        if (!m.hasMatch())
            return Refuse(error, Quoted(p.trimmed()) + QStringLiteral(" is not a number or a range such as 1-16"));
        const int first = m.captured(1).toInt();
        const int last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
        if (first < 1 || last > BitmapNumbers || last < first)
            return Refuse(error, Quoted(p.trimmed()) + QStringLiteral(" is outside 1-256"));
        for (int n = first; n <= last; ++n)
            set[size_t(n)] = true;
    }
    MemoryImage scratch;
    for (int i = 0; i < 32; ++i)
        scratch.setByte(ValidBitmap + i, 0);
    for (int n = 1; n <= BitmapNumbers; ++n)
        if (set[size_t(n)])
            SetBitmapBit(scratch, ValidBitmap, n);
    *normalized = BitmapNumbersText(scratch, ValidBitmap);
    return true;
}

void WriteBitmap(MemoryImage& image, const TextField& f, const QString& normalized) {
    for (int i = 0; i < 32; ++i)
        image.setByte(f.address + i, 0);
    for (const QString& p : normalized.isEmpty() ? QStringList() : normalized.split(QLatin1Char(','))) {
        const QStringList ends = p.trimmed().split(QLatin1Char('-'));
        for (int x = ends.first().toInt(); x <= ends.last().toInt(); ++x)
            SetBitmapBit(image, f.address, x);
    }
}

const FieldRules BitmapRules{ReadBitmap, CheckBitmap, WriteBitmap};

// ---- DTMF codes ---------------------------------------------------------------------------

bool DigitsOnly(const TextField& f) { return f.address == DtmfMap::Ani; }

QString ReadCode(const MemoryImage& image, const TextField& f, bool* canonical) {
    const QString text = DigitsOnly(f) ? DecodeAni(image) : DecodeDtmfNumber(image, f.address, f.length);
    if (!canonical)
        return text;
    thread_local MemoryImage scratch;
    f.rules->write(scratch, f, text);
    *canonical = f.sharedWith.isEmpty();
    for (int i = 0; i < f.length && *canonical; ++i)
        *canonical = scratch.byte(f.address + i) == image.byte(f.address + i);
    return text;
}

bool CheckCode(const MemoryImage&, const TextField& f, const QString& value, QString* normalized, QString* error) {
    const QString v = value.trimmed();
    const QString keys = DtmfKeysOnly(v, DigitsOnly(f));
    if (keys.size() != v.size())
        return Refuse(error, Quoted(value) + QStringLiteral(" holds characters that are not ") +
                                 (DigitsOnly(f) ? QStringLiteral("digits") : QStringLiteral("DTMF keys")));
    if (keys.size() > f.length)
        return Refuse(error, QStringLiteral("%1 is longer than %2 keys").arg(Quoted(value)).arg(f.length));
    *normalized = keys;
    return true;
}

void WriteCode(MemoryImage& image, const TextField& f, const QString& keys) {
    if (DigitsOnly(f))
        EncodeAni(image, keys);
    else
        EncodeDtmfNumber(image, f.address, f.length, keys);
}

const FieldRules CodeRules{ReadCode, CheckCode, WriteCode};

// ---- embedded message lines ---------------------------------------------------------------

bool Printable(QChar c) { return embmsg::FitsLine(c) && c.isPrint(); }

QString ReadLine(const MemoryImage& image, const TextField& f, bool* canonical) {
    const QString text = embmsg::ReadText(image, f.index);
    if (canonical)
        *canonical = embmsg::TextLine(text) == image.line(f.index) &&
                 std::all_of(text.begin(), text.end(), Printable);
    return text;
}

bool CheckLine(const MemoryImage&, const TextField& f, const QString& value, QString* normalized, QString* error) {
    for (QChar c : value)
        if (!Printable(c))
            return Refuse(error, Quoted(value) + QStringLiteral(" holds a character a line cannot keep: ") +
                                     (c.isPrint() ? QString(c) : QStringLiteral("U+%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'))));
    if (value.size() > f.length)
        return Refuse(error, QStringLiteral("%1 is longer than %2 characters").arg(Quoted(value)).arg(f.length));
    *normalized = value;
    return true;
}

void WriteLine(MemoryImage& image, const TextField& f, const QString& text) { embmsg::StoreText(image, f.index, text); }

const FieldRules LineRules{ReadLine, CheckLine, WriteLine};

// ---- Levenshtein distance for suggestions -------------------------------------------------

int Distance(const QString& a, const QString& b) {
    std::vector<int> row(size_t(b.size() + 1));
    std::iota(row.begin(), row.end(), 0);
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int up = row[size_t(j)];
            row[size_t(j)] = std::min({up + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[size_t(b.size())];
}

QList<int> Range(int first, int count) {
    QList<int> v;
    for (int i = 0; i < count; ++i)
        v << first + i;
    return v;
}

} // namespace

QString PathKey(const QString& path) {
    // By hand rather than by regular expression: a text looks up every field it names.
    const QString lower = path.trimmed().toLower();
    QString key;
    key.reserve(lower.size());
    for (qsizetype i = 0; i < lower.size(); ++i) {
        const QChar c = lower.at(i);
        if (c.isSpace()) {
            qsizetype next = i;
            while (next < lower.size() && lower.at(next).isSpace())
                ++next;
            // Spaces before or after "/" go; a run of spaces elsewhere is one space.
            if (lower.at(next) != QLatin1Char('/') && !key.endsWith(QLatin1Char('/')))
                key += QLatin1Char(' ');
            i = next - 1;
            continue;
        }
        key += c;
    }
    return key;
}

QString ClosestWord(const QString& word, const QStringList& candidates) {
    QString best;
    int bestDistance = std::max<int>(3, int(word.size()) / 2) + 1;
    const QString w = word.toLower();
    for (const QString& c : candidates) {
        const int d = Distance(w, c.toLower());
        if (d < bestDistance) {
            bestDistance = d;
            best = c;
        }
    }
    return best;
}

FieldCatalogue::FieldCatalogue() {
    auto add = [this](TextField f) {
        f.order = int(m_fields.size());
        m_byKey.insert(PathKey(f.path()), f.order);
        m_byPath.insert(f.path(), f.order);
        m_fields.append(std::move(f));
    };
    auto selector = [](const QString& view, const QString& name, const QStringList& items, const QList<int>& values,
                       Address address, quint8 mask = 0xFF, int shift = 0) {
        TextField f;
        f.view = f.section = view;
        f.name = name;
        f.items = items;
        f.values = values;
        f.address = address;
        f.mask = mask;
        f.shift = shift;
        f.allowed = ItemsInWords(items);
        f.rules = &SelectorRules;
        return f;
    };

    // Channels, grid column order.
    const QString channels = QStringLiteral("Channels");
    for (int n = 0; n < ChannelCount; ++n) {
        for (int c = ColRxFreq; c <= ColTxInhibit; ++c) {
            TextField f;
            f.view = ChannelPlace(n, English);
            f.name = ChannelColumnHeader(c, English);
            f.section = channels;
            f.group = ChannelText::GroupLabel(English) + QLatin1Char(' ') + QString::number(GroupIndexOfChannel(n) + 1);
            f.index = n;
            f.column = c;
            switch (c) {
            case ColRxFreq:
            case ColTxFreq:
                f.rules = c == ColRxFreq ? &RxRules : &TxRules;
                f.allowed = QStringLiteral("MHz with five decimals inside the band on a 2.5 or 6.25 kHz step; ") +
                            (c == ColRxFreq ? QStringLiteral("empty clears the channel")
                                            : QStringLiteral("empty: no transmit"));
                break;
            case ColDecode:
            case ColEncode:
                f.rules = &ToneRules;
                f.allowed = QStringLiteral("None, a QT tone 67.0-254.1 or a DQT code D023N-D754I of the tone table");
                break;
            default:
                f.rules = &OptionRules;
                f.items = ChannelOptionList(c, English);
                f.allowed = ItemsInWords(f.items);
            }
            add(f);
        }
    }

    // Channel bookkeeping.
    const QString info = QStringLiteral("Channel Information");
    {
        QStringList rows;
        for (int r = 1; r <= RowsPerGroup; ++r)
            rows << QString::number(r);
        add(selector(info, QStringLiteral("Current Channel"), rows, Range(0, RowsPerGroup), CurrentChannelByte));
        for (const auto& [name, base] : {std::pair{QStringLiteral("Valid Channels"), ValidBitmap},
                                         std::pair{QStringLiteral("Scan Channels"), ScanBitmap}}) {
            TextField f;
            f.view = f.section = info;
            f.name = name;
            f.address = base;
            f.allowed = QStringLiteral("numbers 1-256 and ranges, such as 1-5, 9; empty for none");
            f.rules = &BitmapRules;
            add(f);
        }
        add(selector(info, ChannelText::GroupLabel(English), rows.mid(0, GroupCount), Range(0, GroupCount),
                     ShownGroupByte));
    }

    // Optional features.
    {
        namespace T = OptFeaturesText;
        namespace M = OptFeaturesMap;
        const QString v = T::Caption(English);
        const QStringList offOn = OffOnItems(English);
        add(selector(v, T::TimeOut(English), TimeOutItems(English), Range(0, 10), M::TimeOut));
        add(selector(v, T::Squelch(English), SquelchItems(), Range(0, 10), M::Squelch));
        add(selector(v, T::Beep(English), offOn, {0, 1}, M::Flags, M::Beep.mask, M::Beep.shift));
        add(selector(v, T::Voice(English), VoiceItems(English), Range(0, 3), M::Flags, M::Voice.mask, M::Voice.shift));
        add(selector(v, T::ScanMode(English), ScanModeItems(), Range(0, 3), M::Flags, M::ScanMode.mask,
                     M::ScanMode.shift));
        add(selector(v, T::BatterySave(English), offOn, {0, 1}, M::Flags, M::BatterySave.mask, M::BatterySave.shift));
        add(selector(v, T::ToneBurst(English), ToneBurstItems(), Range(0, 4), M::ToneBurst));
        // Ticked ("On") when the reset is prohibited: the bit then holds 0.
        add(selector(v, T::ResetProhibition(English), offOn, {1, 0}, M::Flags, M::ResetAllowed.mask,
                     M::ResetAllowed.shift));
        add(selector(v, T::VoxFunction(English), offOn, {0, 1}, M::Flags, M::Vox.mask, M::Vox.shift));
        add(selector(v, T::VoxGain(English), VoxGainItems(), Range(0, 9), M::VoxGain));
        add(selector(v, T::VoxDelay(English), VoxDelayItems(), Range(0, 6), M::VoxDelay));
    }

    // Keys.
    {
        const QString v = LoadText(KeyText::KeyFunction, English);
        const QString press = LoadText(KeyText::Press, English);
        const QString hold = LoadText(KeyText::Hold, English);
        const QStringList functions = KeyFunctionTexts(English);
        QStringList shortTexts;
        for (int code : ShortPressCodes())
            shortTexts << functions[code];
        const QList<int> shortCodes = ShortPressCodes();
        const QList<int> longCodes = LongPressCodes();
        add(selector(v, v + QStringLiteral("-1 ") + press, shortTexts, shortCodes, KeyMap::Side1Press));
        add(selector(v, v + QStringLiteral("-1 ") + hold, functions, longCodes, KeyMap::Side1Hold));
        add(selector(v, v + QStringLiteral("-2 ") + press, shortTexts, shortCodes, KeyMap::Side2Press));
        add(selector(v, v + QStringLiteral("-2 ") + hold, functions, longCodes, KeyMap::Side2Hold));
        add(selector(v, LoadText(KeyText::TopKey, English) + QLatin1Char(' ') + press, AlarmFunctionTexts(English),
                     Range(0, AlarmFunctionCount), KeyMap::TopKey));
        QList<int> durations;
        for (int p = 0; p < DurationCount; ++p)
            durations << DurationByte(p);
        add(selector(v, LoadText(KeyText::LongPress, English), DurationTexts(), durations, KeyMap::LongPress));
    }

    // DTMF.
    {
        namespace T = DtmfText;
        using namespace DtmfMap;
        const QString v = QStringLiteral("DTMF");
        add(selector(v, T::SideTone(English), SideToneItems(English), {0, 1}, SideTone, 1u << SideToneBit,
                     SideToneBit));
        add(selector(v, T::TxTime(English), TxTimeItems(), Range(5, 46), TxTime));
        add(selector(v, T::PreCarrier(English), PreCarrierItems(), Range(0, 256), PreCarrier));
        add(selector(v, T::EndCode(English), EndCodeItems(), Range(10, 6), EndCode));
        add(selector(v, T::GroupCode(English), GroupCodeItems(English), QList<int>{0xFF} + Range(10, 6), GroupCode));
        add(selector(v, T::AutoReset(English), AutoResetItems(English), Range(0, 256), AutoReset));
        auto code = [&](const QString& name, Address address, int length) {
            TextField f;
            f.view = f.section = v;
            f.name = name;
            f.address = address;
            f.length = length;
            f.rules = &CodeRules;
            f.allowed = address == Ani ? QStringLiteral("up to 3 digits")
                                       : QStringLiteral("up to %1 DTMF keys 0-9, A-D, *, #").arg(length);
            return f;
        };
        add(code(T::Ani(English), Ani, AniLength));
        add(code(T::Stun(English), Stun, StunLength));
        add(code(T::Kill(English), Kill, KillLength));
        add(code(T::Bot(English), Bot, BotLength));
        add(code(T::Eot(English), Eot, EotLength));
        for (int r = 0; r < CallEntryCount; ++r) {
            TextField f = code(T::CallList(English) + QLatin1Char(' ') + QString::number(r + 1), CallEntry(r),
                               CallEntryLength);
            if (CallEntrySharesChannelMemory(r))
                f.sharedWith = info;
            add(f);
        }
    }

    // Model information.
    add(selector(LoadText(ModelInfoText::Caption, English), LoadText(ModelInfoText::ModelType, English),
                 ModelTypeItems(), {ModelInfoMap::Vhf, ModelInfoMap::Uhf}, ModelInfoMap::ModelType));

    // The embedded message lines the image holds.
    for (const auto& [label, line] : {std::pair{embmsg::LabelTexts[0], embmsg::EsnLine},
                                      std::pair{embmsg::LabelTexts[2], embmsg::HardwareLine}}) {
        TextField f;
        f.view = f.section = embmsg::CaptionText(English);
        f.name = label(English);
        f.index = line;
        f.length = embmsg::TextLength;
        f.allowed = QStringLiteral("up to 16 printable characters (Latin-1)");
        f.rules = &LineRules;
        add(f);
    }
}

const FieldCatalogue& FieldCatalogue::instance() {
    static const FieldCatalogue catalogue;
    return catalogue;
}

const TextField* FieldCatalogue::findExact(const QString& view, const QString& name) const {
    const auto it = m_byPath.constFind(view + QStringLiteral(" / ") + name);
    return it == m_byPath.constEnd() ? nullptr : &m_fields[it.value()];
}

const TextField* FieldCatalogue::find(const QString& path) const {
    const auto it = m_byKey.constFind(PathKey(path));
    return it == m_byKey.constEnd() ? nullptr : &m_fields[it.value()];
}

QString FieldCatalogue::closestPath(const QString& path) const {
    // Channel paths differ only in their number: suggest among one channel's and the
    // settings' paths, then put the number back.
    static const QRegularExpression channel(QStringLiteral("^\\s*channel\\s*([0-9]+)\\s*/"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = channel.match(path);
    QStringList candidates;
    for (const TextField& f : m_fields)
        if (f.column == 0 || f.index == 0)
            candidates << f.path();
    if (m.hasMatch()) {
        const QString name = path.mid(path.indexOf(QLatin1Char('/')) + 1).trimmed();
        QStringList names;
        for (int c = ColRxFreq; c <= ColTxInhibit; ++c)
            names << ChannelColumnHeader(c, English);
        const QString best = ClosestWord(name, names);
        return best.isEmpty() ? QString()
                              : ChannelPlace(qBound(0, m.captured(1).toInt() - 1, ChannelCount - 1), English) +
                                    QStringLiteral(" / ") + best;
    }
    return ClosestWord(path, candidates);
}

const TextField* FieldCatalogue::channelField(int index, int column) const {
    if (!IsChannelIndex(index) || column < ColRxFreq || column > ColTxInhibit)
        return nullptr;
    return &m_fields[index * (ColTxInhibit - ColRxFreq + 1) + column - ColRxFreq];
}

QString ReadField(const MemoryImage& image, const TextField& field, bool* canonical) {
    return field.rules->read(image, field, canonical);
}

QString FieldError::text() const {
    return line > 0 ? QStringLiteral("%1:%2: %3").arg(line).arg(column).arg(message) : message;
}

QString SharedRefusal(const TextField& field) {
    return field.path() + QStringLiteral(" shares its bytes with ") + field.sharedWith +
           QStringLiteral(" (the current channel and the valid and scan channel lists): those fields hold them, "
                          "so this entry cannot be set");
}

bool SetFields(MemoryImage& image, QList<FieldAssignment> assignments, QList<FieldError>* errors) {
    std::stable_sort(assignments.begin(), assignments.end(),
                     [](const FieldAssignment& a, const FieldAssignment& b) { return a.field->order < b.field->order; });
    MemoryImage work = image;
    QList<FieldError> found;
    for (const FieldAssignment& a : assignments) {
        const TextField& f = *a.field;
        QString normalized, error;
        if (!f.sharedWith.isEmpty()) {
            found.append({a.line, a.column, SharedRefusal(f)});
            continue;
        }
        if (!f.rules->check(work, f, a.value, &normalized, &error)) {
            found.append({a.line, a.column,
                          f.path() + QStringLiteral(": ") + error + QStringLiteral("; allowed: ") + f.allowed});
            continue;
        }
        f.rules->write(work, f, normalized);
    }
    if (errors)
        *errors = found;
    if (!found.isEmpty())
        return false;
    image.setBytes(work.bytes());
    return true;
}

bool ParseAssignment(const QString& text, FieldAssignment* assignment, QString* error) {
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq < 0) {
        *error = Quoted(text) + QStringLiteral(" is not PATH=VALUE, such as \"Optional Features / Squelch Level=5\"");
        return false;
    }
    const QString path = text.left(eq);
    const FieldCatalogue& catalogue = FieldCatalogue::instance();
    const TextField* field = catalogue.find(path);
    if (!field) {
        const QString closest = catalogue.closestPath(path);
        *error = QStringLiteral("no field is called ") + Quoted(path.trimmed()) +
                 (closest.isEmpty() ? QString() : QStringLiteral("; did you mean ") + Quoted(closest) + QLatin1Char('?'));
        return false;
    }
    if (!field->sharedWith.isEmpty()) {
        *error = SharedRefusal(*field);
        return false;
    }
    assignment->field = field;
    assignment->value = text.mid(eq + 1);
    return true;
}

} // namespace kestrel::text
