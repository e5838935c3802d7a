#include "settings/FrmKey.h"

#include "settings/ViewSupport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

using namespace settings;

namespace {

// A function list holds the codes as item data, so a selection stores its code
// whatever the language and whichever codes the list leaves out.
void FillFunctions(QComboBox* list, const QStringList& texts, const QList<int>& codes) {
    const QVariant code = list->currentData();
    list->clear();
    for (int c : codes)
        list->addItem(texts.value(c), c);
    if (code.isValid())
        list->setCurrentIndex(list->findData(code));
}

void SelectCode(QComboBox* list, int code) {
    const int position = list->findData(code);
    list->setCurrentIndex(position >= 0 ? position : 0);
}

int CodeOf(const QComboBox* list) {
    const QVariant code = list->currentData();
    return code.isValid() ? code.toInt() : 0;
}

} // namespace

FrmKey::FrmKey(AppContext& app, Prompter&, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("FrmKey"));
    setModal(true);
    buildControls();
    RefreshDisplay();
    setValues(LoadKeys(m_app.image));
}

void FrmKey::buildControls() {
    auto row = [](QGroupBox* frame, QGridLayout* grid, int r, QLabel*& label, QComboBox*& list,
                  const char* labelName, const char* listName) {
        label = Make<QLabel>(frame, QString::fromLatin1(labelName));
        list = Make<QComboBox>(frame, QString::fromLatin1(listName));
        label->setBuddy(list);
        grid->addWidget(label, r, 0);
        grid->addWidget(list, r, 1);
        grid->setColumnStretch(1, 1);
    };
    fraKey1 = Make<QGroupBox>(this, QStringLiteral("fraKey1"));
    auto* g1 = new QGridLayout(fraKey1);
    row(fraKey1, g1, 0, lblKey1Press, cboKey1Press, "lblKey1Press", "cboKey1Press");
    row(fraKey1, g1, 1, lblKey1Hold, cboKey1Hold, "lblKey1Hold", "cboKey1Hold");
    fraKey2 = Make<QGroupBox>(this, QStringLiteral("fraKey2"));
    auto* g2 = new QGridLayout(fraKey2);
    row(fraKey2, g2, 0, lblKey2Press, cboKey2Press, "lblKey2Press", "cboKey2Press");
    row(fraKey2, g2, 1, lblKey2Hold, cboKey2Hold, "lblKey2Hold", "cboKey2Hold");
    fraTopKey = Make<QGroupBox>(this, QStringLiteral("fraTopKey"));
    auto* g3 = new QGridLayout(fraTopKey);
    row(fraTopKey, g3, 0, lblTopKey, cboTopKey, "lblTopKey", "cboTopKey");

    lblLongPress = Make<QLabel>(this, QStringLiteral("lblLongPress"));
    cboLongPress = Make<QComboBox>(this, QStringLiteral("cboLongPress"));
    lblLongPress->setBuddy(cboLongPress);
    auto* duration = new QHBoxLayout;
    duration->addWidget(lblLongPress);
    duration->addWidget(cboLongPress, 1);

    cmdOK = Make<QPushButton>(this, QStringLiteral("cmdOK"));
    cmdCancel = Make<QPushButton>(this, QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraKey1);
    layout->addWidget(fraKey2);
    layout->addWidget(fraTopKey);
    layout->addLayout(duration);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &FrmKey::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmKey::RefreshDisplay() {
    const Language l = m_app.language;
    const QString keyFunction = LoadText(KeyText::KeyFunction, l);
    setWindowTitle(keyFunction);
    fraKey1->setTitle(keyFunction + QStringLiteral("-1"));
    fraKey2->setTitle(keyFunction + QStringLiteral("-2"));
    fraTopKey->setTitle(LoadText(KeyText::TopKey, l));
    for (QLabel* press : {lblKey1Press, lblKey2Press, lblTopKey})
        press->setText(LoadText(KeyText::Press, l));
    for (QLabel* hold : {lblKey1Hold, lblKey2Hold})
        hold->setText(LoadText(KeyText::Hold, l));
    lblLongPress->setText(LoadText(KeyText::LongPress, l));
    cmdOK->setText(LoadText(1102, l));
    cmdCancel->setText(LoadText(1103, l));

    const QStringList functions = KeyFunctionTexts(l);
    for (QComboBox* list : {cboKey1Press, cboKey2Press})
        FillFunctions(list, functions, ShortPressCodes());
    for (QComboBox* list : {cboKey1Hold, cboKey2Hold})
        FillFunctions(list, functions, LongPressCodes());
    QList<int> alarmCodes;
    for (int c = 0; c < AlarmFunctionCount; ++c)
        alarmCodes << c;
    FillFunctions(cboTopKey, AlarmFunctionTexts(l), alarmCodes);
    FillList(cboLongPress, DurationTexts());
}

void FrmKey::setValues(const KeyValues& v) {
    SelectCode(cboKey1Press, v.side1Press);
    SelectCode(cboKey1Hold, v.side1Hold);
    SelectCode(cboKey2Press, v.side2Press);
    SelectCode(cboKey2Hold, v.side2Hold);
    SelectCode(cboTopKey, v.topKey);
    cboLongPress->setCurrentIndex(v.duration);
}

KeyValues FrmKey::values() const {
    KeyValues v;
    v.side1Press = CodeOf(cboKey1Press);
    v.side1Hold = CodeOf(cboKey1Hold);
    v.side2Press = CodeOf(cboKey2Press);
    v.side2Hold = CodeOf(cboKey2Hold);
    v.topKey = CodeOf(cboTopKey);
    v.duration = qMax(0, cboLongPress->currentIndex());
    return v;
}

void FrmKey::cmdOK_Click() {
    {
        const RecordedStep step(m_app.changes, m_app.image, StepOf({"Key Assignment", "侧键设定"}));
        StoreKeys(m_app.image, values());
    }
    accept();
}

} // namespace kestrel
