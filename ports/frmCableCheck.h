#pragma once
// Help > Check Cable…: runs the cable check on the chosen port and shows each
// finding with its fix. In demo mode it first explains that the virtual radios need
// no cable (a virtual radio chosen as the port: only the system is checked).
#include "core/AppContext.h"

#include <QDialog>

class QPushButton;
class QTextBrowser;

namespace kestrel {

class CableDoctor;
class VirtualRadios;

class frmCableCheck : public QDialog {
    Q_OBJECT
public:
    // Starts the check of the chosen port at once: app.networkPort when there is
    // one, else the port app.portNumber stands for.
    explicit frmCableCheck(const AppContext& app, QWidget* parent = nullptr,
                           const VirtualRadios* radios = nullptr);

    QTextBrowser* txtReport = nullptr;
    QPushButton* cmdAgain = nullptr;
    QPushButton* cmdClose = nullptr;

    void CheckAgain();
    bool checking() const;

signals:
    void checked();

private:
    void showReport();

    const AppContext& m_app;
    CableDoctor* m_doctor;
    QString m_device;
    QString m_label;
    QString m_demoNote; // demo mode: what the virtual radios are
};

} // namespace kestrel
