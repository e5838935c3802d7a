#pragma once
// The main window's print commands. Print shows the print dialog, whose option page
// chooses between the channels in use and all 128, and prints the channel list; Print
// Preview shows the list as it will come out, with the same choice on its tool bar.
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <QObject>
#include <functional>

class QMainWindow;
class QPrinter;
class QPrintPreviewDialog;

namespace kestrel {

class PrintCommands : public QObject {
    Q_OBJECT
public:
    // `bandText`: the band the channel editor shows ("136-174").
    PrintCommands(const AppContext& app, Prompter& prompter, QMainWindow* window,
                  std::function<QString()> bandText);

    // Chooses the printer and whether all 128 channels are printed. The default shows
    // the system print dialog with the option page; tests replace it. False: cancelled.
    std::function<bool(QPrinter&, bool& allChannels)> printDialog;
    // Shows the preview dialog (by default modally); tests replace it to look inside.
    std::function<void(QPrintPreviewDialog&)> showPreview;

    // True when the list was printed; a printer that cannot be started is reported.
    bool print();
    void preview();

    // The last choice between the channels in use and all 128, for the rest of the run.
    bool allChannels = false;

private:
    bool printOn(QPrinter& printer);

    const AppContext& m_app;
    Prompter& m_prompter;
    QMainWindow* m_window;
    std::function<QString()> m_bandText;
};

} // namespace kestrel
