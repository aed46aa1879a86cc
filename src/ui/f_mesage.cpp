#include "ui/f_mesage.h"

#include "core/messages.h"
#include "ui/modal.h"
#include "ui/pictures.h"
#include "ui_f_mesage.h"

namespace vexa::ui {

TF_MESAGE::TF_MESAGE(TGLOB& settings)
    : ui_(std::make_unique<Ui::TF_MESAGE>()), settings_(settings) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("F_MESAGE"));
  ui_->Image1->setPixmap(LogoPicture(52));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  connect(ui_->OKButton, &QPushButton::clicked, this, &TF_MESAGE::OKButtonClick);
  ApplyLanguage();
}

TF_MESAGE::~TF_MESAGE() = default;

void TF_MESAGE::ShowMesage(int index) {
  const std::string text =
      index == 0 ? settings_.MessageText : MessageText(index, settings_.AppliedLanguage);
  ui_->Mes->setText(QString::fromStdString(text));
  FormShow();
  RunModal(*this);
}

void TF_MESAGE::ShowText(const std::string& text) {
  settings_.MessageText = text;
  ShowMesage(0);
}

void TF_MESAGE::ApplyLanguage() {
  setWindowTitle(QString::fromUtf8(CaptionText(20, settings_.AppliedLanguage)));
}

void TF_MESAGE::FormShow() { ApplyLanguage(); }

void TF_MESAGE::OKButtonClick() { accept(); }

}  // namespace vexa::ui
