#pragma once
// The about box: the program's icon, product, version, release date, the rights notice and the licence.
#include "core/AppContext.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace kestrel {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const AppContext& app, QWidget* parent = nullptr);

    QLabel* lblIcon; // the program's icon
    QLabel* lblAbout;
    QLabel* lblLicence; // the GPL notice
    QPushButton* cmdOK;
};

} // namespace kestrel
