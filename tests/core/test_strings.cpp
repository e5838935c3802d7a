#include "core/About.h"
#include "core/StringTable.h"
#include "core/Tone.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kestrel;

TEST(StringTable, EveryNumberTheProgramAsksForExistsInBothLanguages) {
    const int numbers[] = {1100, 1101, 1102, 1103, 1104, 1106, 1108, 1111, 1200, 1201, 1202, 1203, 1211,
                           1212, 1213, 1214, 1215, 1216, 1217, 1218, 1219, 1220, 1221, 1227, 1229, 1239,
                           1240, 1242, 1243, 1247, 1250, 1252, 1255, 1308, 1309, 1323, 1324, 1325, 1326,
                           1327, 1328, 1329, 1334, 1400, 1404, 1408, 1410, 1415, 1451, 1456, 1457, 1458,
                           1461, 1469, 1601, 1602, 1603, 1657, 1658, 1681, 1682, 1683, 1684, 1685, 1686,
                           1687, 1688, 1689, 1690, 1691, 1693, 1694, 1695, 1696, 1697};
    EXPECT_EQ(std::size(numbers), 75u);
    for (int n : numbers) {
        EXPECT_TRUE(HasText(n)) << n;
        EXPECT_TRUE(HasText(n + 1000)) << n;
        EXPECT_FALSE(LoadText(n, English).isEmpty()) << n;
        EXPECT_FALSE(LoadText(n, Chinese).isEmpty()) << n;
    }
    EXPECT_EQ(TextBaseNumbers().size(), 75);
}

TEST(StringTable, QuotedTextsStandUnderTheirNumbers) {
    struct Row {
        int base;
        const char* en;
        const char* zh;
    };
    const Row rows[] = {
        {1102, "&OK", "确定(&O)"},
        {1103, "&Cancel", "取消(&C)"},
        {1104, "None", "无"},
        {1106, "File Name", "文件名"},
        {1108, "Warning", "警告"},
        {1111, "File hasn't been saved, save it now?", "文件尚未保存，是否现在保存？"},
        {1229, "Frequency is out of range.", "频率超出范围。"},
        {1308, "Model Type", "机型类型"},
        {1309, "Model Information", "机型信息"},
        {1323, "Radio Programming Software", "对讲机编程软件"},
        {1324, "For", "用于"},
        {1325, "Version", "版本"},
        {1326, "Release", "发布"},
        {1329, "Frequency data will be cleared.", "频率数据将被清除。"},
        {1334, "About", "关于"},
        {1601, "Read data from radio.", "从对讲机读取数据。"},
        {1602, "Do you wish to continue?", "是否继续？"},
        {1603, "Write data to radio.", "向对讲机写入数据。"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(LoadText(r.base, English), QString::fromUtf8(r.en)) << r.base;
        EXPECT_EQ(LoadText(r.base, Chinese), QString::fromUtf8(r.zh)) << r.base;
    }
    EXPECT_TRUE(LoadText(1999, English).isEmpty());
}

TEST(StringTable, TextPairsFollowTheFlag) {
    const TextPair p{"General", "整机设置"};
    EXPECT_EQ(p(English), QStringLiteral("General"));
    EXPECT_EQ(p(Chinese), QString::fromUtf8("整机设置"));
}

namespace {
AppContext AboutApp() {
    AppContext app;
    app.productName = QStringLiteral("Kestrel");
    app.versionMajor = 1;
    app.versionMinor = 0;
    app.versionRevision = 7;
    app.releaseDate = QStringLiteral("D");
    return app;
}
} // namespace

TEST(About, LabelTextLineByLine) {
    AppContext app = AboutApp();
    const QString text = AboutText(app, 2026);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines, (QStringList{"Kestrel Radio Programming Software", "For Kestrel", "", "Version 1.0.7",
                                  "Release D", "", LoadText(1327, English) + QStringLiteral(" 2026"),
                                  LoadText(1328, English)}));
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    EXPECT_EQ(AboutCaption(app), QStringLiteral("About Kestrel"));
}

TEST(About, EmptyReleaseDateAndAmpersandName) {
    AppContext app = AboutApp();
    app.releaseDate.clear();
    app.productName = QStringLiteral("K&R");
    app.language = Chinese;
    const QStringList lines = AboutText(app, 2026).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[4], QString::fromUtf8("发布 "));
    EXPECT_EQ(lines[0], QString::fromUtf8("K&&R 对讲机编程软件"));
    EXPECT_EQ(AboutCaption(app), QString::fromUtf8("关于 K&R"));
}

TEST(Language, SwitchChangesTheNoToneTextOnlyWhenTheLanguageChanges) {
    AppContext app;
    app.toneTable = BuildToneTable(English);
    EXPECT_FALSE(SwitchLanguage(app, English));
    EXPECT_TRUE(SwitchLanguage(app, Chinese));
    EXPECT_EQ(app.language, Chinese);
    EXPECT_EQ(app.toneTable.first(), QString::fromUtf8("无"));
    EXPECT_EQ(app.toneTable.at(1), QStringLiteral("67.0"));
    EXPECT_FALSE(SwitchLanguage(app, Chinese));
    EXPECT_TRUE(SwitchLanguage(app, English));
    EXPECT_EQ(app.toneTable.first(), QStringLiteral("None"));
}
