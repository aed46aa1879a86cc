// The splash window shown while the program starts: a borderless picture
// centred on the screen, above the other windows.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class TSplashForm;
}

namespace vexa::ui {

class TSplashForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSplashForm(int language);
  ~TSplashForm() override;

 private:
  std::unique_ptr<Ui::TSplashForm> ui_;
};

}  // namespace vexa::ui
