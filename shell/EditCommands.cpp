#include "shell/EditCommands.h"

#include "channels/GridCommands.h"
#include "channels/frmChannel.h"
#include "core/Band.h"
#include "shell/MainForm.h"
#include "shell/UndoHistory.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QStatusBar>

namespace kestrel {

namespace {
const QString UndoId = QStringLiteral("miUndo");
const QString RedoId = QStringLiteral("miRedo");
// The caption the layout gave an entry, before a step name was added to it.
const char* const BaseCaption = "kestrelBaseCaption";

QString BaseOf(QAction* action) {
    const QVariant base = action->property(BaseCaption);
    if (base.isValid())
        return base.toString();
    action->setProperty(BaseCaption, action->text());
    return action->text();
}

constexpr TextPair ReadStep{"Read from Radio", "从对讲机读取"};
} // namespace

EditCommands::EditCommands(MainForm& window, AppContext& app)
    : QObject(&window), m_window(window), m_app(app), m_history(new UndoHistory(app, this)) {
    m_channelPanel = new QLabel(&window);
    m_channelPanel->setObjectName(QStringLiteral("lblChannel"));
    window.statusBar()->addWidget(m_channelPanel);
    connect(m_history, &UndoHistory::changed, this, &EditCommands::refreshUndoActions);
    connect(m_history, &UndoHistory::imageRestored, this, &EditCommands::imageRestored);
    connect(window.channelEditor, &frmChannel::currentChannelChanged, this, &EditCommands::showChannel);
    showChannel(window.channelEditor->currentChannelNumber());
}

bool EditCommands::dispatch(const QString& id) {
    if (id == UndoId) {
        m_window.SaveData(); // an open cell is a step of its own, the first one taken back
        m_history->undo();
    } else if (id == RedoId) {
        m_window.SaveData();
        m_history->redo();
    } else {
        return m_window.channelEditor->commands->run(id);
    }
    return true;
}

void EditCommands::refreshTexts() {
    // The keys are bound explicitly: Qt's standard Redo key differs between platforms.
    // Only one placement of a command may own a key, or Qt would find it ambiguous.
    if (QAction* undo = m_window.menuAction(UndoId))
        undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    if (QAction* redo = m_window.menuAction(RedoId))
        redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // The grid's commands run on their keys while the grid has the focus (so that the
    // keys keep their meaning in every other field); the menu shows them.
    for (const QString& id : GridCommands::Ids()) {
        const QKeySequence key = GridCommands::KeyOf(id);
        if (key.isEmpty())
            continue;
        for (QAction* a : m_window.actions(id)) {
            a->setToolTip(QString(a->text()).remove(QLatin1Char('&')));
            if (a == m_window.menuAction(id))
                a->setText(a->text() + QLatin1Char('\t') + key.toString(QKeySequence::NativeText));
        }
    }
    refreshUndoActions();
    showChannel(m_channelNumber);
}

void EditCommands::refreshUndoActions() {
    const Language l = m_app.language;
    for (QAction* a : m_window.actions(UndoId)) {
        a->setText(m_history->undoText(BaseOf(a), l));
        a->setToolTip(QString(a->text()).remove(QLatin1Char('&')));
        a->setEnabled(m_history->canUndo());
    }
    for (QAction* a : m_window.actions(RedoId)) {
        a->setText(m_history->redoText(BaseOf(a), l));
        a->setToolTip(QString(a->text()).remove(QLatin1Char('&')));
        a->setEnabled(m_history->canRedo());
    }
}

void EditCommands::showChannel(int number) {
    m_channelNumber = number;
    m_channelPanel->setText(number > 0 ? Pick(m_app.language, "Channel %1", "信道 %1").arg(number) : QString());
}

void EditCommands::imageRestored(bool bandTouched) {
    if (bandTouched)
        m_app.band = DecodeBandLimits(m_app.image);
    m_window.RefreshData();
}

void EditCommands::readStarted() {
    if (m_readOpen)
        return;
    m_readOpen = true;
    m_app.changes.begin(m_app.image, StepOf(ReadStep));
}

void EditCommands::readEnded() {
    if (!m_readOpen)
        return;
    m_readOpen = false;
    m_app.changes.end(m_app.image);
}

void EditCommands::clearHistory() { m_history->clear(); }

} // namespace kestrel
