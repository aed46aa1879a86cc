#include "ui/f_open.h"

#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <filesystem>

#include "core/datetime.h"
#include "core/messages.h"
#include "platform/print_page.h"
#include "recording/channel.h"
#include "recording/folder_scan.h"
#include "recording/record_header.h"
#include "ui/caption.h"
#include "ui/window_place.h"
#include "ui/windows.h"
#include "ui_f_open.h"

namespace vexa::ui {

namespace {

// Sizeable, maximisable, with a system menu, above the other windows.
constexpr Qt::WindowFlags kOpenFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                       Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                                       Qt::WindowStaysOnTopHint;

// The rows of the list are read on a thread; the window takes them this often.
constexpr int kScanPollMs = 10;

// Grid lines between the cells of the report list.
class TGridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Midlight));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
  }
};

}  // namespace

TFOpen::TFOpen(TGLOB& settings)
    : QDialog(nullptr, kOpenFlags), ui_(std::make_unique<Ui::TFOpen>()), settings_(settings) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("FOpen"));
  progress_ = std::make_unique<TLoadProgress>(*ui_->VrProgressBar1);
  tree_ = std::make_unique<TFolderTree>(*ui_->ShellTreeView1);
  tree_->Changed = [this] { ShellTreeView1Change(); };
  scanTimer_ = new QTimer(this);
  scanTimer_->setInterval(kScanPollMs);
  connect(scanTimer_, &QTimer::timeout, this, &TFOpen::TakeScannedRows);
  connect(ui_->bOpen, &QPushButton::clicked, this, &TFOpen::bOpenClick);
  connect(ui_->bCancel, &QPushButton::clicked, this, &TFOpen::reject);
  connect(ui_->ListView1, &QTreeWidget::itemDoubleClicked, this, &TFOpen::bOpenClick);
  connect(ui_->ListView1, &QTreeWidget::itemSelectionChanged, this, &TFOpen::ListView1SelectItem);
  connect(ui_->cmbHISTORY, &QComboBox::activated, this, &TFOpen::cmbHISTORYSelect);
  ConnectExport();
  FormCreate();
}

TFOpen::~TFOpen() {
  StopScan();
  if (Channel && Channel->ProgressBar == progress_.get()) Channel->ProgressBar = nullptr;
}

void TFOpen::FormCreate() {
  ApplyPlace(*this,
             {0, settings_.OpenTop, settings_.OpenLeft, settings_.OpenWidth, settings_.OpenHeight});
  if (Channel) Channel->ProgressBar = progress_.get();
  QTreeWidget& list = *ui_->ListView1;
  list.setItemDelegate(new TGridDelegate(&list));
  // 200, 120 and 120 pixels, or what a date-time needs in the font.
  const int dateTime =
      list.fontMetrics().horizontalAdvance(QStringLiteral("88.88.8888 88:88:88")) + 14;
  list.header()->resizeSection(0, 200);
  list.header()->resizeSection(1, std::max(120, dateTime));
  list.header()->resizeSection(2, std::max(120, dateTime));
  list.header()->setStretchLastSection(true);
  list.header()->setSectionsClickable(false);
  // The selection stays visible when the list loses the focus.
  QPalette p = list.palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight,
             p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText,
             p.color(QPalette::Active, QPalette::HighlightedText));
  list.setPalette(p);
  ui_->Splitter1->setSizes({159, 543});
  ui_->Splitter1->setStretchFactor(1, 1);
  FillHistory();
  ApplyLanguage();
  settings_.OpenWindowReady = true;
}

void TFOpen::ApplyLanguage() {
  const int lang = settings_.AppliedLanguage;
  setWindowTitle(Caption(32, lang));
  ui_->bOpen->setText(Caption(39, lang));
  ui_->bCancel->setText(Caption(38, lang));
  ui_->lAtmPressure->setText(Caption(33, lang));
  ui_->lBodyMass->setText(Caption(34, lang));
  ui_->lTempEnviroment->setText(Caption(35, lang));
  ui_->lHumidity->setText(Caption(36, lang));
  ui_->lHistory->setText(Caption(37, lang));
  ApplyExportLanguage();
}

// --- showing and hiding ---------------------------------------------------------

void TFOpen::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TFOpen::FormShow() {
  ApplyLanguage();
  FillHistory();
  // The tree (its model starts a thread) is made at the first showing, at
  // the folder opened from last.
  if (!tree_->Made()) {
    GoToFolder(settings_.OpenHistoryCount > 0
                   ? QString::fromStdString(settings_.OpenHistory[0])
                   : QString::fromStdString(settings_.DestinationFolder()));
  } else {
    StartScan(tree_->Current());
  }
  ui_->ListView1->setFocus();
}

void TFOpen::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TFOpen::FormHide() {
  StopScan();
  ui_->VrProgressBar1->hide();
}

