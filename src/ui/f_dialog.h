// The text-entry window for a mark: a modal prompt with one line of at most
// 50 characters, OK (Enter) and Cancel (Escape).
#pragma once

#include <QDialog>
#include <memory>

#include "core/settings.h"

namespace Ui {
class TF_DIALOG;
}

class QLineEdit;

namespace vexa::ui {

class TF_DIALOG : public QDialog {
  Q_OBJECT

 public:
  explicit TF_DIALOG(TGLOB& settings);
  ~TF_DIALOG() override;

  // Shows the window modally with an empty field; the result is
  // QDialog::Accepted after OK. The text is then in pNEWNAME.
  int Execute();
  QString Text() const;
  QLineEdit& pNEWNAME();
  // The title and the prompt in the applied language.
  void ApplyLanguage();

 private:
  void FormShow();

  std::unique_ptr<Ui::TF_DIALOG> ui_;
  TGLOB& settings_;
};

}  // namespace vexa::ui
