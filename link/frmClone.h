#pragma once
// The clone window: caption, progress bar, OK and Cancel over a CloneEngine.
// The main window shows it modally after CloneEngine::Start while a full read or
// write runs; it closes itself when the engine's transfer ends. Cancel or closing the
// window end the transfer at once (port closed, no event); Esc asks first, since it is
// pressed by mistake more easily. The progress bar is named after the transfer
// ("Reading", "Writing") for screen readers.
#include "core/AppContext.h"

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace kestrel {

class CloneEngine;

class frmClone : public QDialog {
    Q_OBJECT
public:
    frmClone(CloneEngine& engine, const AppContext& app, QWidget* parent = nullptr);

    // Button texts from the language flag.
    void RefreshDisplay();

    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* cmdOK() const { return m_ok; }
    QPushButton* cmdCancel() const { return m_cancel; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void syncFromEngine();

    CloneEngine& m_engine;
    const AppContext& m_app;
    QProgressBar* m_progress;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace kestrel
