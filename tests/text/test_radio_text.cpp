// The radio as text: any image exports and applies back to the same bytes, a partial
// text changes only what it names, and every refusal says where and why, writing nothing.
#include "tests/support/TestFiles.h"

#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/ImageCompare.h"
#include "text/RadioText.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::text;
using namespace kestrel::test;

namespace {

const DefaultImages& Defaults() {
    static const DefaultImages defaults({DefaultImageBytes(0), DefaultImageBytes(1), DefaultImageBytes(2)});
    return defaults;
}

MemoryImage Image(const QByteArray& bytes) {
    MemoryImage image;
    image.setBytes(bytes);
    return image;
}

QByteArray Export(const MemoryImage& image) {
    QByteArray text;
    QString error;
    EXPECT_TRUE(ExportRadioText(image, Defaults(), &text, &error)) << error.toStdString();
    return text;
}

QString Errors(const TextApplyResult& r) {
    QStringList lines;
    for (const FieldError& e : r.errors)
        lines << e.text();
    return lines.join(QLatin1Char('\n'));
}

// A programmed image of band `band`: about a quarter of the channels, on the raster with varied columns, then
// `flips` random bytes anywhere.
MemoryImage Programmed(QRandomGenerator& random, int band, int flips) {
    MemoryImage image = Image(DefaultImageBytes(band));
    const BandLimits limits = BandOfIndex(band);
    for (int n = 0; n < ChannelCount; ++n) {
        if (random.bounded(4) != 0)
            continue;
        const qint64 tenHz = qint64(limits.lower) * 100000 + qint64(random.bounded(limits.width * 400)) * 250;
        CreateChannel(image, n, RowOfChannel(n), FrequencyTextOfTenHz(tenHz));
        for (int b = ChannelByte::DecodeLow; b <= ChannelByte::Options3; ++b)
            if (random.bounded(2))
                image.setByte(n, b, quint8(random.bounded(256)));
    }
    for (int i = 0; i < flips; ++i)
        image.setByte(random.bounded(ImageSize), quint8(random.bounded(256)));
    return image;
}

void ExpectRoundTrip(const MemoryImage& image, const char* what) {
    const QByteArray text = Export(image);
    MemoryImage applied = Image(QByteArray(ImageSize, '\0'));
    TextApplyResult result;
    ASSERT_TRUE(ApplyRadioText(text, applied, Defaults(), &result)) << what << "\n" << Errors(result).toStdString();
    ASSERT_TRUE(result.whole);
    ASSERT_EQ(applied.bytes(), image.bytes()) << what << "\n" << text.toStdString();
}

} // namespace

TEST(RadioText, DefaultImagesExportWithoutRawBytesAndComeBackWhole) {
    for (int band = 0; band < BandCount; ++band) {
        const MemoryImage image = Image(DefaultImageBytes(band));
        const QByteArray text = Export(image);
        EXPECT_TRUE(text.startsWith("base: default  # a whole Kestrel image")) << text.toStdString();
        EXPECT_TRUE(text.contains(("band: " + BandText(band)).toUtf8()));
        EXPECT_FALSE(text.contains("raw:")) << text.toStdString();
        ExpectRoundTrip(image, "default image");
    }
}

TEST(RadioText, AnyImageComesBackByteForByte) {
    QRandomGenerator random(28);
    for (int i = 0; i < 1000; ++i) {
        MemoryImage image;
        switch (i % 4) {
        case 0: { // any bytes at all
            QByteArray bytes(ImageSize, '\0');
            for (char& b : bytes)
                b = char(random.bounded(256));
            image.setBytes(bytes);
            break;
        }
        case 1: // programmed and clean
            image = Programmed(random, i % 3, 0);
            break;
        default: // programmed, then damaged
            image = Programmed(random, i % 3, 1 + random.bounded(64));
        }
        ExpectRoundTrip(image, "random image");
        if (HasFatalFailure())
            return;
    }
}

TEST(RadioText, ProgrammedImageIsWrittenAsFields) {
    MemoryImage image = Image(DefaultImageBytes(0));
    CreateChannel(image, 36, RowOfChannel(36), QStringLiteral("146.52000"));
    StoreChannelField(image, 36, ColDecode, QStringLiteral("D023N"), English);
    const QByteArray text = Export(image);
    for (const char* line : {"  Group 3:\n    Channel 37:\n      RX Freq: 146.52000\n", "      Decode: D023N\n",
                             "      W/N: Wide\n", "Squelch Level: ", "ANI Code: \"", "Model Type: ",
                             "# Call List 9-16"})
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("Call List 9:"));
    EXPECT_FALSE(text.contains("raw:"));
}

