#include "ui/folder_tree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTimer>
#include <QTreeView>

namespace vexa::ui {

namespace {
constexpr int kSortDelayMs = 120;
}

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
  // The model reads folders on its own thread: the folder gone to shows
  // once the folders above it have been read.
  // The model sorts a read folder a moment later: scroll after that.
  QObject::connect(model_, &QFileSystemModel::directoryLoaded, &view_,
                   [this](const QString& loaded) {
                     if (shown_.isEmpty()) return;
                     const bool last = QDir(loaded) == QFileInfo(shown_).dir();
                     QTimer::singleShot(kSortDelayMs, &view_, [this, last] {
                       if (shown_.isEmpty()) return;
                       view_.scrollTo(model_->index(shown_), QAbstractItemView::PositionAtCenter);
                       if (last) shown_.clear();
                     });
                   });
}

bool TFolderTree::GoTo(const QString& folder, bool expand) {
  if (!model_) Make();
  const QModelIndex index = model_->index(folder);
  if (!index.isValid()) return false;
  for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
    view_.expand(above);
  view_.setCurrentIndex(index);
  view_.scrollTo(index, QAbstractItemView::PositionAtCenter);
  shown_ = model_->filePath(index);
  if (expand) view_.expand(index);
  return true;
}

QString TFolderTree::Current() const {
  if (!model_ || !view_.currentIndex().isValid()) return {};
  return QDir::toNativeSeparators(model_->filePath(view_.currentIndex()));
}

}  // namespace vexa::ui
