#pragma once
// The model information dialog: the model type byte. A changed selection is written
// on OK only after the user confirms the warning.
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace kestrel {

class frmModelInfo : public QDialog {
    Q_OBJECT
public:
    frmModelInfo(AppContext& app, Prompter& prompter, QWidget* parent = nullptr);

    QLabel* lblModelType = nullptr;
    QComboBox* cboModelType = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void cmdOK_Click();

    AppContext& m_app;
    Prompter& m_prompter;
    int m_openedPosition = 0;
};

} // namespace kestrel
