// The radio text as the main window's second file type: Save writes it by its name and
// keeps the caption rules, Open loads it or, on any error, nothing, and Compare With File
// takes it.
#include "tests/shell/MainWindowFixture.h"

#include "shell/frmCompare.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {
class MainFormTextTest : public MainWindowTest {};
} // namespace

TEST_F(MainFormTextTest, SaveAsTextOpenItAgainAndCompareWithIt) {
    const QString text = path("radio1.yaml");
    app.image.setByte(0x0FD3, 7);
    prompter.saveNames << text;
    run("miSave");
    EXPECT_EQ(prompter.saveFilters, (QStringList{"Kestrel Data Files (*.dat)", "Kestrel Text Files (*.yaml)"}));
    EXPECT_TRUE(ReadFile(text).contains("Squelch Level: 7"));
    EXPECT_FALSE(app.image.IsImageModified());
    // As a saved .dat: the file name is the window's, and the caption shows it at once.
    EXPECT_EQ(app.currentFileName, text);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[136-174 MHz] [File Name: radio1.yaml]"));

    const QByteArray saved = app.image.bytes();
    prompter.answers << Answer::Ok;
    run("miNew");
    prompter.openNames << text;
    run("miOpen");
    EXPECT_EQ(app.image.bytes(), saved);
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[136-174 MHz] [File Name: radio1.yaml]"));

    fileWith("partial.yaml", "Optional Features:\n  Squelch Level: 2\n");
    prompter.openNames << path("partial.yaml");
    QStringList lines;
    withDialog<frmCompare>("miCompare", [&](frmCompare& dialog) {
        lines = dialog.text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        dialog.reject();
    });
    EXPECT_EQ(lines, QStringList{"Optional Features / Squelch Level: 7 -> 2"});
}

TEST_F(MainFormTextTest, TextWithAnErrorLoadsNothing) {
    const QString bad = fileWith("bad.yaml", "Optional Features:\n  Squelch Level: 12\n  Beeep: On\n");
    const QByteArray before = app.image.bytes();
    for (const char* command : {"miOpen", "miCompare"}) {
        prompter.openNames << bad;
        run(command);
        EXPECT_EQ(app.image.bytes(), before);
        EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
        EXPECT_EQ(lastAsked().text, bad + QStringLiteral(":2:18: Optional Features / Squelch Level: \"12\" is not one "
                                                         "of the values it takes; allowed: 0, 1, 2, 3, 4, 5, 6, 7, 8, "
                                                         "9\n") +
                                        bad + QStringLiteral(":3:3: unknown key \"Beeep\" in Optional Features; did "
                                                             "you mean \"BEEP\"?"))
            << lastAsked().text.toStdString();
    }
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled"));
}
