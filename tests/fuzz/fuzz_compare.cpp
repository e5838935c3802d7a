// Compare on two images: an image compared with itself has no differences, two images
// that differ in any byte have at least one, and every differing byte is accounted for
// (by a field whose text differs or by a line of its own). The input is a list of
// edits followed by the first image: byte 0 counts the edits, three bytes each
// (address high and low byte, new value), the rest is the first image (padded with
// 0xFF or cut to 8192 bytes); the second image is the first with the edits.
#include "tests/fuzz/FuzzSupport.h"

#include "core/ChannelDescription.h"
#include "core/ChannelRecord.h"
#include "core/Tone.h"
#include "core/ImageCompare.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

using namespace kestrel;
using namespace kestrel::fuzz;

namespace {

MemoryImage ImageOf(const QByteArray& bytes) {
    MemoryImage image;
    const QByteArray cut = bytes.left(ImageSize);
    image.setBytes(cut + QByteArray(ImageSize - cut.size(), char(0xFF)));
    return image;
}

// The bits of each byte that some field with differing texts is read from, in either image.
std::array<quint8, ImageSize> FieldBits(const MemoryImage& a, const MemoryImage& b, Language language) {
    ImageDescription da, db;
    for (Describer describe : ViewDescribers()) {
        describe(a, language, da);
        describe(b, language, db);
    }
    Check(da.fields().size() == db.fields().size(), "two images have the same fields");
    std::array<quint8, ImageSize> bits{};
    for (int i = 0; i < da.fields().size(); ++i) {
        const DescribedField& fa = da.fields()[i];
        const DescribedField& fb = db.fields()[i];
        Check(fa.where == fb.where && fa.label == fb.label, "the fields of two images line up");
        if (fa.text == fb.text)
            continue;
        for (const ByteSpans* spans : {&fa.spans, &fb.spans})
            for (const ByteSpan& s : *spans)
                for (Address x = std::max(s.first, 0); x < s.first + s.count && x < ImageSize; ++x)
                    bits[size_t(x)] |= s.mask;
    }
    return bits;
}

using FieldLine = std::tuple<QString, QString, QString, QString>; // where, label, old, new

void CheckPair(const MemoryImage& a, const MemoryImage& b, Language language) {
    const QList<ImageDifference> ab = CompareImages(a, b, language);
    const bool equal = a.bytes() == b.bytes();
    Check(ab.isEmpty() == equal, "compare finds a difference exactly when a byte differs");
    if (equal)
        return;

    std::vector<FieldLine> fields;
    std::array<bool, ImageSize> raw{};
    for (const ImageDifference& d : ab) {
        if (d.kind == ImageDifference::Kind::Field) {
            Check(d.oldText != d.newText, "a field difference shows two texts");
            fields.emplace_back(d.where, d.label, d.oldText, d.newText);
            continue;
        }
        Check(d.address >= 0 && d.address < ImageSize, "a byte difference names a byte of the image");
        const quint8 x = a.byte(d.address);
        const quint8 y = b.byte(d.address);
        Check(x != y, "a byte difference is a differing byte");
        Check(d.oldText == HexByteText(x) && d.newText == HexByteText(y),
              "a byte difference shows both bytes");
        Check(!raw[size_t(d.address)], "a byte is listed once");
        raw[size_t(d.address)] = true;
        Check((d.kind == ImageDifference::Kind::Bytes) == d.where.isEmpty(), "an owned byte names its view");
    }
    Check(DifferenceLines(ab, language).size() == ab.size(), "one line per difference");

    // Every differing bit is shown: by a field read from it or as a byte of its own.
    const std::array<quint8, ImageSize> bits = FieldBits(a, b, language);
    for (Address x = 0; x < ImageSize; ++x) {
        const quint8 changed = a.byte(x) ^ b.byte(x);
        if (changed & ~bits[size_t(x)] && !raw[size_t(x)])
            Violated("every differing byte is accounted for", HexAddressText(x));
    }

    // The other way round: the same fields with their texts swapped, the same bytes.
    const QList<ImageDifference> ba = CompareImages(b, a, language);
    std::vector<FieldLine> back;
    std::array<bool, ImageSize> rawBack{};
    for (const ImageDifference& d : ba) {
        if (d.kind == ImageDifference::Kind::Field)
            back.emplace_back(d.where, d.label, d.newText, d.oldText);
        else
            rawBack[size_t(d.address)] = true;
    }
    std::sort(fields.begin(), fields.end());
    std::sort(back.begin(), back.end());
    Check(fields == back && raw == rawBack, "compare gives the same differences both ways");
}

// The comparison's channel fields are what the channel grid shows.
void CheckChannelTexts(const MemoryImage& image, Language language) {
    static const QStringList tones[2] = {BuildToneTable(English), BuildToneTable(Chinese)};
    ImageDescription description;
    DescribeChannels(image, language, description);
    const QList<DescribedField>& fields = description.fields();
    constexpr int PerChannel = ColTxInhibit - ColRxFreq + 1;
    Check(fields.size() == ChannelCount * PerChannel, "every channel field is described");
    MemoryImage shown = image;
    const BandLimits band = DecodeBandLimits(image);
    for (int n = 0; n < ChannelCount; ++n) {
        const ChannelTexts texts = ReadChannelForDisplay(shown, band, tones[language], language, n);
        for (int c = ColRxFreq; c <= ColTxInhibit; ++c)
            if (fields[n * PerChannel + c - ColRxFreq].text != texts.text(c))
                Violated("the comparison shows the grid's texts",
                         ChannelPlace(n, language) + QLatin1Char(' ') + ChannelColumnHeader(c, language));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The default images with no edits: each compared with itself.
    UseDefaultCorpus(argc, argv, DefaultImageSeeds(QByteArray(1, '\0')));
    QuietMessages(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const int edits = in.byte();
    std::vector<std::pair<Address, quint8>> changes;
    for (int i = 0; i < edits && in.remaining() >= 3; ++i) {
        const int hi = in.byte();
        const int lo = in.byte();
        changes.emplace_back(((hi << 8) | lo) % ImageSize, in.byte());
    }
    const MemoryImage a = ImageOf(in.rest());
    MemoryImage b = a;
    for (const auto& [address, value] : changes)
        b.setByte(address, value);
    const Language language = edits & 1 ? Chinese : English;
    Check(CompareImages(a, a, language).isEmpty(), "an image compared with itself has no differences");
    CheckPair(a, b, language);
    CheckChannelTexts(a, language);
    return 0;
}
