#pragma once
// The radio information view: the radio's ESN, firmware and hardware versions,
// read in the background through the shared clone engine as soon as it opens.
// Alt+K turns on the service function, which lets the ESN and the hardware
// version be edited and written back.
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

class CloneEngine;

class frmEmbMsg : public QDialog {
    Q_OBJECT
public:
    // Starts the read of lines 254 and 335 (no clone window is shown).
    frmEmbMsg(CloneEngine& frm1, AppContext& app, Prompter& prompter, QWidget* parent = nullptr);
    ~frmEmbMsg() override;

    // Texts of the current language.
    void RefreshDisplay();
    // Whether Alt+K has turned the service function on.
    bool serviceMode() const { return m_service; }

    // 0 ESN, 1 firmware version, 2 hardware version.
    QLineEdit* txtMsg[3] = {};
    QLabel* lblMsg[3] = {};
    QGroupBox* fraMsg = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdWrite = nullptr;
    QPushButton* cmdClose = nullptr;

    // Closing stops a transfer still running, quietly.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartRead();
    void cmdWrite_Click();
    void EnterService();
    void OnCloneExit(int direction);
    void OnCloneError();
    void OnTransferClosed();
    void Detach();
    void SetEditable(QLineEdit* box, bool editable);
    void RefuseCharacters(QLineEdit* box, const QString& refused);
    int IndexOf(QObject* watched) const;

    CloneEngine& frm1;
    AppContext& m_app;
    bool m_attached = false;  // handling the engine's events
    bool m_started = false;   // a transfer of this view has been started
    bool m_service = false;
    QString m_remembered[3];  // box texts when they got the focus
};

} // namespace kestrel
