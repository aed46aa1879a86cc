// The directory chooser: a modal folder tree (folders only) from which the
// operator picks the destination folder of new recordings. OK puts the
// folder at the top of the settings' destination history.
#pragma once

#include <QDialog>
#include <memory>

#include "core/settings.h"

namespace Ui {
class TF_GetDir;
}

class QFileSystemModel;

namespace vexa::ui {

class TF_GetDir : public QDialog {
  Q_OBJECT

 public:
  explicit TF_GetDir(TGLOB& settings);
  ~TF_GetDir() override;

  // Shows the tree at `folder` (the folder the control panel shows) and
  // waits. After OK the chosen folder is entry 0 of DirHistory.
  int Execute(const QString& folder);
  // The tree goes to a folder and selects it.
  void SelectFolder(const QString& folder);
  QString SelectedFolder() const;

 private:
  void FormCreate();
  void FormShow(const QString& folder);
  // The selected folder into DirHistory; false (with the reason shown) when
  // the history cannot hold it.
  bool AddHistory();
  void bOkClick();

  std::unique_ptr<Ui::TF_GetDir> ui_;
  TGLOB& settings_;
  QFileSystemModel* model_ = nullptr;  // made at the first showing: it starts a thread
  QString start_;
};

}  // namespace vexa::ui
