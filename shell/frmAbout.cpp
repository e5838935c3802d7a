#include "shell/frmAbout.h"

#include "core/About.h"
#include "shell/Icons.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

frmAbout::frmAbout(const AppContext& app, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(AboutCaption(app));
    setWindowIcon(AppIcon());
    lblIcon = new QLabel(this);
    lblIcon->setObjectName(QStringLiteral("lblIcon"));
    lblIcon->setPixmap(AppIcon().pixmap(64, 64));
    lblIcon->setAlignment(Qt::AlignTop);
    lblAbout = new QLabel(this);
    lblAbout->setObjectName(QStringLiteral("lblAbout"));
    lblAbout->setTextFormat(Qt::PlainText);
    // The label shows the text as the radio tool always has: line breaks as CR LF and
    // the product name's "&" doubled. A plain-text label shows "&&" literally, so show
    // the single "&" while the label keeps the exact text as its accessible description.
    const QString text = AboutText(app, QDate::currentDate().year());
    lblAbout->setAccessibleDescription(text);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1String("&&"), QLatin1String("&"));
    lblAbout->setText(shown);
    lblLicence = new QLabel(LicenceNotice(app.language), this);
    lblLicence->setObjectName(QStringLiteral("lblLicence"));
    lblLicence->setTextFormat(Qt::PlainText);
    lblLicence->setWordWrap(true);
    lblLicence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblLicence->setAccessibleName(Pick(app.language, "Licence", "许可证"));
    cmdOK = new QPushButton(LoadText(1102, app.language), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    body->addWidget(lblIcon);
    body->addSpacing(12);
    body->addWidget(lblAbout, 1);
    layout->addLayout(body);
    layout->addWidget(lblLicence);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    layout->addLayout(buttons);
}

} // namespace kestrel
