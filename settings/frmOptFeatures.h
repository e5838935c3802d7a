#pragma once
// The optional features dialog: general settings on the left, VOX on the right.
// Loads on opening; only OK writes the six bytes.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "settings/OptFeaturesRules.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kestrel {

class frmOptFeatures : public QDialog {
    Q_OBJECT
public:
    frmOptFeatures(AppContext& app, Prompter& prompter, QWidget* parent = nullptr);

    // Texts and lists of the current language; selections are kept.
    void RefreshDisplay();
    // What the controls show.
    OptFeaturesValues values() const;

    // Control arrays as numbered in the view; unused elements are null.
    QGroupBox* fraGenFunction = nullptr;
    QGroupBox* fraVOX = nullptr;
    QLabel* lblFeatureGen[10] = {};
    QComboBox* cboFeatureGen[10] = {};
    QCheckBox* ChkSet19 = nullptr;
    QLabel* lblFeatureVox[3] = {};
    QComboBox* cboFeatureVox[3] = {};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setValues(const OptFeaturesValues& v);
    void voxChosen(int position);
    void cmdOK_Click();

    AppContext& m_app;
};

} // namespace kestrel
