#include "shell/MainForm.h"

#include "core/Startup.h"

#include <QCloseEvent>

namespace kestrel {

MainForm::MainForm(AppContext& app, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_store(store) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(m_app.productName);
    m_app.band = BandOfIndex(0);
    QString error;
    LoadDefaultImage(m_app.image, 0, m_app.appFolder, &error);
    m_app.band = DecodeBandLimits(m_app.image);
    resize(1000, 700);
}

void MainForm::closeEvent(QCloseEvent* event) {
    SaveRegistrySettings(m_app, m_store);
    event->accept();
}

} // namespace kestrel
