// A folder tree (folders only, from the file system's root, sorted by name)
// on a QTreeView: the directory chooser's and the open window's. The model
// is made on first use, since it starts a thread of its own.
#pragma once

#include <QString>
#include <functional>

class QFileSystemModel;
class QTreeView;

namespace vexa::ui {

class TFolderTree {
 public:
  explicit TFolderTree(QTreeView& view) : view_(view) {}

  // The tree goes to a folder and selects it (expanded when asked); false
  // when no such folder shows in the tree.
  bool GoTo(const QString& folder, bool expand);
  // The selected folder with the system's separators; empty before GoTo.
  QString Current() const;
  bool Made() const { return model_ != nullptr; }

  // Runs when the selected folder changes (the operator, or GoTo).
  std::function<void()> Changed;

 private:
  void Make();

  QTreeView& view_;
  QFileSystemModel* model_ = nullptr;
  QString shown_;  // the folder gone to, until the folders above it are read
};

}  // namespace vexa::ui