TEST(RadioText, PartialTextChangesOnlyWhatItNames) {
    struct Case {
        const char* text;
        const char* path;
        const char* value;
    } cases[] = {
        {"Optional Features:\n  squelch level: 5\n", "Optional Features / Squelch Level", "5"},
        {"optional features: {beep: off}\n", "Optional Features / BEEP", "Off"},
        {"Key Function:\n  Key Function-1 Press: Channel Lock\n", "Key Function / Key Function-1 Press",
         "Channel Lock"},
        {"DTMF:\n  ANI Code: 123\n  Remotely Stun: \"#*ab1\"\n", "DTMF / Remotely Stun", "#*AB1"},
        {"DTMF:\n  Group Code: c\n", "DTMF / Group Code", "C"},
        {"Model Information:\n  Model Type: 400 - 470 MHz\n", "Model Information / Model Type", "400 - 470 MHz"},
        {"Embedded Message:\n  ESN: SN-0042\n", "Embedded Message / ESN", "SN-0042"},
        {"Channel Information:\n  Scan Channels: 1-3, 9\n", "Channel Information / Scan Channels", "1-3, 9"},
        {"Channels:\n  Channel 37:\n    RX Freq: 146.52\n", "Channel 37 / RX Freq", "146.52000"},
    };
    const MemoryImage before = Image(DefaultImageBytes(0));
    for (const Case& c : cases) {
        MemoryImage after = before;
        TextApplyResult result;
        ASSERT_TRUE(ApplyRadioText(c.text, after, Defaults(), &result)) << c.text << Errors(result).toStdString();
        EXPECT_FALSE(result.whole);
        const TextField* field = FieldCatalogue::instance().find(QString::fromUtf8(c.path));
        ASSERT_NE(field, nullptr) << c.path;
        EXPECT_EQ(ReadField(after, *field), QString::fromUtf8(c.value)) << c.text;
        // A new channel also takes its row's bits in the valid and scan lists, as typing it
        // does; DTMF shows those bytes as its call list entries 9-16.
        for (const ImageDifference& d : CompareImages(before, after, English)) {
            const bool bookkeeping = d.where == QLatin1String("Channel Information") ||
                                     (d.where == QLatin1String("DTMF") && d.label.startsWith(QLatin1String("Call List")));
            EXPECT_TRUE(d.where == field->view || bookkeeping) << c.text << d.line(English).toStdString();
        }
    }
}

TEST(RadioText, RefusalsSayWhereAndWhyAndWriteNothing) {
    struct Case {
        const char* text;
        int line, column;
        const char* says;
    } cases[] = {
        {"Optional Features:\n  Squelch Level: 12\n", 2, 18, "allowed: 0, 1, 2"},
        {"Optional Features:\n  Squelch Levl: 5\n", 2, 3, "did you mean \"Squelch Level\"?"},
        {"Optonal Features:\n  Squelch Level: 5\n", 1, 1, "did you mean \"Optional Features\"?"},
        {"Channels:\n  Channel 1:\n    RX Freq: 146.52100\n", 3, 14, "not on the 2.5 kHz or 6.25 kHz raster"},
        {"Channels:\n  Channel 1:\n    RX Freq: 446.00000\n", 3, 14, "outside the band 136-174"},
        {"Channels:\n  Channel 1:\n    W/N: Wide\n", 3, 10, "Channel 1 is empty"},
        {"Channels:\n  Group 2:\n    Channel 1: {RX Freq: 146.5}\n", 3, 5, "is in Group 1, not in Group 2"},
        {"Channels:\n  Channel 1:\n    RX Freq: 146.5\n    Decode: 67.1\n", 4, 13, "not a tone"},
        {"DTMF:\n  Call List 9: 123\n", 2, 3, "shares its bytes with Channel Information"},
        {"DTMF:\n  ANI Code: 12A\n", 2, 13, "not digits"},
        {"DTMF:\n  PTTID BOT: \"1234567890123456789012345\"\n", 2, 14, "longer than 24"},
        {"Embedded Message:\n  ESN: \"\\u4E2D\"\n", 2, 8, "cannot keep"},
        {"format: 2\n", 1, 9, "format \"2\""},
        {"base: mine\n", 1, 7, "allowed: default"},
        {"band: 100-200\n", 1, 7, "allowed: 136-174"},
        {"raw:\n  0x2000: FF\n", 2, 3, "not an address"},
        {"raw:\n  0x1FFF: FF FF\n", 2, 11, "past the end"},
        {"raw:\n  0x0010: GG\n", 2, 11, "not bytes in hex"},
        {"Optional Features: [1, 2]\n", 1, 20, "holds a list of fields"},
        {"Optional Features:\n  Squelch Level: [5]\n", 2, 18, "takes a single value"},
        {"Optional Features:\n  Squelch Level: 5\n   Beep: On\n", 3, 8, "not a readable YAML text"},
        {"Optional Features:\n  Squelch Level: 5\nDTMF:\n  Side Tone: Loud\n", 4, 14, "Side Tone"},
    };
    const MemoryImage before = Image(DefaultImageBytes(0));
    for (const Case& c : cases) {
        MemoryImage image = before;
        TextApplyResult result;
        EXPECT_FALSE(ApplyRadioText(c.text, image, Defaults(), &result)) << c.text;
        ASSERT_FALSE(result.errors.isEmpty()) << c.text;
        const FieldError& e = result.errors.first();
        EXPECT_TRUE(e.message.contains(QString::fromUtf8(c.says))) << c.text << e.text().toStdString();
        EXPECT_EQ(e.line, c.line) << c.text << e.text().toStdString();
        EXPECT_EQ(e.column, c.column) << c.text << e.text().toStdString();
        EXPECT_EQ(image.bytes(), before.bytes()) << c.text;
    }
}

