#include "tests/fuzz/ChannelListFuzz.h"

#include "core/Band.h"
#include "core/ChannelRecord.h"

namespace kestrel::fuzz {

namespace {
MemoryImage g_defaults[BandCount];

constexpr quint8 ImageMode = 0x10;

QString Detail(ListFormat format, const QByteArray& list) {
    return ListFormatName(format) + QStringLiteral(":\n") + QString::fromUtf8(list);
}

// Applies the list; false when it is refused.
bool Read(MemoryImage& image, const QByteArray& list, ListFormat format) {
    const ImportReport report = ImportChannelList(image, list, format);
    Check(report.rowsApplied >= 0 && report.rowsApplied <= ChannelCount, "at most one row per channel is applied");
    Check(!report.refused() || report.rowsApplied == 0, "a refused list applies no row");
    for (Language language : {English, Chinese})
        Check(!report.text(language, QStringLiteral("list.csv")).isEmpty(), "the report has a text");
    return !report.refused();
}
} // namespace

Defaults ChannelListDefaults() { return DefaultImageSeeds(QByteArray(1, char(ImageMode))); }

int PrepareChannelLists() {
    QuietMessages(true);
    for (int band = 0; band < BandCount; ++band) {
        QString error;
        Check(LoadDefaultImage(g_defaults[band], band, QStringLiteral(KESTREL_BIN_DIR), &error),
              "the default images are in the build folder", error);
    }
    return 0;
}

int CheckChannelList(ListFormat format, const uint8_t* data, size_t size) {
    if (size > 64 * 1024)
        return -1;
    Input in(data, size);
    const quint8 flags = in.byte();
    const Language written = flags & 1 ? Chinese : English;
    const MemoryImage& base = g_defaults[((flags >> 2) & 3) % BandCount];

    MemoryImage x = base;
    if (flags & ImageMode) {
        const QByteArray bytes = in.take(ImageSize);
        x.setBytes(bytes + base.bytes().mid(bytes.size()));
    } else {
        const QByteArray list = in.rest();
        if (!Read(x, list, format))
            Check(x.bytes() == base.bytes() && x.snapshot() == base.snapshot(),
                  "a refused list changes nothing", Detail(format, list));
    }

    const QByteArray first = ExportChannelList(x, format, written);
    MemoryImage y = x;
    Check(Read(y, first, format), "a written list reads back", Detail(format, first));
    const QByteArray second = ExportChannelList(y, format, written);
    MemoryImage z = y;
    Check(Read(z, second, format), "a written list reads back", Detail(format, second));
    Check(z.bytes() == y.bytes(), "a list read back a second time changes nothing", Detail(format, second));
    return 0;
}

} // namespace kestrel::fuzz
