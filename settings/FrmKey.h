#pragma once
// The key assignment dialog: side keys 1 and 2 (press, hold), the top key and the
// long-press duration. Loads on opening; only OK writes the six bytes.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "settings/KeyRules.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kestrel {

class FrmKey : public QDialog {
    Q_OBJECT
public:
    FrmKey(AppContext& app, Prompter& prompter, QWidget* parent = nullptr);

    // Texts and lists of the current language; the chosen codes are kept.
    void RefreshDisplay();
    // What the lists show (function codes, duration position).
    KeyValues values() const;

    QGroupBox* fraKey1 = nullptr;
    QGroupBox* fraKey2 = nullptr;
    QGroupBox* fraTopKey = nullptr;
    QLabel* lblKey1Press = nullptr;
    QComboBox* cboKey1Press = nullptr;
    QLabel* lblKey1Hold = nullptr;
    QComboBox* cboKey1Hold = nullptr;
    QLabel* lblKey2Press = nullptr;
    QComboBox* cboKey2Press = nullptr;
    QLabel* lblKey2Hold = nullptr;
    QComboBox* cboKey2Hold = nullptr;
    QLabel* lblTopKey = nullptr;
    QComboBox* cboTopKey = nullptr;
    QLabel* lblLongPress = nullptr;
    QComboBox* cboLongPress = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void buildControls();
    void setValues(const KeyValues& v);
    void cmdOK_Click();

    AppContext& m_app;
};

} // namespace kestrel
