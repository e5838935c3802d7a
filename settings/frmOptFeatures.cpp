#include "settings/frmOptFeatures.h"

#include "settings/ViewSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QShortcut>

namespace kestrel {

using namespace settings;

namespace {
// The general selectors top to bottom.
constexpr int GenOrder[] = {0, 1, 2, 8, 5, 7, 9};
constexpr int TimeOut = 0, Squelch = 1, Beep = 2, ScanMode = 5, BatterySave = 7, Voice = 8, ToneBurst = 9;
constexpr int VoxFunction = 2, VoxGain = 0, VoxDelay = 1;
constexpr int VoxOrder[] = {VoxFunction, VoxGain, VoxDelay};
} // namespace

frmOptFeatures::frmOptFeatures(AppContext& app, Prompter&, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("frmOptFeatures"));
    setModal(true);
    buildControls();
    RefreshDisplay();
    setValues(LoadOptFeatures(m_app.image));
}

void frmOptFeatures::buildControls() {
    fraGenFunction = Make<QGroupBox>(this, QStringLiteral("fraGenFunction"));
    auto* gen = new QGridLayout(fraGenFunction);
    int row = 0;
    for (int i : GenOrder) {
        lblFeatureGen[i] = Make<QLabel>(fraGenFunction, ArrayName("lblFeatureGen", i));
        cboFeatureGen[i] = Make<QComboBox>(fraGenFunction, ArrayName("cboFeatureGen", i));
        lblFeatureGen[i]->setBuddy(cboFeatureGen[i]);
        cboFeatureGen[i]->installEventFilter(this);
        gen->addWidget(lblFeatureGen[i], row, 0);
        gen->addWidget(cboFeatureGen[i], row, 1);
        ++row;
    }
    ChkSet19 = Make<QCheckBox>(fraGenFunction, QStringLiteral("ChkSet19"));
    gen->addWidget(ChkSet19, row, 0, 1, 2);

    fraVOX = Make<QGroupBox>(this, QStringLiteral("fraVOX"));
    auto* vox = new QGridLayout(fraVOX);
    row = 0;
    for (int i : VoxOrder) {
        lblFeatureVox[i] = Make<QLabel>(fraVOX, ArrayName("lblFeatureVox", i));
        cboFeatureVox[i] = Make<QComboBox>(fraVOX, ArrayName("cboFeatureVox", i));
        lblFeatureVox[i]->setBuddy(cboFeatureVox[i]);
        cboFeatureVox[i]->installEventFilter(this);
        vox->addWidget(lblFeatureVox[i], row, 0);
        vox->addWidget(cboFeatureVox[i], row, 1);
        ++row;
    }
    vox->setRowStretch(row, 1);

    cmdOK = Make<QPushButton>(this, QStringLiteral("cmdOK"));
    cmdCancel = Make<QPushButton>(this, QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdOK, cmdCancel})
        b->setAutoDefault(false);

    auto* frames = new QHBoxLayout;
    frames->addWidget(fraGenFunction);
    frames->addWidget(fraVOX);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(buttons);

    connect(cboFeatureVox[VoxFunction], qOverload<int>(&QComboBox::currentIndexChanged), this,
            &frmOptFeatures::voxChosen);
    // Enter moves on to the next field here; Ctrl+Enter presses OK as a click would.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter))})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [button = cmdOK] {
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        });
    connect(cmdOK, &QPushButton::clicked, this, &frmOptFeatures::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmOptFeatures::RefreshDisplay() {
    const Language l = m_app.language;
    setWindowTitle(OptFeaturesText::Caption(l));
    fraGenFunction->setTitle(Pick(l, "General Setting", "整机功能设置"));
    fraVOX->setTitle(Pick(l, "VOX", "VOX(声控发射)"));

    lblFeatureGen[TimeOut]->setText(OptFeaturesText::TimeOut(l));
    lblFeatureGen[Squelch]->setText(OptFeaturesText::Squelch(l));
    lblFeatureGen[Beep]->setText(OptFeaturesText::Beep(l));
    lblFeatureGen[Voice]->setText(OptFeaturesText::Voice(l));
    lblFeatureGen[ScanMode]->setText(OptFeaturesText::ScanMode(l));
    lblFeatureGen[BatterySave]->setText(OptFeaturesText::BatterySave(l));
    lblFeatureGen[ToneBurst]->setText(OptFeaturesText::ToneBurst(l));
    ChkSet19->setText(OptFeaturesText::ResetProhibition(l));
    lblFeatureVox[VoxFunction]->setText(OptFeaturesText::VoxFunction(l));
    lblFeatureVox[VoxGain]->setText(OptFeaturesText::VoxGain(l));
    lblFeatureVox[VoxDelay]->setText(OptFeaturesText::VoxDelay(l));
    cmdOK->setText(LoadText(1102, l));
    cmdCancel->setText(LoadText(1103, l));

    FillList(cboFeatureGen[TimeOut], TimeOutItems(l));
    FillList(cboFeatureGen[Squelch], SquelchItems());
    FillList(cboFeatureGen[Beep], OffOnItems(l));
    FillList(cboFeatureGen[Voice], VoiceItems(l));
    FillList(cboFeatureGen[ScanMode], ScanModeItems());
    FillList(cboFeatureGen[BatterySave], OffOnItems(l));
    FillList(cboFeatureGen[ToneBurst], ToneBurstItems());
    FillList(cboFeatureVox[VoxFunction], OffOnItems(l));
    FillList(cboFeatureVox[VoxGain], VoxGainItems());
    FillList(cboFeatureVox[VoxDelay], VoxDelayItems());
}

void frmOptFeatures::setValues(const OptFeaturesValues& v) {
    cboFeatureGen[TimeOut]->setCurrentIndex(v.timeOut);
    cboFeatureGen[Squelch]->setCurrentIndex(v.squelch);
    cboFeatureGen[Beep]->setCurrentIndex(v.beep);
    cboFeatureGen[ScanMode]->setCurrentIndex(v.scanMode);
    cboFeatureGen[BatterySave]->setCurrentIndex(v.batterySave);
    cboFeatureGen[Voice]->setCurrentIndex(v.voice);
    cboFeatureGen[ToneBurst]->setCurrentIndex(v.toneBurst);
    ChkSet19->setChecked(v.resetProhibited);
    cboFeatureVox[VoxFunction]->setCurrentIndex(v.vox);
    cboFeatureVox[VoxGain]->setCurrentIndex(v.voxGain);
    cboFeatureVox[VoxDelay]->setCurrentIndex(v.voxDelay);
    voxChosen(v.vox);
}

OptFeaturesValues frmOptFeatures::values() const {
    OptFeaturesValues v;
    v.timeOut = cboFeatureGen[TimeOut]->currentIndex();
    v.squelch = cboFeatureGen[Squelch]->currentIndex();
    v.beep = cboFeatureGen[Beep]->currentIndex();
    v.scanMode = cboFeatureGen[ScanMode]->currentIndex();
    v.batterySave = cboFeatureGen[BatterySave]->currentIndex();
    v.voice = cboFeatureGen[Voice]->currentIndex();
    v.toneBurst = cboFeatureGen[ToneBurst]->currentIndex();
    v.resetProhibited = ChkSet19->isChecked();
    v.vox = cboFeatureVox[VoxFunction]->currentIndex();
    v.voxGain = cboFeatureVox[VoxGain]->currentIndex();
    v.voxDelay = cboFeatureVox[VoxDelay]->currentIndex();
    return v;
}

void frmOptFeatures::voxChosen(int position) {
    const bool on = position == 1;
    cboFeatureVox[VoxGain]->setEnabled(on);
    cboFeatureVox[VoxDelay]->setEnabled(on);
}

void frmOptFeatures::cmdOK_Click() {
    {
        const RecordedStep step(m_app.changes, m_app.image, StepOf({"Optional Features", "可选功能"}));
        StoreOptFeatures(m_app.image, values());
    }
    accept();
}

bool frmOptFeatures::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && IsEnter(static_cast<QKeyEvent*>(event)) &&
        qobject_cast<QComboBox*>(watched)) {
        focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kestrel
