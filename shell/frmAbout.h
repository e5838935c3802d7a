#pragma once
// The about box: the program's icon, product, version, release date and the rights notice.
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
    QPushButton* cmdOK;
};

} // namespace kestrel
