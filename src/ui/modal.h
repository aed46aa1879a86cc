// Every modal window of the program is run through RunModal, so a test can
// answer it without an operator (and see what it showed): it installs a
// runner that looks at the dialog, fills it in and returns a result instead
// of starting the dialog's own event loop.
#pragma once

#include <QString>
#include <functional>

class QDialog;

namespace vexa::ui {

using ModalRunner = std::function<int(QDialog&)>;

// Shows the dialog modally (QDialog::exec) or hands it to the installed
// runner; returns the dialog's result (QDialog::Accepted / Rejected).
int RunModal(QDialog& dialog);

// Installs a runner (empty: exec again); returns the one installed before.
ModalRunner SetModalRunner(ModalRunner runner);

// The framework's standard error box: an error the operator must see (a
// value that does not convert, an exception that escaped a handler).
void ShowErrorBox(const QString& text);

}  // namespace vexa::ui
