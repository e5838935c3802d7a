#include "shell/FleetCommand.h"

#include "fleet/frmFleet.h"
#include "shell/Caption.h"
#include "shell/StatusNote.h"

#include <QMainWindow>

namespace kestrel {

void FleetWriteCommand(const AppContext& app, Prompter& prompter, QMainWindow* window,
                       VirtualRadios* radios) {
    frmFleet dialog(app, prompter, FilePartOfName(app.currentFileName), window, radios);
    dialog.exec();
    const QString note = dialog.summary();
    if (!note.isEmpty())
        ShowStatusNote(window, note);
}

} // namespace kestrel
