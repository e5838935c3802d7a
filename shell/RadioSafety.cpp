#include "shell/RadioSafety.h"

#include "core/Backup.h"
#include "core/Log.h"
#include "link/CloneEngine.h"
#include "link/WriteVerify.h"

#include <QAction>
#include <QDir>
#include <QStatusBar>

namespace kestrel {

namespace {
// Lines of differences an error box shows; the rest is counted.
constexpr int ShownDifferences = 30;
} // namespace

RadioSafety::RadioSafety(AppContext& app, SettingsStore& store, Prompter& prompter, CloneEngine& engine,
                         QStatusBar* statusBar)
    : m_app(app), m_store(store), m_prompter(prompter), m_engine(engine), m_statusBar(statusBar) {}

void RadioSafety::BackupAfterRead() {
    const int band = m_engine.radioBand() < 0 ? 0 : m_engine.radioBand();
    BackupResult result;
    MemoryImage file;
    if (ReadResultImage(m_app.image, band, m_app.appFolder, &file, &result.error))
        result = WriteBackup(file, band, m_app.backupFolder, m_app.backupDays);
    if (!result.ok)
        qCWarning(logUi).noquote() << "no backup:" << result.error;
    m_statusBar->showMessage(BackupReport(result, m_app.language));
}

QString RadioSafety::BackupFolderForOpen() const {
    QDir().mkpath(m_app.backupFolder);
    return m_app.backupFolder;
}

void RadioSafety::ToggleVerifyAfterWrite() {
    m_app.verifyAfterWrite = !m_app.verifyAfterWrite;
    if (!StoreVerifyAfterWrite(m_app.verifyAfterWrite, m_store))
        qCWarning(logUi).noquote() << "could not remember Verify After Write in" << m_store.location();
}

void RadioSafety::RefreshChecks(const QList<QAction*>& entries) const {
    for (QAction* a : entries)
        a->setChecked(m_app.verifyAfterWrite);
}

bool RadioSafety::ReportVerify(const MemoryImage& sent) {
    const VerifyResult result = CheckReadBack(m_engine, sent, m_app.language);
    switch (result.status) {
    case VerifyResult::Status::Matched:
        return true;
    case VerifyResult::Status::Differs:
        m_prompter.inform(m_app.productName,
                          VerifyFailedText(result.differences, m_app.language, ShownDifferences),
                          Prompter::Icon::Critical);
        return false;
    case VerifyResult::Status::NotVerified:
        break;
    }
    m_statusBar->showMessage(Pick(m_app.language, "The write was not verified: the radio was not read back.",
                                  "写入未经校验：未能回读电台。"));
    return false;
}

} // namespace kestrel
