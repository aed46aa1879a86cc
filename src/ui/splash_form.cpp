#include "ui/splash_form.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/version.h"
#include "ui/pictures.h"
#include "ui_splash_form.h"

namespace vexa::ui {

TSplashForm::TSplashForm(int language)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TSplashForm>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("SplashForm"));
  ui_->Image1->setPixmap(SplashPicture(QString::fromStdString(platform::ProgramFileVersion()), language));
  QPalette white = ui_->Panel1->palette();
  white.setColor(QPalette::Window, Qt::white);
  ui_->Panel1->setPalette(white);
  setFixedSize(604, 333);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

TSplashForm::~TSplashForm() = default;

}  // namespace vexa::ui
