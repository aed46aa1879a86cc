#include "ui/f_dialog.h"

#include "core/messages.h"
#include "recording/session.h"
#include "ui/modal.h"
#include "ui/pictures.h"
#include "ui/text_fields.h"
#include "ui_f_dialog.h"

namespace vexa::ui {

TF_DIALOG::TF_DIALOG(TGLOB& settings)
    : ui_(std::make_unique<Ui::TF_DIALOG>()), settings_(settings) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("F_DIALOG"));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  ui_->Image1->setPixmap(LogoPicture(44));
  LimitLineEdit(*ui_->pNEWNAME, kMaxMark);
  // Cancel answers Escape, as QDialog does; the buttons close the window.
  connect(ui_->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  ApplyLanguage();
}

TF_DIALOG::~TF_DIALOG() = default;

int TF_DIALOG::Execute() {
  FormShow();
  return RunModal(*this);
}

QString TF_DIALOG::Text() const { return ui_->pNEWNAME->text(); }

QLineEdit& TF_DIALOG::pNEWNAME() { return *ui_->pNEWNAME; }

void TF_DIALOG::ApplyLanguage() {
  setWindowTitle(QString::fromUtf8(CaptionText(19, settings_.AppliedLanguage)));
  ui_->lPROMPT->setText(QString::fromUtf8(CaptionText(62, settings_.AppliedLanguage)));
}

void TF_DIALOG::FormShow() {
  ApplyLanguage();
  ui_->pNEWNAME->clear();
  ui_->pNEWNAME->setFocus();
}

}  // namespace vexa::ui
