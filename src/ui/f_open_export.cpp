// The open window's Export: the selected recording as EDF+ (physiology
// tools) or CSV (spreadsheets). The file dialog proposes the recording's
// name with the new extension beside it; the recording is loaded into a
// recording object of its own, so the monitor keeps the chart it shows, and
// both the load and the writing move the window's progress bar with the
// event loop turning (TLoadProgress), the window's buttons and close box
// waiting meanwhile.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

#include "chart/chart.h"
#include "core/atomic_file.h"
#include "core/own_texts.h"
#include "core/paths.h"
#include "recording/channel.h"
#include "recording/csv_export.h"
#include "recording/edf_export.h"
#include "recording/open_recording.h"
#include "ui/caption.h"
#include "ui/f_mesage.h"
#include "ui/f_open.h"
#include "ui/modal.h"
#include "ui/windows.h"
#include "ui_f_open.h"

namespace vexa::ui {

namespace {

QString OwnQ(Own id, int language) { return QString::fromUtf8(OwnText(id, language)); }

// The recording being exported, apart from the one the monitor shows.
struct TExportSource {
  TExportSource() : settings(TGLOB::NoFile{}, ConfigDir()), channel(settings) { channel.CreateFixedAxes(chart); }
  TGLOB settings;
  chart::Chart chart;  // declared before channel: it must outlive it
  TChannel channel;
};

QString WithExtension(const QString& path, bool edf) {
  const QFileInfo file(path);
  return file.dir().filePath(file.completeBaseName() + (edf ? QStringLiteral(".edf") : QStringLiteral(".csv")));
}

}  // namespace

void TFOpen::ConnectExport() {
  AskExportFile = [this](const QString& suggested, bool edf) { return AskExportFileByDialog(suggested, edf); };
  connect(ui_->bExport, &QPushButton::clicked, this, &TFOpen::bExportClick);
  connect(ui_->ListView1, &QTreeWidget::itemSelectionChanged, this,
          [this] { ui_->bExport->setEnabled(!SelectedPath().empty()); });
}

void TFOpen::ApplyExportLanguage() {
  ui_->bExport->setText(OwnQ(Own::kExportButton, settings_.AppliedLanguage));
}

TFOpen::ExportChoice TFOpen::AskExportFileByDialog(const QString& suggested, bool edf) {
  const int lang = settings_.AppliedLanguage;
  const QString edfFilter = OwnQ(Own::kExportEdfFilter, lang), csvFilter = OwnQ(Own::kExportCsvFilter, lang);
  // Qt's own dialog shows and returns "/" paths; the system's separators are
  // what an operator there reads and what the messages name.
  QFileDialog dialog(this, OwnQ(Own::kExportTitle, lang), QDir::toNativeSeparators(suggested));
  dialog.setObjectName(QStringLiteral("ExportFileDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A file that exists is asked about through RunModal, like every question.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QStringList filters;
  if (EdfExportAvailable()) filters << edfFilter;
  filters << csvFilter;
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(edf ? edfFilter : csvFilter);
  dialog.setDefaultSuffix(edf ? QStringLiteral("edf") : QStringLiteral("csv"));
  // Another type proposes the name with that type's extension.
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
    const bool toEdf = filter == edfFilter;
    dialog.setDefaultSuffix(toEdf ? QStringLiteral("edf") : QStringLiteral("csv"));
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty()) dialog.selectFile(QFileInfo(WithExtension(files.first(), toEdf)).fileName());
  });
  if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  ExportChoice choice{QDir::toNativeSeparators(dialog.selectedFiles().first()),
                      dialog.selectedNameFilter() == edfFilter};
  // A name typed with the other type's extension says which it is.
  if (choice.path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) choice.edf = false;
  if (choice.path.endsWith(QStringLiteral(".edf"), Qt::CaseInsensitive)) choice.edf = true;
  if (choice.edf && !EdfExportAvailable()) choice.edf = false;
  return choice;
}

void TFOpen::bExportClick() {
  const std::string recording = SelectedPath();
  if (recording.empty() || progress_->Loading() || !AskExportFile) return;
  const int lang = settings_.AppliedLanguage;
  const bool edf = EdfExportAvailable();
  const ExportChoice choice = AskExportFile(WithExtension(QString::fromStdString(recording), edf), edf);
  if (choice.path.isEmpty()) return;
  const std::string out = choice.path.toStdString();
  const auto say = [](const std::string& text) {
    if (F_MESAGE) F_MESAGE->ShowText(text);
  };
  if (std::string problem = ExportOutputProblem(recording, out, choice.edf ? ".edf" : ".csv", lang);
      !problem.empty()) {
    say(OwnText(Own::kExportFailed, lang) + problem);
    return;
  }
  if (PathExists(out)) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("VEXA"),
                    choice.path + OwnQ(Own::kExportReplace, lang), QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText(OwnQ(Own::kExportReplaceButton, lang));
    box.button(QMessageBox::No)->setText(Caption(38, lang));  // "Cancel"
    box.setDefaultButton(QMessageBox::No);
    if (RunModal(box) != QMessageBox::Yes) return;
  }
  auto source = std::make_unique<TExportSource>();
  source->channel.ProgressBar = progress_.get();
  const OpenOutcome opened = OpenRecordingFile(source->channel, recording);
  if (opened.status != 0) {
    say(OpenFailureMessage(opened, recording, lang));
    return;
  }
  const FileResult written = choice.edf ? ExportEdf(source->channel, out, progress_.get(), lang)
                                        : ExportCsv(source->channel, out, progress_.get(), lang);
  if (!written.ok) say(OwnText(Own::kExportFailed, lang) + written.error);
}

}  // namespace vexa::ui
