#include "ui/folder_tree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QTreeView>

namespace vexa::ui {

void TFolderTree::Make() {
  model_ = new QFileSystemModel(&view_);
  model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
  model_->setRootPath(QString());
  view_.setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) view_.hideColumn(column);
  view_.sortByColumn(0, Qt::AscendingOrder);
  view_.setSortingEnabled(true);
  QObject::connect(view_.selectionModel(), &QItemSelectionModel::currentChanged, &view_, [this] {
    if (Changed) Changed();
  });
}

bool TFolderTree::GoTo(const QString& folder, bool expand) {
  if (!model_) Make();
  const QModelIndex index = model_->index(folder);
  if (!index.isValid()) return false;
  view_.setCurrentIndex(index);
  view_.scrollTo(index);
  if (expand) view_.expand(index);
  return true;
}

QString TFolderTree::Current() const {
  if (!model_ || !view_.currentIndex().isValid()) return {};
  return QDir::toNativeSeparators(model_->filePath(view_.currentIndex()));
}

}  // namespace vexa::ui
