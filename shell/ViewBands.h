#pragma once
// Keeps the bands of the main window (tree band, tool bar, status bar) switched only by
// the View entries, and the entries' check marks true to what is shown.
#include "core/SessionMemory.h"

#include <functional>

class QDockWidget;
class QMainWindow;
class QWidget;

namespace kestrel {

// Calls `closed` when the user closes `band` with its own close button.
void WatchBandClose(QWidget* band, std::function<void()> closed);

// Turns off the right-click menu Qt offers over tool bars and dock areas, which would
// show and hide bands behind the View entries' back.
void TurnOffBandMenus(QMainWindow* window);

// The window's place, size and maximised state and the tree band's width as the last
// run left them (nothing when not known).
void RestoreWindowPlace(QMainWindow* window, QDockWidget* tree, const SessionMemory& memory);
void CaptureWindowPlace(const QMainWindow* window, const QDockWidget* tree, SessionMemory& memory);

} // namespace kestrel
