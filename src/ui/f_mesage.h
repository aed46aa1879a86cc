// The message window: a modal box with one text of the message table, or
// the text a caller composed into the settings' MessageText, and OK.
#pragma once

#include <QDialog>
#include <memory>

#include "core/settings.h"

namespace Ui {
class TF_MESAGE;
}

namespace vexa::ui {

class TF_MESAGE : public QDialog {
  Q_OBJECT

 public:
  explicit TF_MESAGE(TGLOB& settings);
  ~TF_MESAGE() override;

  // Shows message `index` (1 to 8) of the message table in the applied
  // language, or MessageText for 0, and waits for OK.
  void ShowMesage(int index);
  // ShowMesage(0) with this text.
  void ShowText(const std::string& text);
  // The title in the applied language.
  void ApplyLanguage();

 private:
  void FormShow();
  void OKButtonClick();

  std::unique_ptr<Ui::TF_MESAGE> ui_;
  TGLOB& settings_;
};

}  // namespace vexa::ui
