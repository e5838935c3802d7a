// kestrel-cli rows as a user runs it: the row commands on a file, and refusals that
// write nothing.
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

const QByteArray Empty(LineSize, char(0xFF));

class CliRows : public ::testing::Test {
protected:
    void SetUp() override {
        MemoryImage m;
        m.setBytes(DefaultImageBytes(0));
        for (int n = 0; n < ChannelCount; ++n)
            ClearChannel(m, n);
        for (int n : {0, 1, 2, 127})
            CreateChannel(m, n, RowOfChannel(n), QStringLiteral("%1.00000").arg(150 - n % 10));
        original = m.bytes();
        ASSERT_TRUE(WriteFile(in, original));
    }
    QByteArray record(const QByteArray& image, int channel) const { return image.mid(channel * LineSize, LineSize); }
    CliOutput rows(QStringList args) {
        return RunKestrelCli(QStringList{QStringLiteral("rows"), in} + args + QStringList{QStringLiteral("-o"), out});
    }

    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.dat"));
    const QString out = dir.filePath(QStringLiteral("out.dat"));
    QByteArray original;
};

} // namespace

TEST_F(CliRows, EachCommandMovesWholeRecords) {
    struct {
        QStringList args;
        QList<int> from; // channel index whose record lands at 0, 1, 2, 3 (-1: empty)
    } cases[] = {
        {{"--insert", "2", "--drop"}, {0, -1, 1, 2}},
        {{"--insert", "1", "--count", "2", "--drop"}, {-1, -1, 0, 1}},
        {{"--delete", "1,3"}, {1, -1, -1, -1}},
        {{"--down", "1-2"}, {2, 0, 1, -1}},
        {{"--up", "3"}, {0, 2, 1, -1}},
        {{"--sort", "1-4"}, {2, 1, 0, -1}},
    };
    for (const auto& c : cases) {
        const CliOutput r = rows(c.args);
        ASSERT_EQ(r.status, 0) << c.args.join(' ').toStdString() << r.err.toStdString();
        const QByteArray got = ReadFile(out);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(record(got, i), c.from[i] < 0 ? Empty : record(original, c.from[i]))
                << c.args.join(' ').toStdString() << " channel " << i + 1;
        EXPECT_EQ(got.mid(0x800), original.mid(0x800)) << "bitmaps and the rest stay";
    }
}

TEST_F(CliRows, RefusalsWriteNothing) {
    struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"--insert", "5"}, "add --drop"},
        {{"--up", "1"}, "already at the end"},
        {{"--delete", "0"}, "channel numbers 1-128"},
        {{"--delete", "3-1"}, "channel numbers 1-128"},
        {{"--sort", "1-4", "--count", "2"}, "--count"},
        {{"--up", "2", "--down", "3"}, "give one of"},
    };
    for (const auto& c : cases) {
        const CliOutput r = rows(c.args);
        EXPECT_EQ(r.status, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}
