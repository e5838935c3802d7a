// The clone window over a real transfer: texts, progress, OK, Cancel and closing.
#include "link/frmClone.h"

#include "core/Band.h"
#include "link/CloneEngine.h"
#include "tests/link/RadioSim.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

class FrmCloneTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = StartedApp(dir.filePath(QStringLiteral("settings.ini")));
        app.image.setBytes(PatternImage(1));
        app.image.TakeImageSnapshot();
        engine = std::make_unique<CloneEngine>(app, prompter);
        engine->setRecvInterval(10);
        engine->setTickCountMax(20);
        window = std::make_unique<frmClone>(*engine, app);
    }
    // As the main window does it: Start, then the window modally while it runs.
    int RunModal(RadioSim& sim, quint8 direction) {
        engine->setDevicePath(sim.device());
        engine->setDirection(direction);
        engine->setStepData(0);
        engine->setStepExit(253);
        engine->Start();
        if (engine->flagComplete())
            return -1;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, window.get(), [this] { window->done(-2); });
        guard.start(30000);
        return window->exec();
    }
    QTemporaryDir dir;
    AppContext app;
    ScriptedPrompter prompter;
    std::unique_ptr<CloneEngine> engine;
    std::unique_ptr<frmClone> window;
};

TEST_F(FrmCloneTest, ShowsTheTransferAndClosesWhenItEnds) {
    RadioSim sim({"--turnaround", "1"}, PatternImage(2));
    QStringList seen;
    QObject::connect(engine.get(), &CloneEngine::progressChanged, window.get(), [&](int v) {
        if (v == 50)
            seen << window->windowTitle() << QString::number(window->progressBar()->value())
                 << (window->cmdOK()->isEnabled() ? "ok enabled" : "ok disabled")
                 << (window->isVisible() ? "shown" : "hidden");
    });
    EXPECT_EQ(RunModal(sim, clone::Read), int(QDialog::Accepted));
    EXPECT_EQ(seen, (QStringList{"Reading...", "50", "ok disabled", "shown"}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->cmdOK()->text(), QStringLiteral("&Ok"));
    EXPECT_EQ(window->cmdCancel()->text(), QStringLiteral("&Cancel"));
    EXPECT_EQ(engine->outcome(), CloneEngine::Outcome::Completed);
}

TEST_F(FrmCloneTest, CancelEndsTheTransferAtOnce) {
    RadioSim sim({"--turnaround", "2"}, PatternImage(2));
    int events = 0;
    QObject::connect(engine.get(), &CloneEngine::CloneExit, [&] { ++events; });
    QObject::connect(engine.get(), &CloneEngine::CloneError, [&] { ++events; });
    QObject::connect(engine.get(), &CloneEngine::progressChanged, window.get(), [&](int v) {
        if (v == 20)
            QTest::mouseClick(window->cmdCancel(), Qt::LeftButton);
    });
    EXPECT_EQ(RunModal(sim, clone::Read), int(QDialog::Rejected));
    EXPECT_EQ(engine->outcome(), CloneEngine::Outcome::Cancelled);
    EXPECT_TRUE(engine->flagComplete());
    EXPECT_EQ(events, 0);
    EXPECT_EQ(app.image.bytes(), PatternImage(1));
    EXPECT_FALSE(sim.frames().contains(EndFrame()));
}

TEST_F(FrmCloneTest, EscapeAndClosingTheWindowAlsoEndTheTransfer) {
    for (int way = 0; way < 2; ++way) {
        RadioSim sim({"--turnaround", "2"}, PatternImage(2));
        QMetaObject::Connection c =
            QObject::connect(engine.get(), &CloneEngine::progressChanged, window.get(), [&](int v) {
                if (v != 10)
                    return;
                if (way == 0)
                    QTest::keyClick(window.get(), Qt::Key_Escape);
                else
                    window->close();
            });
        RunModal(sim, clone::Write);
        QObject::disconnect(c);
        EXPECT_EQ(engine->outcome(), CloneEngine::Outcome::Cancelled) << "way " << way;
        EXPECT_FALSE(window->isVisible());
    }
}

TEST_F(FrmCloneTest, ChineseTexts) {
    app.language = Chinese;
    RadioSim sim({}, PatternImage(2));
    QString caption;
    QObject::connect(engine.get(), &CloneEngine::progressChanged, window.get(), [&](int v) {
        if (v == 50)
            caption = window->windowTitle();
    });
    RunModal(sim, clone::Write);
    EXPECT_EQ(caption, QStringLiteral("写入中..."));
    EXPECT_EQ(window->cmdOK()->text(), QStringLiteral("确定(&O)"));
    EXPECT_EQ(window->cmdCancel()->text(), QStringLiteral("取消(&C)"));
}

TEST_F(FrmCloneTest, PortThatCannotOpenNeverShowsTheWindow) {
    engine->setDevicePath(QStringLiteral("/dev/kestrel-no-such-port"));
    EXPECT_FALSE(engine->Start());
    EXPECT_TRUE(engine->flagComplete());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompter.asked.size(), 1);
}

} // namespace
