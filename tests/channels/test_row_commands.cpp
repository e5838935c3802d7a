// Insert, delete, move and sort over random images of valid channels: whole records
// move, every byte outside the records (the bitmaps among them) stays as it was.
#include "channels/RowCommands.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Numbers.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrel;

namespace {

const QByteArray Empty(LineSize, char(0xFF));
const BandLimits Band = BandOfIndex(0);

struct RandomImage {
    MemoryImage image;
    QList<QByteArray> records; // the model the commands are checked against
    QByteArray outside;        // bytes after the records

    explicit RandomImage(quint32 seed) {
        QRandomGenerator random(seed);
        QByteArray bytes(ImageSize, '\0');
        for (char& b : bytes)
            b = char(random.bounded(256));
        image.setBytes(bytes);
        EncodeBandLimits(image, Band);
        for (int c = 0; c < ChannelCount; ++c) {
            ClearChannel(image, c);
            if (random.bounded(3) == 0)
                continue;
            // Few distinct frequencies, so that sorting meets equal ones.
            const double mhz = 136.0 + 0.0125 * random.bounded(40) * 50;
            CreateChannel(image, c, RowOfChannel(c), FormatFixed(mhz, 5));
            image.setByte(c, 12, quint8(random.bounded(256)));
            image.setByte(c, 14, quint8(random.bounded(256)));
        }
        for (int c = 0; c < ChannelCount; ++c)
            records << image.line(c);
        outside = image.bytes().mid(ChannelCount * LineSize);
    }

    QList<int> randomChannels(QRandomGenerator& random, int count) const {
        QList<int> set;
        for (int i = 0; i < count; ++i)
            set << int(random.bounded(ChannelCount));
        return ChannelSet(set);
    }

    void expectRecords(const QList<QByteArray>& expected, const char* what) const {
        for (int c = 0; c < ChannelCount; ++c)
            ASSERT_EQ(image.line(c), expected[c]) << what << " channel " << c + 1;
        EXPECT_EQ(image.bytes().mid(ChannelCount * LineSize), outside) << what;
    }
};

bool InUse(const QByteArray& record) {
    MemoryImage m;
    m.setLine(0, record);
    return CheckFrequencyRange(Band, DecodeFrequency(m, 0, 0)) == InBand;
}

} // namespace

TEST(RowCommands, InsertDeleteAndMoveShiftWholeRecords) {
    QRandomGenerator random(2024);
    for (int round = 0; round < 30; ++round) {
        {
            RandomImage r(round);
            const int first = int(random.bounded(ChannelCount));
            const int count = 1 + int(random.bounded(4));
            QList<QByteArray> expected = r.records;
            for (int i = 0; i < count && first < ChannelCount; ++i) {
                expected.insert(first, Empty);
                expected.removeLast();
            }
            int lost = 0;
            for (int c = qMax(first, ChannelCount - count); c < ChannelCount; ++c)
                lost += InUse(r.records[c]) ? 1 : 0;
            EXPECT_EQ(ChannelsLostByInsert(r.image, Band, first, count), lost);
            InsertChannels(r.image, first, count);
            r.expectRecords(expected, "insert");
        }
        {
            RandomImage r(round + 100);
            const QList<int> gone = r.randomChannels(random, 1 + int(random.bounded(6)));
            QList<QByteArray> expected;
            for (int c = 0; c < ChannelCount; ++c)
                if (!gone.contains(c))
                    expected << r.records[c];
            while (expected.size() < ChannelCount)
                expected << Empty;
            DeleteChannels(r.image, gone);
            r.expectRecords(expected, "delete");
        }
        for (int direction : {-1, 1}) {
            RandomImage r(round + 200);
            QList<int> moved = r.randomChannels(random, 1 + int(random.bounded(5)));
            const QList<int> before = moved;
            const bool atEdge = direction < 0 ? moved.first() == 0 : moved.last() == ChannelCount - 1;
            const bool done = MoveChannels(r.image, moved, direction);
            EXPECT_EQ(done, !atEdge);
            if (!done) {
                r.expectRecords(r.records, "move at the edge");
                continue;
            }
            // Each moved record now sits one place further; the others keep their order.
            for (int i = 0; i < before.size(); ++i)
                EXPECT_EQ(r.image.line(moved[i]), r.records[before[i]]);
            QList<QByteArray> rest;
            QList<QByteArray> restNow;
            for (int c = 0; c < ChannelCount; ++c) {
                if (!before.contains(c))
                    rest << r.records[c];
                if (!moved.contains(c))
                    restNow << r.image.line(c);
            }
            EXPECT_EQ(restNow, rest);
            EXPECT_EQ(r.image.bytes().mid(ChannelCount * LineSize), r.outside);
        }
    }
}

TEST(RowCommands, SortOrdersTheChosenChannelsByReceiveFrequencyEmptyOnesLast) {
    QRandomGenerator random(99);
    for (int round = 0; round < 30; ++round) {
        RandomImage r(round + 300);
        const QList<int> chosen = round == 0 ? ChannelSet({3, 4, 5}) : r.randomChannels(random, 40);
        QList<QByteArray> sorted;
        for (int c : chosen)
            sorted << r.records[c];
        const auto key = [](const QByteArray& record) {
            MemoryImage m;
            m.setLine(0, record);
            return InUse(record) ? DecodeFrequency(m, 0, 0).toDouble() : 1e9;
        };
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&](const QByteArray& a, const QByteArray& b) { return key(a) < key(b); });
        QList<QByteArray> expected = r.records;
        for (int i = 0; i < chosen.size(); ++i)
            expected[chosen[i]] = sorted[i];
        SortChannelsByRx(r.image, Band, chosen);
        r.expectRecords(expected, "sort");
    }
}
