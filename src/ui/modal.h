// Every modal window of the program is run through RunModal, so a test can
// answer it without an operator (and see what it showed): it installs a
// runner that looks at the dialog, fills it in and returns a result instead
// of starting the dialog's own event loop.
//
// RunModal also puts the window where the operator sees it: above the
// window that opened it and above every window of the program (the control
// panel stays on top of the others, and a modal window blocks it), with the
// keyboard, whatever the window manager.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace vexa::ui {

using ModalRunner = std::function<int(QDialog&)>;

// Shows the dialog modally (QDialog::exec) or hands it to the installed
// runner; returns the dialog's result (QDialog::Accepted / Rejected).
int RunModal(QDialog& dialog);

// Installs a runner (empty: exec again); returns the one installed before.
ModalRunner SetModalRunner(ModalRunner runner);

// The window a modal window about to be shown belongs to: the modal window
// open now, else the active window, else the program's window that stays on
// top (the control panel); null when none is shown.
QWidget* ModalOpener(const QDialog& dialog);

// What RunModal does before it shows a dialog: the opener becomes its
// transient parent (WM_TRANSIENT_FOR on X11, the owner window on Windows),
// and it stays on top; once shown it is raised and activated.
void PrepareModal(QDialog& dialog);

// The framework's standard error box: an error the operator must see (a
// value that does not convert, an exception that escaped a handler).
void ShowErrorBox(const QString& text);

}  // namespace vexa::ui