TEST(RadioText, WholeTextStartsFromItsBandsDefaultImage) {
    MemoryImage image = Image(DefaultImageBytes(0));
    TextApplyResult result;
    ASSERT_TRUE(ApplyRadioText("base: default\nband: 400-470\n", image, Defaults(), &result)) << Errors(result).toStdString();
    EXPECT_EQ(image.bytes(), DefaultImageBytes(1));
    // A partial text for another band is refused; opened on its own it takes that band.
    image = Image(DefaultImageBytes(0));
    EXPECT_FALSE(ApplyRadioText("band: 400-470\nOptional Features: {Squelch Level: 1}\n", image, Defaults(), &result));
    EXPECT_EQ(image.bytes(), DefaultImageBytes(0));
    ASSERT_TRUE(LoadRadioText("band: 400-470\nOptional Features: {Squelch Level: 1}\n", image, Defaults(), &result));
    EXPECT_EQ(DecodeBandLimits(image).index, 1);
    EXPECT_EQ(ReadField(image, *FieldCatalogue::instance().find(QStringLiteral("optional features/squelch level"))),
              QStringLiteral("1"));
}

TEST(RadioFields, PathsMatchDiffAndSetFieldsRefusesAsAWhole) {
    const FieldCatalogue& catalogue = FieldCatalogue::instance();
    for (const char* path : {"Channel 37 / W/N", "channel 37/w/n", "CHANNEL 37 / w/n"})
        ASSERT_NE(catalogue.find(QString::fromUtf8(path)), nullptr) << path;
    EXPECT_EQ(catalogue.find(QStringLiteral("Channel 37 / W/N"))->index, 36);
    EXPECT_EQ(catalogue.closestPath(QStringLiteral("Channel 37 / RX Frq")), QStringLiteral("Channel 37 / RX Freq"));
    // Every path the comparison prints for a field is one the catalogue knows (or a shared one).
    ImageDescription d;
    for (Describer describe : ViewDescribers())
        describe(Image(DefaultImageBytes(0)), English, d);
    for (const DescribedField& f : d.fields()) {
        if (!f.label.isEmpty()) {
            EXPECT_NE(catalogue.find(f.where + QStringLiteral(" / ") + f.label), nullptr) << f.where.toStdString();
        }
    }

    MemoryImage image = Image(DefaultImageBytes(0));
    FieldAssignment good, bad;
    QString error;
    ASSERT_TRUE(ParseAssignment(QStringLiteral("Optional Features/Squelch Level=5"), &good, &error));
    ASSERT_TRUE(ParseAssignment(QStringLiteral("DTMF / Auto Reset Time[s]=0.05"), &bad, &error));
    QList<FieldError> errors;
    EXPECT_FALSE(SetFields(image, {good, bad}, &errors));
    EXPECT_EQ(image.bytes(), DefaultImageBytes(0));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].message.startsWith(QStringLiteral("DTMF / Auto Reset Time[s]: \"0.05\""))) << errors[0].text().toStdString();
    EXPECT_FALSE(ParseAssignment(QStringLiteral("DTMF / Call List 12=1"), &bad, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("shares its bytes"))) << error.toStdString();
    EXPECT_FALSE(ParseAssignment(QStringLiteral("Optional Features / Squelch=1"), &bad, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("did you mean \"Optional Features / Squelch Level\"?"))) << error.toStdString();
}