void TFOpen::closeEvent(QCloseEvent* event) {
  if (progress_->Loading()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TFOpen::reject() {
  if (!progress_->Loading()) QDialog::reject();
}

// --- the folder and its recordings ---------------------------------------------------

void TFOpen::GoToFolder(const QString& folder) {
  const QString before = tree_->Current();
  tree_->GoTo(folder, false);
  // A move to another folder has scanned it already.
  if (tree_->Current() == before) ShellTreeView1Change();
}

void TFOpen::ShellTreeView1Change() {
  if (!settings_.OpenWindowReady) return;
  const QString folder = tree_->Current();
  StartScan(folder);
  ShowHistoryItemOf(folder);
}

void TFOpen::StartScan(const QString& folder) {
  StopScan();
  ui_->ListView1->clear();
  ui_->MDescript->clear();
  if (folder.isEmpty()) return;
  scanFolder_ = QString::fromStdString(FolderWithSeparator(folder.toStdString()));
  scan_ = std::make_unique<TFolderScan>(folder.toStdString());
  scanTimer_->start();
}

void TFOpen::TakeScannedRows() {
  if (!scan_) return;
  std::vector<TRecordingEntry> found;
  const bool ended = scan_->Take(found);
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(found.size()));
  for (const TRecordingEntry& e : found) {
    auto* row = new QTreeWidgetItem(
        {QString::fromStdString(e.Name), QString::fromStdString(FormatDateTime(e.Started)),
         QString::fromStdString(FormatDateTime(e.Stopped)), QString::number(e.DataCount)});
    // The file's own name: "UPPER.VXA" is not "UPPER.vxa" where case counts.
    row->setData(0, Qt::UserRole, QString::fromStdString(e.FileName));
    rows.append(row);
  }
  // The scan hands the rows over in name order: they are appended as they come.
  if (!rows.isEmpty()) ui_->ListView1->addTopLevelItems(rows);
  if (ended) StopScan();
}

void TFOpen::StopScan() {
  if (scanTimer_) scanTimer_->stop();
  scan_.reset();
}

std::string TFOpen::SelectedPath() const {
  const QList<QTreeWidgetItem*> selected = ui_->ListView1->selectedItems();
  if (selected.isEmpty()) return {};
  return (scanFolder_ + selected.first()->data(0, Qt::UserRole).toString()).toStdString();
}

void TFOpen::ListView1SelectItem() {
  const std::string path = SelectedPath();
  QLabel* const values[] = {ui_->pAtmPressure, ui_->pBodyMass, ui_->pTempEnviroment,
                            ui_->pTestPower};
  if (path.empty()) {
    ui_->MDescript->clear();
    return;
  }
  // Read into a struct of its own: the recording shown keeps its header.
  auto header = std::make_unique<TRecordingHeader>();
  ReadRecordingHeader(path, *header);
  ui_->MDescript->setPlainText(QString::fromStdString(header->description));
  // A missing line keeps the value loading would keep.
  const TPreset* own = Channel ? &Channel->OwnPreset : nullptr;
  const double kept[] = {own ? own->AtmPressure : 0, own ? own->BodyMass : 0,
                         own ? own->AirTemperature : 0, own ? own->Humidity : 0};
  for (int e = 0; e < 4; ++e) {
    const double v = header->environment[e].value_or(kept[e]);
    values[e]->setText(QString::fromStdString(platform::FormatTitleNumber(v, QLocale())));
  }
}

// --- history ---------------------------------------------------------------------------

void TFOpen::FillHistory() {
  const QSignalBlocker quiet(ui_->cmbHISTORY);
  ui_->cmbHISTORY->clear();
  for (int i = 0; i < settings_.OpenHistoryCount; ++i)
    ui_->cmbHISTORY->addItem(QString::fromStdString(settings_.OpenHistory[i]));
  ui_->cmbHISTORY->setCurrentIndex(ui_->cmbHISTORY->count() > 0 ? 0 : -1);
}

void TFOpen::ShowHistoryItemOf(const QString& folder) {
  const std::string f = WithoutTrailingSeparator(folder.toStdString());
  int found = -1;
  for (int i = 0; i < settings_.OpenHistoryCount && found < 0; ++i) {
    if (SameFolder(settings_.OpenHistory[i], f)) found = i;
  }
  ui_->cmbHISTORY->setCurrentIndex(found);
}

void TFOpen::cmbHISTORYSelect(int index) {
  if (index >= 0 && index < settings_.OpenHistoryCount)
    GoToFolder(QString::fromStdString(settings_.OpenHistory[index]));
}

void TFOpen::AddFolderToHistory(const std::string& folder) {
  if (ChooseFolder(settings_.OpenHistory, settings_.OpenHistoryCount,
                   WithoutTrailingSeparator(folder)) == FolderChoice::kStored) {
    FillHistory();
  }
}

// --- opening ---------------------------------------------------------------------------

OpenOutcome TFOpen::Load(const std::string& path) {
  if (!Channel) return {1, "cannot be opened", OpenFailure::kCannotOpen};
  return OpenRecordingFile(*Channel, path);
}

void TFOpen::bOpenClick() {
  const std::string path = SelectedPath();
  if (path.empty() || progress_->Loading()) return;
  StopScan();  // the rows of this folder are not needed any more
  const std::string folder = Folder().toStdString();
  const OpenOutcome outcome = Load(path);
  if (outcome.status != 0) {
    ReportOpenFailure(outcome, path);
    return;
  }
  AddFolderToHistory(folder);
  accept();
}

}  // namespace vexa::ui
