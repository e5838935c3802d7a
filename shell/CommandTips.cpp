#include "shell/CommandTips.h"

#include <QRegularExpression>

namespace kestrel {

namespace {
struct Tip {
    const char* id;
    TextPair text;
};

// clang-format off
const Tip Tips[] = {
    {"miNew", {"Replace the data with the default data of the band", "用本频段的默认数据替换当前数据"}},
    {"miClose", {"Close the file and start again from the default data of the band", "关闭文件，恢复本频段的默认数据"}},
    {"miOpen", {"Open a data file (.dat or .yaml)", "打开数据文件 (.dat 或 .yaml)"}},
    {"miSave", {"Save the data to a file (.dat or .yaml)", "将数据保存到文件 (.dat 或 .yaml)"}},
    {"miImportChannels", {"Apply a channel list (Kestrel or CHIRP CSV) to the channels", "将信道列表（Kestrel 或 CHIRP CSV）导入信道"}},
    {"miExportChannels", {"Save the channels as a channel list (Kestrel or CHIRP CSV)", "将信道另存为信道列表（Kestrel 或 CHIRP CSV）"}},
    {"miPrint", {"Print the channel list", "打印信道列表"}},
    {"miPrintPreview", {"Show the printed channel list before printing", "打印前预览信道列表"}},
    {"miRecent", {"Open one of the files used last", "打开最近使用的文件"}},
    {"miExit", {"Quit the program", "退出程序"}},
    {"miModel", {"Show the model information", "查看机型信息"}},
    {"miChannel", {"Edit the channels", "编辑信道"}},
    {"miCommonSet", {"Edit the optional features", "编辑可选功能"}},
    {"miDTMF", {"Edit the DTMF and PTT ID settings", "编辑 DTMF 和 PTT ID 设置"}},
    {"miKeySet", {"Assign the functions of the side keys", "设定侧键功能"}},
    {"miMessage", {"Read or write the radio's embedded message", "读取或写入对讲机的嵌入信息"}},
    {"miBatch", {"Fill a range of channels by rule", "按规则批量填写信道"}},
    {"miRead", {"Read the data from the radio", "从对讲机读取数据"}},
    {"miWrite", {"Write the data to the radio", "向对讲机写入数据"}},
    {"miFleetWrite", {"Write the data into many radios at once", "同时向多台对讲机写入数据"}},
    {"miComPort", {"Choose the serial port of the programming cable", "选择写频线所接的串口"}},
    {"miChinese", {"Show the program in Chinese", "以中文显示程序"}},
    {"miEnglish", {"Show the program in English", "以英文显示程序"}},
    {"miTreeView", {"Show or hide the navigation tree", "显示或隐藏树形视图"}},
    {"miToolBar", {"Show or hide the tool bar", "显示或隐藏工具栏"}},
    {"miStatusBar", {"Show or hide the status bar", "显示或隐藏状态栏"}},
    {"miCascade", {"Arrange the windows in a cascade", "层叠排列窗口"}},
    {"miTileV", {"Arrange the windows side by side", "垂直平铺窗口"}},
    {"miTileH", {"Arrange the windows one above the other", "水平平铺窗口"}},
    {"miArrange", {"Line up the minimised windows", "排列最小化窗口的图标"}},
    {"miUserGuide", {"Open the user guide in the browser", "在浏览器中打开用户指南"}},
    {"miAbout", {"Version, release and licence of the program", "程序的版本、发布和许可证信息"}},
};
// clang-format on

struct Shortcut {
    const char* id;
    const char* keys;
};
const Shortcut Shortcuts[] = {{"miNew", "Ctrl+N"},   {"miOpen", "Ctrl+O"}, {"miSave", "Ctrl+S"},
                              {"miPrint", "Ctrl+P"}, {"miExit", "Ctrl+Q"}, {"miUserGuide", "F1"}};
} // namespace

QString CaptionWithoutAccessKey(const QString& caption) {
    static const QRegularExpression suffix(QStringLiteral("\\(&[^)]\\)"));
    QString text = caption;
    text.remove(suffix);
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            out += text[++i]; // "&&" stands for "&", "&X" for X
            continue;
        }
        if (text[i] != QLatin1Char('&'))
            out += text[i];
    }
    return out.trimmed();
}

QString CommandStatusTip(const QString& id, const QString& caption, Language language) {
    for (const Tip& t : Tips)
        if (id == QLatin1String(t.id))
            return t.text(language);
    return CaptionWithoutAccessKey(caption);
}

QString CommandToolTip(const QString& id, const QString& caption) {
    const QString keys = CommandShortcut(id);
    const QString text = CaptionWithoutAccessKey(caption);
    return keys.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, keys);
}

QString CommandShortcut(const QString& id) {
    for (const Shortcut& s : Shortcuts)
        if (id == QLatin1String(s.id))
            return QString::fromLatin1(s.keys);
    return QString();
}

} // namespace kestrel
