// Undoable steps: what a step records, and that taking it back or putting it again
// never touches bytes changed outside the history.
#include "core/ImageHistory.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace kestrel;

namespace {

struct Recorder {
    ImageChanges changes;
    QList<ImageStep> steps;
    Recorder() {
        changes.setSink([this](const ImageStep& s) { steps << s; });
    }
};

const StepName Name{QStringLiteral("Edit"), QStringLiteral("编辑")};

} // namespace

TEST(ImageHistory, AStepHoldsOnlyTheRunsThatChanged) {
    MemoryImage m;
    Recorder r;
    {
        const RecordedStep step(r.changes, m, Name);
        m.setByte(0x10, 1);
        m.setByte(0x11, 2);
        m.setByte(0x13, 3);
        m.setByte(0x1FFF, 4);
        m.setByte(0x20, 0); // written, but unchanged
    }
    ASSERT_EQ(r.steps.size(), 1);
    const ImageStep& s = r.steps[0];
    EXPECT_EQ(s.name(Chinese), QStringLiteral("编辑"));
    ASSERT_EQ(s.runs.size(), 3);
    EXPECT_EQ(s.runs[0].address, 0x10);
    EXPECT_EQ(s.runs[0].before, QByteArray(2, '\0'));
    EXPECT_EQ(s.runs[0].after, QByteArray("\x01\x02"));
    EXPECT_EQ(s.runs[2].address, 0x1FFF);
    EXPECT_EQ(s.byteCount(), 4);
    EXPECT_TRUE(s.touches(0x0F, 0x10));
    EXPECT_TRUE(s.touches(0x12, 0x13));
    EXPECT_FALSE(s.touches(0x14, 0x1FFE));

    // Nested steps join the outermost; a step that changed nothing is not recorded.
    r.changes.begin(m, Name);
    r.changes.begin(m, StepName{QStringLiteral("Inner"), QString()});
    m.setByte(0x30, 9);
    r.changes.end(m);
    EXPECT_EQ(r.steps.size(), 1);
    m.setByte(0x31, 9);
    r.changes.end(m);
    ASSERT_EQ(r.steps.size(), 2);
    EXPECT_EQ(r.steps[1].name.english, QStringLiteral("Edit"));
    EXPECT_EQ(r.steps[1].byteCount(), 2);
    { const RecordedStep nothing(r.changes, m, Name); }
    r.changes.end(m); // an end without a begin is harmless
    EXPECT_EQ(r.steps.size(), 2);
    EXPECT_FALSE(r.changes.recording());
}

TEST(ImageHistory, UndoAndRedoLeaveBytesChangedOutsideTheHistory) {
    QRandomGenerator random(7);
    for (int round = 0; round < 50; ++round) {
        MemoryImage m;
        QByteArray start(ImageSize, '\0');
        for (char& b : start)
            b = char(random.bounded(256));
        m.setBytes(start);
        Recorder r;
        {
            const RecordedStep step(r.changes, m, Name);
            for (int k = 0; k < 40; ++k)
                m.setByte(int(random.bounded(ImageSize)), quint8(random.bounded(256)));
        }
        if (r.steps.isEmpty())
            continue;
        const QByteArray end = m.bytes();
        const ImageStep& s = r.steps[0];
        RevertStep(m, s);
        EXPECT_EQ(m.bytes(), start);
        ReapplyStep(m, s);
        EXPECT_EQ(m.bytes(), end);

        // A byte of the step and one outside it changed behind the history's back.
        const Address inside = s.runs[0].address;
        const Address outside = inside == 0 ? ImageSize - 1 : inside - 1;
        if (s.touches(outside, outside))
            continue;
        const quint8 foreign = quint8(~quint8(s.runs[0].before[0]) ^ quint8(s.runs[0].after[0]));
        m.setByte(inside, foreign);
        m.setByte(outside, quint8(m.byte(outside) + 1));
        const quint8 outsideValue = m.byte(outside);
        RevertStep(m, s);
        EXPECT_EQ(m.byte(inside), foreign);
        EXPECT_EQ(m.byte(outside), outsideValue);
        ReapplyStep(m, s);
        EXPECT_EQ(m.byte(inside), foreign);
    }
}

TEST(ImageHistory, WithoutASinkChangesAreSimplyMade) {
    MemoryImage m;
    ImageChanges changes;
    {
        const RecordedStep step(changes, m, Name);
        m.setByte(5, 5);
    }
    EXPECT_EQ(m.byte(5), 5);
    EXPECT_EQ(ChannelCountStep("Paste", "粘贴", 1).english, QStringLiteral("Paste 1 Channel"));
    EXPECT_EQ(ChannelCountStep("Paste", "粘贴", 5).english, QStringLiteral("Paste 5 Channels"));
    EXPECT_EQ(ChannelCountStep("Paste", "粘贴", 5).chinese, QStringLiteral("粘贴 5 个信道"));
}
