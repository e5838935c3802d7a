#include "shell/ChannelListCommands.h"

#include "channels/ChannelLists.h"
#include "core/ImageHistory.h"
#include "core/SafeFile.h"
#include "shell/Caption.h"
#include "shell/StatusNote.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>

namespace kestrel {

namespace {
constexpr TextPair ImportStep{"Import Channels", "导入信道"};

// "radio1.csv" beside the open file's name, for the save dialog.
QString ListNameFor(const QString& imageName) {
    const QString base = QFileInfo(FilePartOfName(imageName)).completeBaseName();
    return (base.isEmpty() ? QStringLiteral("channels") : base) + QStringLiteral(".csv");
}
} // namespace

bool ImportChannels(AppContext& app, Prompter& prompter, QMainWindow* window,
                    const std::function<void()>& refresh) {
    const Language l = app.language;
    const QString path = prompter.openFileName(
        QString(), Pick(l, "Channel lists (*.csv);;All files (*)", "信道列表 (*.csv);;所有文件 (*)"));
    if (path.isEmpty())
        return false;
    ImportReport report;
    {
        const RecordedStep step(app.changes, app.image, StepOf(ImportStep));
        report = ImportChannelListFile(app.image, path, ListFormat::Auto);
    }
    const QString name = QFileInfo(path).fileName();
    if (report.refused()) {
        prompter.inform(app.productName, report.text(l, name), Prompter::Icon::Exclamation);
        return false;
    }
    if (refresh)
        refresh();
    ShowStatusNote(
        window, Pick(l, "Imported %1 rows from %2", "已从 %2 导入 %1 行").arg(report.rowsApplied).arg(name));
    // Names and comments left behind are no cause for alarm; corrections and skips are.
    const int troubles =
        report.count(ListNote::Corrected) + report.count(ListNote::NotTaken) + report.count(ListNote::Skipped);
    prompter.inform(app.productName, report.text(l, name),
                    troubles == 0 ? Prompter::Icon::Information : Prompter::Icon::Exclamation);
    return true;
}

bool ExportChannels(const AppContext& app, Prompter& prompter, QMainWindow* window) {
    const Language l = app.language;
    // The file types, in the order of the dialog.
    const ListFormat formats[] = {ListFormat::Kestrel, ListFormat::Chirp};
    const QStringList filters{app.productName + QStringLiteral(" CSV (*.csv)"),
                              QStringLiteral("CHIRP CSV (*.csv)")};
    int chosen = 0;
    const QString path = prompter.saveFileNameOfType(ListNameFor(app.currentFileName), filters, &chosen);
    if (path.isEmpty())
        return false;
    const ListFormat format = formats[qBound(0, chosen, 1)];
    QString reason;
    if (IsSpecialFile(path)) {
        prompter.inform(app.productName, NotRegularFileText(path, l), Prompter::Icon::Critical);
        return false;
    }
    if (!WriteChannelListFile(path, ExportChannelList(app.image, format, l), &reason)) {
        prompter.inform(
            app.productName,
            Pick(l, "Cannot write %1: %2", "无法写入 %1：%2").arg(QDir::toNativeSeparators(path), reason),
            Prompter::Icon::Critical);
        return false;
    }
    ShowStatusNote(window, Pick(l, "Exported %1 channels to %2 (%3)", "已导出 %1 个信道到 %2（%3）")
                               .arg(ChannelsInUse(app.image))
                               .arg(QFileInfo(path).fileName(), ListFormatName(format)));
    // What the format cannot say is told, a line per channel.
    const QList<BilingualText> lost = ExportNotes(app.image, format);
    if (!lost.isEmpty()) {
        QStringList lines{Pick(l, "Exported to %1 (%2). Not kept by this format:", "已导出到 %1（%2）。此格式不保存：")
                              .arg(QFileInfo(path).fileName(), ListFormatName(format))};
        for (const BilingualText& line : lost)
            lines << QStringLiteral("• ") + line(l);
        prompter.inform(app.productName, lines.join(QLatin1Char('\n')), Prompter::Icon::Information);
    }
    return true;
}

} // namespace kestrel
