#pragma once
// The batch channel editor: fills a range of channels 1-16 by rule. Created on its
// first opening and then kept, so every field shows what the user left in it; Close
// only hides it.
#include "channels/ApplyBatch.h"
#include "channels/BatchFields.h"
#include "channels/ChannelNameStore.h"
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <QDialog>
#include <QHash>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrel {

class FrmBatch : public QDialog {
    Q_OBJECT
public:
    FrmBatch(AppContext& app, Prompter& prompter, QWidget* parent = nullptr);

    // Every text of the view in the current language; list selections are kept.
    void RefreshFace();

    // The fields as they stand.
    BatchValues values() const;

    // What the Apply button does: the box being edited is validated first, then the
    // batch is written into the image and applied() is emitted.
    void Apply();

    // Where the names built by Apply go.
    ChannelNameStore& nameStore() { return m_names; }

signals:
    void applied();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void nameControls(); // accessible names, from the texts just set
    void buildControls();
    void setValues(const BatchValues& v);
    void updateEnabling();
    void modeChosen(BatchMode mode);
    void validate(QLineEdit* box);
    bool filterBoxKey(QLineEdit* box, BatchField kind, QKeyEvent* key);
    void textChangedIn(QLineEdit* box, BatchField kind);
    void fillToneList(QComboBox* list);

    AppContext& m_app;
    Prompter& m_prompter;
    ToneRandom m_random;
    ChannelNameStore m_names;
    QHash<QLineEdit*, BatchField> m_boxKinds;

    QLabel* lblArea = nullptr;
    QRadioButton* optAll = nullptr;
    QRadioButton* optFrom = nullptr;
    QLineEdit* txtFirst = nullptr;
    QLabel* lblTo = nullptr;
    QLineEdit* txtLast = nullptr;

    QLabel* lblRx = nullptr;
    QLabel* lblRxStart = nullptr;
    QLineEdit* txtRxStart = nullptr;
    QLabel* lblRxStep = nullptr;
    QLineEdit* txtRxStep = nullptr;
    QRadioButton* optRxAsc = nullptr;
    QRadioButton* optRxDesc = nullptr;

    QLabel* lblTx = nullptr;
    QRadioButton* optTxDefault = nullptr;
    QRadioButton* optTxOffset = nullptr;
    QLineEdit* txtOffset = nullptr;
    QRadioButton* optPlus = nullptr;
    QRadioButton* optMinus = nullptr;
    QRadioButton* optTxStart = nullptr;
    QLineEdit* txtTxStart = nullptr;
    QLabel* lblTxStep = nullptr;
    QLineEdit* txtTxStep = nullptr;
    QRadioButton* optTxAsc = nullptr;
    QRadioButton* optTxDesc = nullptr;

    QLabel* lblDecode = nullptr;
    QLabel* lblDecodeStart = nullptr;
    QComboBox* cboDecode = nullptr;
    QCheckBox* chkDecodeRandom = nullptr;
    QLabel* lblDecodeInterval = nullptr;
    QLineEdit* txtDecodeInterval = nullptr;
    QRadioButton* optDecodeAsc = nullptr;
    QRadioButton* optDecodeDesc = nullptr;

    QLabel* lblEncode = nullptr;
    QRadioButton* optEncodeDefault = nullptr;
    QRadioButton* optEncodeOwn = nullptr;
    QComboBox* cboEncode = nullptr;
    QCheckBox* chkEncodeRandom = nullptr;
    QLabel* lblEncodeInterval = nullptr;
    QLineEdit* txtEncodeInterval = nullptr;
    QRadioButton* optEncodeAsc = nullptr;
    QRadioButton* optEncodeDesc = nullptr;

    QLabel* lblScan = nullptr;
    QComboBox* cboScan = nullptr;
    QLabel* lblPower = nullptr;
    QComboBox* cboPower = nullptr;
    QLabel* lblLockout = nullptr;
    QComboBox* cboLockout = nullptr;
    QLabel* lblName = nullptr;
    QLineEdit* txtName = nullptr;
    QCheckBox* chkNamed = nullptr;

    QPushButton* cmdApply = nullptr;
    QPushButton* cmdClose = nullptr;

    QButtonGroup* grpRange = nullptr;
    QButtonGroup* grpRxDirection = nullptr;
    QButtonGroup* grpTransmit = nullptr;
    QButtonGroup* grpSign = nullptr;
    QButtonGroup* grpTxDirection = nullptr;
    QButtonGroup* grpDecodeDirection = nullptr;
    QButtonGroup* grpEncodeMode = nullptr;
    QButtonGroup* grpEncodeDirection = nullptr;
};

} // namespace kestrel
