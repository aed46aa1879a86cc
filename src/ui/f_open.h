// The open-recording window: a folder tree, the recordings of the chosen
// folder with their start, stop and points, the selected file's description,
// and the folders recently opened from. Open loads the selected recording
// into the recording object (the monitor chart is rebuilt from the file's
// own channels); the control panel then shows it.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "core/settings.h"
#include "recording/open_recording.h"
#include "ui/folder_tree.h"
#include "ui/load_progress.h"

namespace Ui {
class TFOpen;
}

class QTimer;

namespace vexa {
class TFolderScan;
}

namespace vexa::ui {

class TFOpen : public QDialog {
  Q_OBJECT

 public:
  explicit TFOpen(TGLOB& settings);
  ~TFOpen() override;

  // Puts a folder at the top of the open history (OpenHistory); a folder
  // the history cannot hold is not remembered.
  void AddFolderToHistory(const std::string& folder);
  // Loads a recording with the progress shown (OpenRecordingFile).
  OpenOutcome Load(const std::string& path);
  void ApplyLanguage();
  // The tree goes to a folder, and the list shows its recordings.
  void GoToFolder(const QString& folder);
  QString Folder() const { return tree_->Current(); }
  // A folder scan is still adding rows.
  bool Scanning() const { return scan_ != nullptr; }
  TLoadProgress& Progress() { return *progress_; }

  void bOpenClick();
  void reject() override;  // bCancel and Escape

  // Export (f_open_export.cpp): the selected recording as EDF+ or CSV, to a
  // file the operator names; loaded apart, so the monitor keeps its chart.
  struct ExportChoice {
    QString path;  // empty: nothing chosen
    bool edf = true;
  };
  void bExportClick();
  // The file dialog, proposing `suggested`; tests replace it.
  std::function<ExportChoice(const QString& suggested, bool edf)> AskExportFile;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormHide();
  void ShellTreeView1Change();
  void ListView1SelectItem();
  void cmbHISTORYSelect(int index);
  void FillHistory();
  void FitSplitter();
  void ShowHistoryItemOf(const QString& folder);
  void StartScan(const QString& folder);
  void TakeScannedRows();
  void StopScan();
  std::string SelectedPath() const;
  void ConnectExport();
  void ApplyExportLanguage();
  ExportChoice AskExportFileByDialog(const QString& suggested, bool edf);

  std::unique_ptr<Ui::TFOpen> ui_;
  TGLOB& settings_;
  std::unique_ptr<TFolderTree> tree_;
  std::unique_ptr<TLoadProgress> progress_;
  std::unique_ptr<TFolderScan> scan_;
  QTimer* scanTimer_ = nullptr;
  QString scanFolder_;  // with its separator, as the rows' paths begin
  int listWidth_ = 543;  // what the list needs to show every column whole
};

}  // namespace vexa::ui
