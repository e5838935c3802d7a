// The main window's file commands that came after the written ones: opening a file
// named on the command line, dropped on the window or chosen from Recent Files, and
// File > Close. Each ends with a short note in the status bar.
#include "shell/MainForm.h"

#include "channels/frmChannel.h"
#include "core/Band.h"
#include "shell/Caption.h"
#include "shell/EditCommands.h"
#include "shell/RadioTextFiles.h"
#include "shell/RecentFilesMenu.h"
#include "shell/StatusNote.h"

#include <QDir>
#include <QFileInfo>

namespace kestrel {

bool MainForm::OfferToSave() {
    SaveData(); // a value typed into the grid counts for the modified check
    if (!m_app.image.IsImageModified())
        return true;
    const auto answer =
        m_prompter.message(m_app.productName, LoadText(1111, m_app.language), Prompter::Icon::Exclamation,
                           Prompter::Buttons::YesNoCancel, Prompter::Answer::Yes);
    if (answer == Prompter::Answer::Cancel)
        return false;
    // Only a save that succeeded lets the user's image be replaced.
    return answer == Prompter::Answer::No || FileSave();
}

bool MainForm::OpenPath(const QString& path) {
    // Kept absolute, so the caption, the dialogs and Recent Files point at the same file
    // whatever the working folder was.
    const QString full = QFileInfo(path).absoluteFilePath();
    QString error;
    // A radio text that holds any error loads nothing.
    if (!LoadDataOrTextFile(m_app, full, m_app.image, &error)) {
        ShowLoadError(error);
        return false;
    }
    editCommands->clearHistory(); // another file is another document
    m_app.currentFileName = full;
    m_app.band = DecodeBandLimits(m_app.image);
    RefreshData();
    m_app.image.TakeImageSnapshot();
    setWindowTitle(ModifyCaption());
    m_app.radioReadFlag = false;
    RememberFile(full);
    ShowStatusNote(this, Pick(m_app.language, "Opened %1", "已打开 %1").arg(FilePartOfName(full)));
    return true;
}

void MainForm::OpenOtherFile(const QString& path) {
    SaveData();
    if (OfferToSave())
        OpenPath(path);
}

void MainForm::OpenRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        m_prompter.inform(m_app.productName,
                          Pick(m_app.language, "The file %1 no longer exists; it is taken off the list.",
                               "文件 %1 已不存在，已从列表中删除。")
                              .arg(QDir::toNativeSeparators(path)),
                          Prompter::Icon::Exclamation);
        m_memory.recentFiles = WithoutRecentFile(m_memory.recentFiles, path);
        m_recent->setFiles(m_memory.recentFiles);
        WriteRecentFiles(m_store, m_memory.recentFiles);
        return;
    }
    OpenOtherFile(path);
}

void MainForm::CloseCommand() {
    SaveData();
    if (!OfferToSave())
        return;
    const QString closed = m_app.currentFileName;
    QString error;
    if (!LoadDefaultImage(m_app.image, m_app.band.index, m_app.appFolder, &error)) {
        ShowLoadError(error);
        return;
    }
    editCommands->clearHistory(); // a closed file's steps belong to it
    m_app.currentFileName = QStringLiteral("Untitled");
    m_app.band = DecodeBandLimits(m_app.image);
    RefreshData();
    m_app.image.TakeImageSnapshot();
    UpdateCaption();
    m_app.radioReadFlag = false;
    if (closed != QLatin1String("Untitled"))
        ShowStatusNote(this, Pick(m_app.language, "Closed %1", "已关闭 %1").arg(FilePartOfName(closed)));
}

void MainForm::UpdateCaption() {
    const QString caption = ModifyCaption();
    if (windowTitle() != caption)
        setWindowTitle(caption);
}

void MainForm::RememberFile(const QString& path) {
    m_memory.recentFiles = WithRecentFile(m_memory.recentFiles, path);
    m_recent->setFiles(m_memory.recentFiles);
    WriteRecentFiles(m_store, m_memory.recentFiles);
}

} // namespace kestrel
