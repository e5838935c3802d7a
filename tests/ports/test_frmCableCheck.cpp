// The cable check window on the chosen port: a virtual radio that answers and a
// silent device, in both languages.
#include "ports/frmCableCheck.h"

#include "tests/link/RadioSim.h"
#include "tests/support/SilentPty.h"
#include "tests/support/TestFiles.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

using namespace kestrel;

namespace {

TEST(FrmCableCheck, ReportsOnTheChosenPortInEitherLanguage) {
    QTemporaryDir dir;
    AppContext app = test::StartedApp(dir.filePath(QStringLiteral("app.ini")));
    test::RadioSim radio({"--band-code", "2", "--version", "1.5", "12.30"});
    test::SilentPty silent;
    qputenv("KESTREL_COM7", radio.device().toLocal8Bit());
    qputenv("KESTREL_COM8", silent.device().toLocal8Bit());
    struct {
        quint8 port;
        Language language;
        const char* title;
        QString says;
    } cases[] = {
        {7, English, "Check Cable", "radio answers: 400-470 MHz, versions 1.5 / 12.30"},
        {7, Chinese, "检查数据线", QString::fromUtf8("电台应答：400-470 MHz，版本 1.5 / 12.30")},
        {8, English, "Check Cable", "Problem no answer from the radio"},
        {8, Chinese, "检查数据线", QString::fromUtf8("问题 电台无应答")},
    };
    for (const auto& c : cases) {
        app.portNumber = c.port;
        app.language = c.language;
        frmCableCheck view(app);
        view.show();
        EXPECT_EQ(view.windowTitle(), QString::fromUtf8(c.title));
        EXPECT_FALSE(view.cmdAgain->isEnabled()) << "checking";
        ASSERT_TRUE(test::RunUntil(
            &view, &frmCableCheck::checked, [&] { return !view.checking(); }, 10000));
        const QString report = view.txtReport->toPlainText();
        EXPECT_TRUE(report.contains(c.says)) << report.toStdString();
        EXPECT_TRUE(report.contains(QStringLiteral("Com %1").arg(c.port)));
        // Check Again runs the whole check once more.
        QTest::mouseClick(view.cmdAgain, Qt::LeftButton);
        EXPECT_TRUE(view.checking());
        ASSERT_TRUE(test::RunUntil(
            &view, &frmCableCheck::checked, [&] { return !view.checking(); }, 10000));
        EXPECT_EQ(view.txtReport->toPlainText(), report);
    }
    qunsetenv("KESTREL_COM7");
    qunsetenv("KESTREL_COM8");
}

} // namespace
