#include "ui/f_open.h"

#include <QCloseEvent>
#include <QCollator>
#include <QDir>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <string_view>

#include "core/datetime.h"
#include "core/messages.h"
#include "core/own_texts.h"
#include "platform/print_page.h"
#include "recording/channel.h"
#include "recording/folder_scan.h"
#include "recording/record_format.h"
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

// The rows in the order an operator reads their names: the system's
// collation with letter case ignored (alpha, Beta, арбуз, Дом, Ёж), not the
// names' bytes. Runs on the scan thread: the collator is its own.
void CollatedOrder(std::vector<std::string>& names) {
  QCollator collator{QLocale()};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  struct Keyed {
    QCollatorSortKey key;
    std::string name;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(names.size());
  const auto ext = std::string_view(kRecordExtension).size();
  for (std::string& n : names) {
    const QString caption = QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size() - ext));
    keyed.push_back({collator.sortKey(caption), std::move(n)});
  }
  // Names equal but for case keep their bytes' order.
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    const int c = a.key.compare(b.key);
    return c != 0 ? c < 0 : a.name < b.name;
  });
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].name);
}

// The Points cell: the header's count, or the rows an interrupted file holds
// ("≈" before an estimate of a large one's).
QString PointsText(const TRecordingEntry& e) {
  return (e.RowsEstimated ? QStringLiteral("\u2248") : QString()) + QString::number(e.Points());
}

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
  // 200, 120 and 120 pixels, or what the texts need in the font: a name
  // of this program's own (stamp, space, a 15-character postfix), a
  // date-time, and the largest count (an estimate's sign before it). The
  // tree gives up what the list needs for them at the window's size.
  const QFontMetrics fm = list.fontMetrics();
  const int pad = 2 * list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 6;
  // Cyrillic letters are the wider ones of a postfix ("постфикс записи").
  const int name = std::max(
      200, fm.horizontalAdvance(QStringLiteral("8888-88-88 (88-88-88) \u043f\u043e\u0441\u0442\u0444\u0438\u043a\u0441 "
                                               "\u0437\u0430\u043f\u0438\u0441\u0438")) + pad);
  const int dateTime = std::max(120, fm.horizontalAdvance(QStringLiteral("88.88.8888 88:88:88")) + pad);
  const int points = fm.horizontalAdvance(QStringLiteral("\u2248999999")) + pad;
  list.header()->resizeSection(0, name);
  list.header()->resizeSection(1, dateTime);
  list.header()->resizeSection(2, dateTime);
  list.header()->setMinimumSectionSize(std::min(points, list.header()->minimumSectionSize()));
  list.header()->resizeSection(3, points);
  list.header()->setStretchLastSection(true);
  list.header()->setSectionsClickable(false);
  listWidth_ = name + 2 * dateTime + points + 2 * list.frameWidth() +
               list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
  // The selection stays visible when the list loses the focus.
  QPalette p = list.palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight,
             p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText,
             p.color(QPalette::Active, QPalette::HighlightedText));
  list.setPalette(p);
  FitSplitter();
  ui_->Splitter1->setStretchFactor(1, 1);
  FillHistory();
  ApplyLanguage();
  settings_.OpenWindowReady = true;
}

// The tree 159 pixels wide where the list still shows every column whole,
// narrower (to its minimum of 80) where it would not.
void TFOpen::FitSplitter() {
  const QMargins m = layout()->contentsMargins();
  const int room = width() - m.left() - m.right() - ui_->Splitter1->handleWidth();
  const int tree = std::clamp(room - listWidth_, ui_->ShellTreeView1->minimumWidth(), 159);
  ui_->Splitter1->setSizes({tree, std::max(0, room - tree)});
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
  scan_ = std::make_unique<TFolderScan>(folder.toStdString(), CollatedOrder);
  scanTimer_->start();
}

void TFOpen::TakeScannedRows() {
  if (!scan_) return;
  std::vector<TRecordingEntry> found;
  const bool ended = scan_->Take(found);
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(found.size()));
  const int lang = settings_.AppliedLanguage;
  for (const TRecordingEntry& e : found) {
    // An interrupted recording's stop time is only a placeholder: the word
    // says what happened (or that another program records it now), and
    // Points the rows it holds.
    const QString stopped =
        e.BeingRecorded ? QString::fromUtf8(OwnText(Own::kScanBeingRecorded, lang))
        : e.Interrupted ? QString::fromUtf8(OwnText(Own::kScanInterrupted, lang))
                        : QString::fromStdString(FormatDateTime(e.Stopped));
    auto* row = new QTreeWidgetItem(
        {QString::fromStdString(e.Name), QString::fromStdString(FormatDateTime(e.Started)), stopped,
         PointsText(e)});
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
  OfferCompletion(path);
  const OpenOutcome outcome = Load(path);
  if (outcome.status != 0) {
    ReportOpenFailure(outcome, path);
    return;
  }
  AddFolderToHistory(folder);
  accept();
}

}  // namespace vexa::ui
