#include "ui/f_getdir.h"

#include "recording/panel_rules.h"
#include "ui/f_mesage.h"
#include "ui/modal.h"
#include "ui/windows.h"
#include "ui_f_getdir.h"

namespace vexa::ui {

namespace {
QTreeView* SetUp(QDialog& window, Ui::TF_GetDir& ui) {
  ui.setupUi(&window);
  return ui.ShellTreeView1;
}
}  // namespace

TF_GetDir::TF_GetDir(TGLOB& settings)
    : ui_(std::make_unique<Ui::TF_GetDir>()), settings_(settings), tree_(*SetUp(*this, *ui_)) {
  setObjectName(QStringLiteral("F_GetDir"));
  connect(ui_->bOk, &QPushButton::clicked, this, &TF_GetDir::bOkClick);
  connect(ui_->bCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->ShellTreeView1, &QTreeView::doubleClicked, this, &TF_GetDir::bOkClick);
  FormCreate();
}

TF_GetDir::~TF_GetDir() = default;

void TF_GetDir::FormCreate() {
  start_ =
      settings_.DirHistoryCount > 0 ? QString::fromStdString(settings_.DirHistory[0]) : QString();
}

int TF_GetDir::Execute(const QString& folder) {
  FormShow(folder);
  return RunModal(*this);
}

void TF_GetDir::FormShow(const QString& folder) {
  SelectFolder(folder.isEmpty() ? start_ : folder);
}

void TF_GetDir::SelectFolder(const QString& folder) { tree_.GoTo(folder, true); }

QString TF_GetDir::SelectedFolder() const { return tree_.Current(); }

bool TF_GetDir::AddHistory() {
  const QString folder = SelectedFolder();
  const FolderChoice choice = ChooseFolder(settings_.DirHistory, settings_.DirHistoryCount,
                                           WithoutTrailingSeparator(folder.toStdString()));
  if (choice == FolderChoice::kStored) return true;
  if (F_MESAGE) {
    F_MESAGE->ShowText(
        FolderChoiceMessage(choice, folder.toStdString(), settings_.AppliedLanguage));
  }
  return false;
}

void TF_GetDir::bOkClick() {
  if (AddHistory()) accept();
}

}  // namespace vexa::ui
