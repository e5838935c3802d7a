#include "shell/Caption.h"
#include "shell/CommandTips.h"
#include "shell/LayoutFile.h"
#include "tests/support/TestFiles.h"

#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {
const QString Bar = QStringLiteral("Menu Bar");
const QString Tools = QStringLiteral("ToolBar");
} // namespace

TEST(LayoutFile, ShippedFilesParseAndHoldEveryCommandOfTheBuiltInMenus) {
    const Layout builtIn = BuiltInLayout();
    for (Language l : {English, Chinese}) {
        QString warning;
        const Layout layout = LoadLayout(BinDir(), l, &warning);
        EXPECT_TRUE(warning.isEmpty()) << warning.toStdString();
        const LayoutBand* bar = layout.band(Bar);
        ASSERT_NE(bar, nullptr);
        QStringList menus;
        for (const LayoutEntry& e : bar->entries)
            menus << e.id;
        EXPECT_EQ(menus, (QStringList{"miFile", "miEdit", "miProgram", "miComPort", "miLanguage", "miView",
                                      "miWindows", "miHelp"}));
        for (const LayoutEntry& menu : builtIn.band(Bar)->entries)
            for (const LayoutEntry& e : menu.children)
                EXPECT_TRUE(e.kind != LayoutEntry::Item || layout.find(Bar, e.id)) << e.id.toStdString();
        // Model Information, Batch Edit, Undo and Redo have tool bar buttons too.
        for (const char* id : {"miModel", "miBatch", "miUndo", "miRedo"})
            EXPECT_NE(layout.find(Tools, QString::fromLatin1(id)), nullptr) << id;
        EXPECT_NE(layout.find(Bar, QStringLiteral("miView"))->children.size(), 0);
    }
    EXPECT_EQ(LoadLayout(BinDir(), Chinese, nullptr).find(Bar, QStringLiteral("miFile"))->caption,
              QString::fromUtf8("文件(&F)"));
    // The built-in layout: undo and redo on the tool bar, both language commands in View.
    for (const char* id : {"miUndo", "miRedo"})
        EXPECT_NE(builtIn.find(Tools, QString::fromLatin1(id)), nullptr) << id;
    const LayoutEntry* view = builtIn.find(Bar, QStringLiteral("miView"));
    ASSERT_NE(view, nullptr);
    QStringList captions;
    for (const LayoutEntry& e : view->children)
        captions << e.caption;
    EXPECT_TRUE(captions.contains(QStringLiteral("English(&E)")) &&
                captions.contains(QStringLiteral("Chinese(&C)")))
        << captions.join('|').toStdString();
}

TEST(LayoutFile, BrokenOrMissingFilesFallBackToTheBuiltInLayoutWithAReason) {
    struct Case {
        const char* text;
        const char* reason;
    } cases[] = {
        {"menu miFile \"File\"\nend\n", "before the first band"},
        {"band \"Menu Bar\"\nmenu miFile \"File\"\n", "has no end"},
        {"band \"Menu Bar\"\nitem miNew \"New\n", "unclosed quote"},
        {"band \"Menu Bar\"\nfrobnicate\n", "unknown statement"},
        {"band \"ToolBar\"\nitem miNew \"New\"\n", "no \"Menu Bar\""},
        {"band \"Menu Bar\"\nitem New \"New\"\n", "begin with mi"},
        {"band \"Menu Bar\"\nmenu a \"A\"\nmenu b \"B\"\n", "do not nest"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(ParseLayout(QString::fromUtf8(c.text), &error).has_value()) << c.text;
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
        EXPECT_TRUE(error.startsWith(QLatin1String("line "))) << error.toStdString();
    }
    QTemporaryDir dir;
    QString warning;
    const Layout missing = LoadLayout(dir.path(), English, &warning);
    EXPECT_TRUE(warning.contains(QLatin1String("toolbar_E.tlb"))) << warning.toStdString();
    EXPECT_NE(missing.find(Bar, QStringLiteral("miRead")), nullptr);
    ASSERT_TRUE(
        WriteFile(dir.filePath(QStringLiteral("toolbar_C.tlb")), "band \"Menu Bar\"\nmenu x \"X\"\n"));
    warning.clear();
    LoadLayout(dir.path(), Chinese, &warning);
    EXPECT_TRUE(warning.contains(QLatin1String("built-in"))) << warning.toStdString();
}

// A band named twice or a band the program does not know is still passed over,
// but no longer silently.
TEST(LayoutFile, DuplicatedAndUnknownBandsAreReported) {
    const char* text = "band \"Menu Bar\"\nitem miNew \"New\"\n"
                       "band \"Toolbar\"\nitem miOpen \"Open\"\n"
                       "band \"Menu Bar\"\nitem miSave \"Save\"\n";
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath(QStringLiteral("toolbar_E.tlb")), text));
    QString warning;
    const Layout layout = LoadLayout(dir.path(), English, &warning);
    EXPECT_EQ(layout.warnings.size(), 2);
    EXPECT_TRUE(warning.contains(QStringLiteral("toolbar_E.tlb"))) << warning.toStdString();
    EXPECT_TRUE(warning.contains(QStringLiteral("line 3: unknown band \"Toolbar\"")))
        << warning.toStdString();
    EXPECT_TRUE(warning.contains(QStringLiteral("line 5: band \"Menu Bar\" is named a second time")))
        << warning.toStdString();
    EXPECT_NE(layout.find(Bar, QStringLiteral("miNew")), nullptr) << "the file is still used";
    EXPECT_EQ(layout.find(Bar, QStringLiteral("miSave")), nullptr);
}

