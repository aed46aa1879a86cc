#include "ui/f_getdir.h"

#include <QDir>
#include <QFileSystemModel>

#include "recording/panel_rules.h"
#include "ui/f_mesage.h"
#include "ui/modal.h"
#include "ui/windows.h"
#include "ui_f_getdir.h"

namespace vexa::ui {

TF_GetDir::TF_GetDir(TGLOB& settings)
    : ui_(std::make_unique<Ui::TF_GetDir>()), settings_(settings) {
  ui_->setupUi(this);
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

void TF_GetDir::SelectFolder(const QString& folder) {
  if (!model_) {
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setRootPath(QString());
    ui_->ShellTreeView1->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) {
      ui_->ShellTreeView1->hideColumn(column);
    }
    ui_->ShellTreeView1->sortByColumn(0, Qt::AscendingOrder);
    ui_->ShellTreeView1->setSortingEnabled(true);
  }
  const QModelIndex index = model_->index(folder);
  if (!index.isValid()) return;
  ui_->ShellTreeView1->setCurrentIndex(index);
  ui_->ShellTreeView1->scrollTo(index);
  ui_->ShellTreeView1->expand(index);
}

QString TF_GetDir::SelectedFolder() const {
  if (!model_) return {};
  return QDir::toNativeSeparators(model_->filePath(ui_->ShellTreeView1->currentIndex()));
}

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
