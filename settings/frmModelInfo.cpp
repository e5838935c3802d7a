#include "settings/frmModelInfo.h"

#include "settings/ModelInfoRules.h"
#include "settings/ViewSupport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

using namespace settings;

frmModelInfo::frmModelInfo(AppContext& app, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmModelInfo"));
    setModal(true);
    const Language l = m_app.language;
    setWindowTitle(LoadText(ModelInfoText::Caption, l));

    lblModelType = Make<QLabel>(this, QStringLiteral("lblModelType"));
    cboModelType = Make<QComboBox>(this, QStringLiteral("cboModelType"));
    lblModelType->setBuddy(cboModelType);
    lblModelType->setText(LoadText(ModelInfoText::ModelType, l));
    cboModelType->addItems(ModelTypeItems());
    cmdOK = Make<QPushButton>(this, QStringLiteral("cmdOK"));
    cmdCancel = Make<QPushButton>(this, QStringLiteral("cmdCancel"));
    cmdOK->setText(LoadText(1102, l));
    cmdCancel->setText(LoadText(1103, l));

    auto* field = new QHBoxLayout;
    field->addWidget(lblModelType);
    field->addWidget(cboModelType, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addLayout(buttons);

    m_openedPosition = ModelTypePosition(m_app.image);
    cboModelType->setCurrentIndex(m_openedPosition);

    connect(cmdOK, &QPushButton::clicked, this, &frmModelInfo::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmModelInfo::cmdOK_Click() {
    const int position = cboModelType->currentIndex();
    if (position != m_openedPosition) {
        const Language l = m_app.language;
        const Prompter::Answer answer =
            m_prompter.message(LoadText(1108, l), LoadText(1329, l), Prompter::Icon::Exclamation,
                               Prompter::Buttons::OkCancel, Prompter::Answer::Cancel);
        if (answer == Prompter::Answer::Ok) {
            const RecordedStep step(m_app.changes, m_app.image, StepOf({"Model Information", "机型信息"}));
            m_app.image.setByte(ModelInfoMap::ModelType, ModelTypeByte(position));
        }
    }
    accept();
}

} // namespace kestrel