TEST(LayoutFile, QuotedCaptionsKeepBlanksAndEscapes) {
    QString error;
    const auto layout = ParseLayout(
        QStringLiteral("band \"Menu Bar\"  # the bar\nitem miX \"A \\\"b\\\" c\" icon new\nseparator\n"),
        &error);
    ASSERT_TRUE(layout.has_value()) << error.toStdString();
    const LayoutEntry* e = layout->find(Bar, QStringLiteral("miX"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->caption, QStringLiteral("A \"b\" c"));
    EXPECT_EQ(e->icon, QStringLiteral("new"));
    EXPECT_EQ(layout->band(Bar)->entries.size(), 2);
}

// The whole caption is checked on the main window, in both languages.
// Every menu entry ends in exactly one access key, "Caption(&K)", and no key comes twice
// in one menu (the menu bar counts as a menu), in both shipped files and the built-in layout.
TEST(LayoutFile, EveryMenuEntryHasOneAccessKeyUniqueInItsMenu) {
    static const QRegularExpression suffix(QStringLiteral("\\(&([^&)])\\)(\\t.*)?$"));
    auto check = [](const QList<LayoutEntry>& entries, const QString& where) {
        QHash<QChar, QString> seen;
        for (const LayoutEntry& e : entries) {
            if (e.kind == LayoutEntry::Separator)
                continue;
            const QRegularExpressionMatch m = suffix.match(e.caption);
            EXPECT_TRUE(m.hasMatch()) << where.toStdString() << ": " << e.caption.toStdString();
            EXPECT_EQ(QString(e.caption).remove(QLatin1String("&&")).count(QLatin1Char('&')), 1)
                << where.toStdString() << ": " << e.caption.toStdString();
            if (!m.hasMatch())
                continue;
            const QChar key = m.captured(1).at(0).toUpper();
            EXPECT_FALSE(seen.contains(key)) << where.toStdString() << ": " << e.caption.toStdString() << " and "
                                             << seen.value(key).toStdString();
            seen.insert(key, e.caption);
        }
    };
    const std::pair<QString, Layout> layouts[] = {{QStringLiteral("built-in"), BuiltInLayout()},
                                                  {LayoutFileName(English), LoadLayout(BinDir(), English, nullptr)},
                                                  {LayoutFileName(Chinese), LoadLayout(BinDir(), Chinese, nullptr)}};
    for (const auto& [name, layout] : layouts) {
        const QList<LayoutEntry>& bar = layout.band(Bar)->entries;
        check(bar, name + QStringLiteral(" menu bar"));
        for (const LayoutEntry& menu : bar)
            check(menu.children, name + QLatin1Char(' ') + menu.id);
    }
}

TEST(Caption, FilePartFollowsTheLastSeparator) {
    struct {
        const char* name;
        const char* part;
    } cases[] = {{"Untitled", "Untitled"},
                 {"C:\\data\\radio1.dat", "radio1.dat"},
                 {"/home/u/radio2.dat", "radio2.dat"},
                 {"plain.dat", "plain.dat"},
                 {"/mixed\\dir/x.dat", "x.dat"},
                 {"C:\\data\\", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(FilePartOfName(QString::fromUtf8(c.name)), QString::fromUtf8(c.part)) << c.name;
}

TEST(CommandTips, CaptionsLoseTheirAccessKeysAndUnknownIdsFallBackToThem) {
    const std::pair<const char*, const char*> captions[] = {{"Read from Radio(&R)", "Read from Radio"},
                                                            {"&Write to Radio(&W)", "Write to Radio"},
                                                            {"&Radio Information ", "Radio Information"},
                                                            {"About...(&A)", "About..."},
                                                            {"Tom && Jerry", "Tom & Jerry"},
                                                            {"打开(&O)", "打开"},
                                                            {"TreeView", "TreeView"}};
    for (const auto& [in, out] : captions)
        EXPECT_EQ(CaptionWithoutAccessKey(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    EXPECT_EQ(CommandStatusTip(QStringLiteral("miImportCsv"), QStringLiteral("Import Channels(&I)"), Chinese),
              QStringLiteral("Import Channels"));
    EXPECT_EQ(CommandStatusTip(QStringLiteral("miOpen"), QStringLiteral("Open(&O)"), Chinese),
              QString::fromUtf8("打开数据文件 (.dat 或 .yaml)"));
    EXPECT_EQ(CommandToolTip(QStringLiteral("miUserGuide"), QStringLiteral("User Guide")),
              QStringLiteral("User Guide (F1)"));
    EXPECT_EQ(CommandToolTip(QStringLiteral("miAbout"), QStringLiteral("About")), QStringLiteral("About"));
    EXPECT_EQ(CommandToolTip(QStringLiteral("miRead"), QStringLiteral("Read")), QStringLiteral("Read"));
}
