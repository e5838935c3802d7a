#pragma once
// The program's frame window.
#include "core/AppContext.h"
#include "core/Settings.h"

#include <QMainWindow>

namespace kestrel {

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    MainForm(AppContext& app, SettingsStore& store, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppContext& m_app;
    SettingsStore& m_store;
};

} // namespace kestrel
