#include "shell/PrintCommands.h"

#include "core/SafeFile.h"
#include "shell/Caption.h"
#include "shell/ChannelListPrint.h"
#include "shell/StatusNote.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace kestrel {

namespace {
TextPair AllChannelsText{"All 128 channels", "全部 128 个信道"};
} // namespace

PrintCommands::PrintCommands(const AppContext& app, Prompter& prompter, QMainWindow* window,
                             std::function<QString()> bandText)
    : QObject(window), m_app(app), m_prompter(prompter), m_window(window), m_bandText(std::move(bandText)) {
    printDialog = [this](QPrinter& printer, bool& all) {
        const Language l = m_app.language;
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("printChannels"));
        page->setWindowTitle(Pick(l, "Channels", "信道"));
        auto* inUse = new QRadioButton(Pick(l, "Channels in use", "使用中的信道"), page);
        auto* every = new QRadioButton(AllChannelsText(l), page);
        (all ? every : inUse)->setChecked(true);
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(inUse);
        layout->addWidget(every);
        layout->addStretch();
        QPrintDialog dialog(&printer, m_window);
        dialog.setOptionTabs({page});
        if (dialog.exec() != QDialog::Accepted)
            return false;
        all = every->isChecked();
        return true;
    };
    showPreview = [](QPrintPreviewDialog& dialog) { dialog.exec(); };
}

bool PrintCommands::printOn(QPrinter& printer) {
    // A PDF is never printed over a FIFO or a device.
    if (printer.outputFormat() == QPrinter::PdfFormat && IsSpecialFile(printer.outputFileName())) {
        m_prompter.inform(m_app.productName, NotRegularFileText(printer.outputFileName(), m_app.language),
                          Prompter::Icon::Critical);
        return false;
    }
    if (PrintChannels(m_app, m_bandText(), printer, allChannels))
        return true;
    const Language l = m_app.language;
    QString text =
        Pick(l, "Printing failed: the printer could not be started.", "打印失败：无法启动打印机。");
    if (printer.outputFormat() == QPrinter::PdfFormat)
        text = Pick(l, "Printing failed: cannot write %1.", "打印失败：无法写入 %1。")
                   .arg(QDir::toNativeSeparators(printer.outputFileName()));
    m_prompter.inform(m_app.productName, text, Prompter::Icon::Critical);
    return false;
}

bool PrintCommands::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(FilePartOfName(m_app.currentFileName));
    bool all = allChannels;
    if (!printDialog || !printDialog(printer, all))
        return false;
    allChannels = all;
    if (!printOn(printer))
        return false;
    const int n = PrintedChannelCount(m_app, allChannels);
    ShowStatusNote(m_window, Pick(m_app.language, "Printed %1 channels", "已打印 %1 个信道").arg(n));
    return true;
}

void PrintCommands::preview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(FilePartOfName(m_app.currentFileName));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog dialog(&printer, m_window);
    dialog.setWindowTitle(Pick(m_app.language, "Print Preview", "打印预览"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { printOn(*p); });
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* all = bar->addAction(AllChannelsText(m_app.language));
        all->setObjectName(QStringLiteral("previewAllChannels"));
        all->setCheckable(true);
        all->setChecked(allChannels);
        connect(all, &QAction::toggled, &dialog, [this, &dialog](bool on) {
            allChannels = on;
            if (auto* view = dialog.findChild<QPrintPreviewWidget*>())
                view->updatePreview();
        });
    }
    if (showPreview)
        showPreview(dialog);
}

} // namespace kestrel
