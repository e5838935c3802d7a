#include "channels/RowCommands.h"

#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Numbers.h"

#include <algorithm>
#include <limits>

namespace kestrel {

namespace {

const QByteArray EmptyRecord(LineSize, char(0xFF));

// The receive frequency in 10 Hz units; empty channels sort after every frequency.
qint64 RxKey(const MemoryImage& image, const BandLimits& band, int channel) {
    const QString rx = DecodeFrequency(image, channel, ChannelByte::RxFrequency);
    if (CheckFrequencyRange(band, rx) != InBand)
        return std::numeric_limits<qint64>::max();
    return RoundHalfEven(LeadingNumber(rx) * 100000.0);
}

void SwapRecords(MemoryImage& image, int a, int b) {
    const QByteArray first = image.line(a);
    image.setLine(a, image.line(b));
    image.setLine(b, first);
}

} // namespace

QList<int> ChannelSet(const QList<int>& channels) {
    QList<int> set;
    for (int c : channels)
        if (IsChannelIndex(c))
            set << c;
    std::sort(set.begin(), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
    return set;
}

int ChannelsLostByInsert(const MemoryImage& image, const BandLimits& band, int first, int count) {
    if (!IsChannelIndex(first) || count <= 0)
        return 0;
    int lost = 0;
    for (int c = qMax(first, ChannelCount - count); c < ChannelCount; ++c)
        if (RxKey(image, band, c) != std::numeric_limits<qint64>::max())
            ++lost;
    return lost;
}

void InsertChannels(MemoryImage& image, int first, int count) {
    if (!IsChannelIndex(first) || count <= 0)
        return;
    count = qMin(count, ChannelCount - first);
    for (int c = ChannelCount - 1; c >= first + count; --c)
        image.setLine(c, image.line(c - count));
    for (int c = first; c < first + count; ++c)
        image.setLine(c, EmptyRecord);
}

void DeleteChannels(MemoryImage& image, const QList<int>& channels) {
    const QList<int> gone = ChannelSet(channels);
    if (gone.isEmpty())
        return;
    QList<QByteArray> kept;
    for (int c = gone.first(); c < ChannelCount; ++c)
        if (!gone.contains(c))
            kept << image.line(c);
    int place = gone.first();
    for (const QByteArray& record : kept)
        image.setLine(place++, record);
    while (place < ChannelCount)
        image.setLine(place++, EmptyRecord);
}

bool MoveChannels(MemoryImage& image, QList<int>& channels, int direction) {
    QList<int> set = ChannelSet(channels);
    if (set.isEmpty() || (direction != -1 && direction != 1))
        return false;
    if ((direction < 0 && set.first() == 0) || (direction > 0 && set.last() == ChannelCount - 1))
        return false;
    // Nearest the edge first, so that a block moves as a whole past its neighbour.
    if (direction > 0)
        std::reverse(set.begin(), set.end());
    for (int& c : set) {
        SwapRecords(image, c, c + direction);
        c += direction;
    }
    std::sort(set.begin(), set.end());
    channels = set;
    return true;
}

void SortChannelsByRx(MemoryImage& image, const BandLimits& band, const QList<int>& channels) {
    const QList<int> places = ChannelSet(channels);
    struct Entry {
        qint64 key;
        QByteArray record;
    };
    QList<Entry> entries;
    for (int c : places)
        entries.append({RxKey(image, band, c), image.line(c)});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    for (int i = 0; i < places.size(); ++i)
        image.setLine(places[i], entries[i].record);
}

} // namespace kestrel
