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

TEST_F(FrmCloneTest, ShowsTheTransferInBothLanguagesAndClosesWhenItEnds) {
    const struct {
        Language language;
        quint8 direction;
        const char* texts[3]; // caption, OK, Cancel
    } cases[] = {{English, clone::Read, {"Reading...", "&Ok", "&Cancel"}},
                 {Chinese, clone::Write, {"写入中...", "确定(&O)", "取消(&C)"}}};
    for (const auto& c : cases) {
        app.language = c.language;
        RadioSim sim({"--turnaround", "1"}, PatternImage(2));
        QStringList seen;
        const auto connection =
            QObject::connect(engine.get(), &CloneEngine::progressChanged, window.get(), [&](int v) {
                if (v == 50)
                    seen << window->windowTitle() << QString::number(window->progressBar()->value())
                         << (window->cmdOK()->isEnabled() ? "ok enabled" : "ok disabled")
                         << (window->isVisible() ? "shown" : "hidden");
            });
        EXPECT_EQ(RunModal(sim, c.direction), int(QDialog::Accepted));
        QObject::disconnect(connection);
        EXPECT_EQ(seen, (QStringList{QString::fromUtf8(c.texts[0]), "50", "ok disabled", "shown"}));
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->cmdOK()->text(), QString::fromUtf8(c.texts[1]));
        EXPECT_EQ(window->cmdCancel()->text(), QString::fromUtf8(c.texts[2]));
        EXPECT_EQ(engine->outcome(), CloneEngine::Outcome::Completed);
    }
}

// Cancel and closing the window end the transfer at once, quietly; Escape asks first
// (Cancel in the question goes on with the transfer).
TEST_F(FrmCloneTest, CancelEscapeAndClosingEndTheTransfer) {
    int events = 0;
    QObject::connect(engine.get(), &CloneEngine::CloneExit, [&] { ++events; });
    QObject::connect(engine.get(), &CloneEngine::CloneError, [&] { ++events; });
    for (int way = 0; way < 3; ++way) {
        RadioSim sim({"--turnaround", "2"}, PatternImage(2));
        const QMetaObject::Connection c =
            QObject::connect(engine.get(), &CloneEngine::progressChanged, window.get(), [&](int v) {
                if (v != (way == 0 ? 20 : 10))
                    return;
                if (way == 0)
                    QTest::mouseClick(window->cmdCancel(), Qt::LeftButton);
                else if (way == 1) {
                    prompter.answers << Prompter::Answer::Cancel << Prompter::Answer::Ok;
                    QTest::keyClick(window.get(), Qt::Key_Escape);
                    EXPECT_FALSE(engine->flagComplete());
                    QTest::keyClick(window.get(), Qt::Key_Escape);
                } else
                    window->close();
            });
        EXPECT_EQ(RunModal(sim, way == 0 ? clone::Read : clone::Write), int(QDialog::Rejected)) << way;
        QObject::disconnect(c);
        EXPECT_EQ(engine->outcome(), CloneEngine::Outcome::Cancelled) << "way " << way;
        EXPECT_TRUE(engine->flagComplete());
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(events, 0);
        EXPECT_EQ(app.image.bytes(), PatternImage(1));
        EXPECT_EQ(window->progressBar()->accessibleName(), way == 0 ? "Reading" : "Writing");
        EXPECT_FALSE(sim.frames().contains(EndFrame()));
    }
}

} // namespace
