#include "shell/ViewBands.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>
#include <QToolBar>

namespace kestrel {

namespace {
class CloseWatcher : public QObject {
public:
    CloseWatcher(QWidget* band, std::function<void()> closed) : QObject(band), m_closed(std::move(closed)) {
        band->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && m_closed)
            m_closed();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_closed;
};
} // namespace

void WatchBandClose(QWidget* band, std::function<void()> closed) {
    new CloseWatcher(band, std::move(closed));
}

void TurnOffBandMenus(QMainWindow* window) {
    // PreventContextMenu also stops the request from travelling on to the window.
    window->setContextMenuPolicy(Qt::PreventContextMenu);
    for (QToolBar* bar : window->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        bar->setContextMenuPolicy(Qt::PreventContextMenu);
    for (QDockWidget* dock : window->findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
        dock->setContextMenuPolicy(Qt::PreventContextMenu);
}

void RestoreWindowPlace(QMainWindow* window, QDockWidget* tree, const SessionMemory& memory) {
    if (!memory.windowGeometry.isEmpty())
        window->restoreGeometry(memory.windowGeometry);
    if (memory.treeWidth > 0)
        window->resizeDocks({tree}, {memory.treeWidth}, Qt::Horizontal);
}

void CaptureWindowPlace(const QMainWindow* window, const QDockWidget* tree, SessionMemory& memory) {
    // Sizes of widgets never shown are made up; a hidden tree keeps the width it had.
    if (!window->isVisible())
        return;
    memory.windowGeometry = window->saveGeometry();
    if (tree->isVisible() && !tree->isFloating() && tree->width() > 0)
        memory.treeWidth = tree->width();
}

} // namespace kestrel
