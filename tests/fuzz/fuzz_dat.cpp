// .dat files of any size and content: a file is taken only when it has exactly 8192
// bytes, and whatever an image holds, showing its channels and confirming each
// settings editor without a change keep to their own bytes (the memory map, which
// owns every byte, is checked once at start-up).
#include "tests/fuzz/FuzzSupport.h"

#include "core/Band.h"
#include "core/ChannelDescription.h"
#include "core/ChannelRecord.h"
#include "core/ImageDescription.h"
#include "core/Tone.h"
#include "link/EmbMsgText.h"
#include "settings/DtmfRules.h"
#include "settings/KeyRules.h"
#include "settings/MemoryMapModel.h"
#include "settings/ModelInfoRules.h"
#include "settings/OptFeaturesRules.h"

#include <array>
#include <cstring>
#include <functional>

using namespace kestrel;
using namespace kestrel::fuzz;

namespace {

constexpr Language Languages[] = {English, Chinese};

const QStringList& Tones(Language language) {
    static const QStringList tables[2] = {BuildToneTable(English), BuildToneTable(Chinese)};
    return tables[language];
}

// Bits of the image an editor may write, by address.
using Bytes = std::array<quint8, ImageSize>;
void Own(Bytes& bytes, Address first, int count, quint8 mask = 0xFF) {
    for (Address a = first; a < first + count; ++a)
        bytes[size_t(a)] |= mask;
}

// The first address where bits differ that the mask does not cover; empty when none.
QString Trespass(const MemoryImage& before, const MemoryImage& after, const Bytes& own) {
    const char* x = before.bytes().constData();
    const char* y = after.bytes().constData();
    for (Address a = 0; a < ImageSize; ++a)
        if (quint8(x[a] ^ y[a]) & quint8(~own[size_t(a)]))
            return HexAddressText(a);
    return QString();
}

// Whether the images agree outside line n.
bool SameOutsideLine(const MemoryImage& a, const MemoryImage& b, int n) {
    const char* x = a.bytes().constData();
    const char* y = b.bytes().constData();
    const int at = LineAddress(n);
    return std::memcmp(x, y, size_t(at)) == 0 &&
           std::memcmp(x + at + LineSize, y + at + LineSize, size_t(ImageSize - at - LineSize)) == 0;
}

void CheckLoad(const QByteArray& data) {
    const QString file = ScratchFile(QStringLiteral("input.dat"));
    WriteScratch(file, data);
    MemoryImage image;
    QByteArray before(ImageSize, char(0x5A));
    image.setBytes(before);
    image.TakeImageSnapshot();
    image.setByte(0, 0x00); // an unsaved change
    before = image.bytes();
    const QByteArray snapshot = image.snapshot();
    QString error;
    const bool loaded = image.LoadImageFile(file, &error);
    Check(loaded == (data.size() == ImageSize), "exactly the 8192-byte files load");
    if (loaded) {
        Check(image.bytes() == data && image.snapshot() == data,
              "a loaded file is the image and its saved state");
    } else {
        Check(image.bytes() == before && image.snapshot() == snapshot, "a refused file changes nothing");
        Check(!error.isEmpty(), "a refused file says why");
    }
}

// Showing a channel cleans only its own record, the same in both languages, and
// showing it again changes nothing more.
void CheckChannels(const MemoryImage& original) {
    const BandLimits band = DecodeBandLimits(original);
    QByteArray shown[2];
    for (Language l : Languages) {
        MemoryImage once = original;
        std::array<ChannelTexts, ChannelCount> texts;
        for (int n = 0; n < ChannelCount; ++n) {
            const MemoryImage before = once;
            const bool empties = ShowsAsEmpty(before, band, n);
            texts[size_t(n)] = ReadChannelForDisplay(once, band, Tones(l), l, n);
            Check(SameOutsideLine(once, before, n), "showing a channel touches only its record");
            Check(texts[size_t(n)].isEmpty() == empties,
                  "a channel shows empty exactly when ShowsAsEmpty says so");
            if (empties)
                Check(once.line(n) == QByteArray(LineSize, char(0xFF)), "an emptied channel is all 0xFF");
            Check(texts[size_t(n)].text(ColName).isEmpty() && texts[size_t(n)].text(0).isEmpty(),
                  "columns 0 and 17 stay empty");
            for (int c = ColTxFreq; c < ColName && texts[size_t(n)].isEmpty(); ++c)
                Check(texts[size_t(n)].text(c).isEmpty(), "an empty channel shows nothing");
        }
        MemoryImage twice = once;
        for (int n = 0; n < ChannelCount; ++n)
            if (ReadChannelForDisplay(twice, band, Tones(l), l, n).cells != texts[size_t(n)].cells)
                Violated("showing twice gives the same texts", ChannelPlace(n, l));
        Check(twice.bytes() == once.bytes(), "showing twice gives the same bytes");
        shown[l] = once.bytes();
    }
    Check(shown[English] == shown[Chinese], "showing cleans the same bytes in both languages");
}

struct Editor {
    const char* name;
    Bytes own;
    // Loads, stores what it loaded into `image`, and says whether a reload gives the same values.
    std::function<bool(MemoryImage& image)> confirm;
};

std::vector<Editor> Editors() {
    std::vector<Editor> editors;
    {
        namespace M = OptFeaturesMap;
        Editor e{"optional features", {}, [](MemoryImage& image) {
                     const OptFeaturesValues v = LoadOptFeatures(image);
                     const int lists[][2] = {{v.timeOut, int(TimeOutItems(English).size())},
                                             {v.squelch, int(SquelchItems().size())},
                                             {v.beep, 2},
                                             {v.voice, int(VoiceItems(English).size())},
                                             {v.scanMode, int(ScanModeItems().size())},
                                             {v.batterySave, 2},
                                             {v.toneBurst, int(ToneBurstItems().size())},
                                             {v.vox, 2},
                                             {v.voxGain, int(VoxGainItems().size())},
                                             {v.voxDelay, int(VoxDelayItems().size())}};
                     for (const auto& [position, count] : lists)
                         Check(position >= 0 && position < count,
                               "optional features: a position in its list");
                     StoreOptFeatures(image, v);
                     return LoadOptFeatures(image) == v;
                 }};
        for (Address a : {M::Flags, M::Squelch, M::TimeOut, M::VoxGain, M::VoxDelay, M::ToneBurst})
            Own(e.own, a, 1);
        editors.push_back(e);
    }
    {
        Editor e{"keys", {}, [](MemoryImage& image) {
                     const KeyValues v = LoadKeys(image);
                     Check(ShortPressCodes().contains(v.side1Press) &&
                               ShortPressCodes().contains(v.side2Press),
                           "keys: a short press shows a function its list offers");
                     Check(LongPressCodes().contains(v.side1Hold) && LongPressCodes().contains(v.side2Hold),
                           "keys: a long press shows a function its list offers");
                     Check(v.topKey >= 0 && v.topKey < AlarmFunctionCount, "keys: the top key in its list");
                     Check(v.duration >= 0 && v.duration < DurationCount, "keys: the duration in its list");
                     StoreKeys(image, v);
                     return LoadKeys(image) == v;
                 }};
        for (Address a : {KeyMap::Side1Press, KeyMap::Side2Press, KeyMap::Side1Hold, KeyMap::Side2Hold,
                          KeyMap::TopKey, KeyMap::LongPress})
            Own(e.own, a, 1);
        editors.push_back(e);
    }
    {
        namespace M = DtmfMap;
        Editor e{"DTMF", {}, [](MemoryImage& image) {
                     const DtmfValues v = LoadDtmf(image);
                     const int lists[][2] = {{v.sideTone, int(SideToneItems(English).size())},
                                             {v.txTime, int(TxTimeItems().size())},
                                             {v.preCarrier, int(PreCarrierItems().size())},
                                             {v.endCode, int(EndCodeItems().size())},
                                             {v.groupCode, int(GroupCodeItems(English).size())},
                                             {v.autoReset, int(AutoResetItems(English).size())}};
                     for (const auto& [position, count] : lists)
                         Check(position >= 0 && position < count, "DTMF: a position in its list");
                     Check(v.callList.size() == M::CallEntryCount, "DTMF: sixteen call list entries");
                     StoreDtmf(image, v, v);
                     return LoadDtmf(image) == v;
                 }};
        Own(e.own, M::SideTone, 1, quint8(1u << M::SideToneBit));
        Own(e.own, M::TxTime, M::AutoReset - M::TxTime + 1);
        Own(e.own, M::Ani, M::AniLength);
        Own(e.own, M::Stun, M::StunLength);
        Own(e.own, M::Kill, M::KillLength);
        Own(e.own, M::Bot, M::BotLength);
        Own(e.own, M::Eot, M::EotLength);
        // Entries 9-16 lie in the channel memory and are written only when edited.
        Own(e.own, M::CallList, M::CallEntryLength * M::FirstSharedEntry);
        editors.push_back(e);
    }
    {
        Editor e{"model information", {}, [](MemoryImage& image) {
                     const int position = ModelTypePosition(image);
                     Check(position >= 0 && position < ModelTypeItems().size(),
                           "model: a position in its list");
                     image.setByte(ModelInfoMap::ModelType, ModelTypeByte(position));
                     return ModelTypePosition(image) == position;
                 }};
        Own(e.own, ModelInfoMap::ModelType, 1);
        editors.push_back(e);
    }
    {
        Editor e{"radio information", {}, [](MemoryImage& image) {
                     const QString esn = embmsg::ReadText(image, embmsg::EsnLine);
                     const QString hardware = embmsg::ReadText(image, embmsg::HardwareLine);
                     Check(esn.size() <= embmsg::TextLength && embmsg::Unstorable(esn).isEmpty() &&
                               embmsg::Unstorable(hardware).isEmpty(),
                           "radio information: texts the lines can hold");
                     embmsg::StoreText(image, embmsg::EsnLine, esn);
                     embmsg::StoreText(image, embmsg::HardwareLine, hardware);
                     return embmsg::ReadText(image, embmsg::EsnLine) == esn &&
                            embmsg::ReadText(image, embmsg::HardwareLine) == hardware;
                 }};
        Own(e.own, LineAddress(embmsg::EsnLine), LineSize);
        Own(e.own, LineAddress(embmsg::HardwareLine), LineSize);
        editors.push_back(e);
    }
    return editors;
}

// The memory map shows every byte as its two digits and OK stores them back: without
// an edit nothing changes. Each byte is read and written alone, so one image holding
// every value at every position of a line stands for all images.
void CheckMemoryMap() {
    MemoryImage image;
    QByteArray bytes(ImageSize, '\0');
    for (Address a = 0; a < ImageSize; ++a)
        bytes[a] = char((a + a / 256) & 0xFF);
    image.setBytes(bytes);
    MemoryMapModel map;
    map.load(image);
    map.store(image);
    Check(image.bytes() == bytes, "memory map: OK without an edit changes nothing");
    Check(RowsTheGridWillClear(image, image, DecodeBandLimits(image)).isEmpty(),
          "memory map: nothing typed, nothing to clear");
}

void CheckEditors(const MemoryImage& original) {
    static const std::vector<Editor> editors = Editors();
    for (const Editor& e : editors) {
        MemoryImage image = original;
        const bool same = e.confirm(image);
        if (!same)
            Violated("an editor reloads the values it stored", QString::fromLatin1(e.name));
        const QString where = Trespass(original, image, e.own);
        if (!where.isEmpty())
            Violated("an editor stores only its own bytes",
                     QString::fromLatin1(e.name) + QStringLiteral(" wrote ") + where);
        // Storing again what the stored image shows changes nothing more.
        MemoryImage again = image;
        e.confirm(again);
        if (again.bytes() != image.bytes())
            Violated("a second store of the same values changes nothing", QString::fromLatin1(e.name));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    UseDefaultCorpus(argc, argv, DefaultImageSeeds());
    QuietMessages(true);
    CheckMemoryMap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 64 * 1024)
        return -1; // far beyond any file the program reads; not worth the fuzzer's time
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckLoad(bytes);
    // The rules work on any 8192 bytes: the input padded or cut to an image.
    MemoryImage image;
    image.setBytes(bytes.left(ImageSize) +
                   QByteArray(ImageSize - qMin<qsizetype>(ImageSize, bytes.size()), char(0xFF)));
    CheckChannels(image);
    CheckEditors(image);
    return 0;
}
