#include "ui/f_control.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTimer>

#include "core/messages.h"
#include "core/own_texts.h"
#include "platform/version.h"
#include "recording/channel.h"
#include "recording/panel_rules.h"
#include "recording/session.h"
#include "ui/caption.h"
#include "ui/colours.h"
#include "ui/f_dialog.h"
#include "ui/f_getdir.h"
#include "ui/f_mesage.h"
#include "ui/f_monitor.h"
#include "ui/f_open.h"
#include "ui/f_print.h"
#include "ui/modal.h"
#include "ui/pictures.h"
#include "ui/qt_texts.h"
#include "ui/text_fields.h"
#include "ui/window_place.h"
#include "ui/windows.h"
#include "ui_f_control.h"

namespace vexa::ui {

namespace {

// Tabs with less space beside their captions, so the five shown pages fit
// the panel's width in either language.
class TCompactTabs : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_TabBarTabHSpace) return 10;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

// Single border, system menu and minimise box only, always on top. Given at
// construction: changing the flags later re-parents every control.
constexpr Qt::WindowFlags kControlFlags =
    Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
    Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint;

TF_CONTROL::TF_CONTROL(TGLOB& settings, TF_MONITOR& monitor)
    : QWidget(nullptr, kControlFlags),
      ui_(std::make_unique<Ui::TF_CONTROL>()),
      settings_(settings),
      monitor_(monitor),
      commands_(this),
      session_(std::make_unique<TSession>(*Channel, settings)) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("F_CONTROL"));
  FormCreate();
}

TF_CONTROL::~TF_CONTROL() = default;

void TF_CONTROL::FormCreate() {
  setFixedSize(339, 445);
  setWindowIcon(QIcon(LogoPicture(64)));
  ui_->PgC->setTabVisible(kTabAiro, false);
  CompactCaptions();
  ui_->AboutImage->setPixmap(LogoPicture(96));
  ui_->ExitImage->setPixmap(LogoPicture(72));
  ui_->FlownImage->setPixmap(FlowMeterPicture(48, 40));
  LimitLineEdit(*ui_->pINTERVAL, kMaxIntervalText);
  LimitLineEdit(*ui_->pFileNamePostfix, kMaxPostfix);
  LimitPlainText(*ui_->Memo1, kMaxDescription);
  ui_->bOpen->setDefaultAction(commands_.Open);
  ui_->bPrint->setDefaultAction(commands_.Print);
  ui_->bBMP->setDefaultAction(commands_.Image);
  ui_->bSTART->setDefaultAction(commands_.Start);
  ui_->bMARK->setDefaultAction(commands_.Mark);
  ui_->bSTOP->setDefaultAction(commands_.Stop);
  commands_.AddTo(*this);
  commands_.AddTo(monitor_);
  TimerInterval = new QTimer(this);
  TimerInterval->setObjectName(QStringLiteral("TimerInterval"));
  TimerInterval->setTimerType(Qt::PreciseTimer);
  // Armed for each sample's deadline on the steady clock (ArmSampleTimer),
  // not repeated: a repeating timer drops the ticks a busy system misses.
  TimerInterval->setSingleShot(true);
  clock_ = new QTimer(this);
  clock_->setSingleShot(true);
  ConnectHandlers();
  ConnectOptions();
  ConnectSetupPage();
  MakeTrayIcon();

  // 1. Form set-up.
  ShowVersion();
  ApplyPlace(*this, {settings_.ControlState, settings_.ControlTop, settings_.ControlLeft});
  SetTicked(TChartOption::kAxisTitles, settings_.ShowAxisTitles);
  FillDestinationList();
  // 2. The Monitor page; 3. the preset list; 4. the language; 5. the preset.
  ShowPage(kTabMonitor);
  FillPresetList();
  ApplyLanguage();
  ShowPreset();
  // 6. Nothing to print or save yet; no recording either.
  commands_.Print->setEnabled(false);
  commands_.Image->setEnabled(false);
  SetRecordingControls(false);
  ui_->VrClock2->display(QStringLiteral("0:00:00"));
  ui_->pINTERVAL->setFocus();
  VrClock1SecondsChanged();
}

void TF_CONTROL::ConnectHandlers() {
  connect(commands_.Start, &QAction::triggered, this, &TF_CONTROL::bSTARTClick);
  connect(commands_.Stop, &QAction::triggered, this, &TF_CONTROL::bSTOPClick);
  connect(commands_.Mark, &QAction::triggered, this, &TF_CONTROL::bMARKClick);
  connect(commands_.Open, &QAction::triggered, this, &TF_CONTROL::bOpenClick);
  connect(commands_.Print, &QAction::triggered, this, &TF_CONTROL::bPrintClick);
  connect(commands_.Image, &QAction::triggered, this, &TF_CONTROL::bBMPClick);
  // Ctrl+Q turns to the Exit page as a click on its tab would.
  connect(commands_.Exit, &QAction::triggered, this, [this] { TurnToPage(kTabExit); });
  connect(TimerInterval, &QTimer::timeout, this, &TF_CONTROL::TimerIntervalTimer);
  connect(clock_, &QTimer::timeout, this, &TF_CONTROL::VrClock1SecondsChanged);
  connect(ui_->PgC, &QTabWidget::currentChanged, this, &TF_CONTROL::PgCChange);
  // The operator's page changes are asked before they happen (a refused one
  // never shows the other page, and the focus stays in the edited field).
  ui_->PgC->tabBar()->installEventFilter(this);
  ui_->PgC->installEventFilter(this);
  connect(ui_->bYes, &QPushButton::clicked, this, &TF_CONTROL::bYesClick);
  connect(ui_->bNo, &QPushButton::clicked, this, &TF_CONTROL::bNoClick);
  connect(ui_->bBrowse, &QToolButton::clicked, this, &TF_CONTROL::bBrowseClick);
  connect(ui_->pPATH, &QComboBox::activated, this, &TF_CONTROL::pPATHChange);
  auto* languages = new QButtonGroup(ui_->rLANGUAGE);
  languages->setObjectName(QStringLiteral("rLANGUAGEItems"));
  languages->addButton(ui_->rLANGUAGE0, kEnglish);
  languages->addButton(ui_->rLANGUAGE1, kRussian);
  connect(languages, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) rLANGUAGEClick(id);
  });
}

void TF_CONTROL::CompactCaptions() {
  // The Russian captions of the chart options and the pages are long.
  QFont small = font();
  small.setPointSizeF(7.5);
  for (int i = 0; i < static_cast<int>(TChartOption::kCount); ++i) {
    Box(static_cast<TChartOption>(i)).setFont(small);
  }
  QTabBar* tabs = ui_->PgC->tabBar();
  tabs->setFont(small);
  auto* style = new TCompactTabs;
  style->setParent(tabs);
  tabs->setStyle(style);
  for (QLabel* display : {ui_->lVO2t, ui_->lM, ui_->lO2})
    SetColour(*display, QPalette::Window, Qt::black);
}

void TF_CONTROL::ShowVersion() {
  ui_->lVer->setText(QString::fromStdString(platform::ProgramFileVersion()));
}

// --- language -------------------------------------------------------------------

void TF_CONTROL::rLANGUAGEClick(int index) {
  settings_.Language = index;
  ApplyLanguage();
}

void TF_CONTROL::ApplyLanguage() {
  if (settings_.Language == settings_.AppliedLanguage) return;
  settings_.AppliedLanguage = settings_.Language;
  const int lang = settings_.AppliedLanguage;
  ApplyQtLanguage(lang);
  (lang == kRussian ? ui_->rLANGUAGE1 : ui_->rLANGUAGE0)->setChecked(true);

  for (int page = kTabMonitor; page <= kTabExit; ++page)
    ui_->PgC->setTabText(page, Caption(11 + page, lang));
  setWindowTitle(Caption(17, lang));
  ui_->PanHeader->setText(Caption(44, lang));

  // Each box's caption, then its state from the settings: a box whose state
  // changes runs its handler, which applies the option to the chart.
  struct OptionText {
    TChartOption option;
    int caption;
    bool TGLOB::*setting;
  };
  static constexpr OptionText kOptions[] = {
      {TChartOption::kLegend, 45, &TGLOB::ShowLegend},
      {TChartOption::kMarks, 63, &TGLOB::ShowMarks},
      {TChartOption::kAbsTimeScale, 61, &TGLOB::AbsTimeScale},
      {TChartOption::k3D, 43, &TGLOB::Show3D},
      {TChartOption::kRotate, 42, &TGLOB::Rotate},
      {TChartOption::kAutoScale, 56, &TGLOB::AutoTimeScale},
      {TChartOption::kScrool, 64, &TGLOB::AutoScrollAtStart},
      {TChartOption::kGrid, 65, &TGLOB::ShowGrid},
      {TChartOption::kOneAxes, 66, &TGLOB::OneAxes},
      {TChartOption::kAuto, 67, &TGLOB::AllVertAuto},
      {TChartOption::kUndoAuto, 68, &TGLOB::UndoZoomAuto},
      {TChartOption::kAxisTitles, 69, &TGLOB::ShowAxisTitles},
  };
  for (const OptionText& o : kOptions) {
    Box(o.option).setText(Caption(o.caption, lang));
    SetTicked(o.option, settings_.*o.setting);
  }

  const std::pair<QLabel*, int> labels[] = {{ui_->lCurTime, 46},
                                            {ui_->lRecTime, 47},
                                            {ui_->lPostfix, 53},
                                            {ui_->lDESCR, 54},
                                            {ui_->lInterval, 49},
                                            {ui_->lDestDir, 50},
                                            // The Setup page.
                                            {ui_->lEXP, 0},
                                            {ui_->lPRESET, 12},
                                            {ui_->pCOMFLOWN, 2},
                                            {ui_->pCOMAIRO, 2},
                                            {ui_->lNAME, 3},
                                            {ui_->lDESCRIPT, 4},
                                            {ui_->lATM, 5},
                                            {ui_->lAIR, 6},
                                            {ui_->lMASS, 7},
                                            {ui_->lHUMID, 8}};
  for (const auto& [label, caption] : labels) label->setText(Caption(caption, lang));
  ui_->pINTERVAL->setText(FieldNumber(settings_.SampleInterval));
  if (ui_->pPATH->count() > 0) ui_->pPATH->setCurrentIndex(0);
  ui_->bADDPRESET->setText(Caption(9, lang));
  ui_->bDELPRESET->setText(Caption(10, lang));
  ShowComDevice();
  commands_.ApplyLanguage(lang);
  // The About page's lines of this program's own.
  ui_->lPRODUCT->setText(QString::fromUtf8(OwnText(Own::kAboutProduct, lang)));
  ui_->lMAKER->setText(QString::fromUtf8(OwnText(Own::kAboutMaker, lang)));
  ui_->lWEB->setText(QString::fromUtf8(OwnText(Own::kAboutFiles, lang)));
  ui_->lExitMesage->setText(QString::fromUtf8(MessageText(5, lang)));
  ui_->bYes->setText(Caption(40, lang));
  ui_->bNo->setText(Caption(41, lang));

  // Every other window that exists takes its texts at once as well.
  monitor_.ApplyLanguage();
  if (F_MESAGE) F_MESAGE->ApplyLanguage();
  if (F_DIALOG) F_DIALOG->ApplyLanguage();
  ShowLinkStatus();
  emit LanguageApplied(lang);
}

// --- pages and leaving ----------------------------------------------------------

bool TF_CONTROL::TurnToPage(int index) {
  const int from = currentPage_;
  if (index == from) return true;
  PreviousPage = from;
  if (PageLeaveCheck && !PageLeaveCheck(from, index)) return false;
  pageChecked_ = true;
  ui_->PgC->setCurrentIndex(index);
  pageChecked_ = false;
  return currentPage_ == index;
}

int TF_CONTROL::NextEnabledPage(int from, int step) const {
  const int count = ui_->PgC->count();
  for (int i = 1; i < count; ++i) {
    const int page = ((from + step * i) % count + count) % count;
    if (ui_->PgC->isTabEnabled(page) && ui_->PgC->isTabVisible(page)) return page;
  }
  return from;
}

bool TF_CONTROL::eventFilter(QObject* watched, QEvent* event) {
  QTabBar* tabs = ui_->PgC->tabBar();
  int wanted = -1;
  if (watched == tabs) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        const int tab = tabs->tabAt(mouse->position().toPoint());
        if (tab < 0 || tab == currentPage_ || !tabs->isTabEnabled(tab)) return false;
        wanted = tab;
        break;
      }
      case QEvent::Wheel:
        // A turn of the wheel over the tabs never changes the page: it could
        // reach the Exit page, which ends the program.
        return true;
      case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Left && key != Qt::Key_Right) return false;
        wanted = NextEnabledPage(currentPage_, key == Qt::Key_Left ? -1 : 1);
        break;
      }
      default:
        return false;
    }
  } else if (watched == ui_->PgC && event->type() == QEvent::KeyPress) {
    // Ctrl+Tab and Ctrl+Shift+Tab, as QTabWidget takes them.
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (!tab || !(key->modifiers() & Qt::ControlModifier)) return false;
    const bool back = key->key() == Qt::Key_Backtab || key->modifiers() & Qt::ShiftModifier;
    wanted = NextEnabledPage(currentPage_, back ? -1 : 1);
  } else {
    return false;
  }
  if (wanted >= 0 && wanted != currentPage_) TurnToPage(wanted);
  return true;
}

void TF_CONTROL::PgCChange(int index) {
  const int from = currentPage_;
  if (index == from) return;
  if (!pageByProgram_ && !pageChecked_) {
    // A change that did not come through TurnToPage: the rule is asked
    // afterwards, and a refused change goes back.
    PreviousPage = from;
    if (PageLeaveCheck && !PageLeaveCheck(from, index)) {
      ShowPage(from);
      return;
    }
  }
  currentPage_ = index;
  if (index == kTabExit && !pageByProgram_ && !(Channel && Channel->Recording)) ExitProgram();
}

void TF_CONTROL::ShowPage(int index) {
  pageByProgram_ = true;
  ui_->PgC->setCurrentIndex(index);
  currentPage_ = ui_->PgC->currentIndex();
  pageByProgram_ = false;
}

void TF_CONTROL::ShowExitPageForClose() {
  ShowPage(kTabExit);
  show();
  raise();
  activateWindow();
}

void TF_CONTROL::bYesClick() {
  if (Channel && Channel->Recording) bSTOPClick();
  ExitProgram();
}

void TF_CONTROL::bNoClick() { ShowPage(PreviousPage); }

void TF_CONTROL::ExitProgram() {
  // The interval is kept for the next start when a recording could start
  // with it; one that could not (a recording opened with 0.0 s, a typed
  // "abc") is not stored, and the one stored stays. It never holds the
  // program open: nothing records.
  if (const auto interval = ParseSampleInterval(ui_->pINTERVAL->text().toStdString(),
                                                settings_.AppliedLanguage, nullptr,
                                                FieldSeparator()))
    settings_.SampleInterval = *interval;
  close();
}

bool TF_CONTROL::FormCloseQuery() {
  if (!(Channel && Channel->Recording)) return true;
  ShowExitPageForClose();
  return false;
}

void TF_CONTROL::FormClose() {
  const TWindowPlace place = PlaceOf(*this);
  settings_.ControlState = place.State;
  settings_.ControlTop = place.Top;
  settings_.ControlLeft = place.Left;
  if (FOpen) {
    const TWindowPlace open = PlaceOf(*FOpen);
    settings_.OpenTop = open.Top;
    settings_.OpenLeft = open.Left;
    settings_.OpenHeight = open.Height;
    settings_.OpenWidth = open.Width;
  }
  TimerInterval->stop();
  session_.reset();  // it refers to the recording object
  monitor_.DestroyChannel();
  if (VrTrayIcon1) VrTrayIcon1->hide();
  monitor_.close();
}

void TF_CONTROL::closeEvent(QCloseEvent* event) {
  if (!session_ || !FormCloseQuery()) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

// --- destination folder -----------------------------------------------------------

void TF_CONTROL::FillDestinationList() {
  ui_->pPATH->clear();
  for (int i = 0; i < settings_.DirHistoryCount; ++i) {
    ui_->pPATH->addItem(QString::fromStdString(settings_.DirHistory[i]));
  }
  if (ui_->pPATH->count() > 0) ui_->pPATH->setCurrentIndex(0);
}

void TF_CONTROL::pPATHChange(int index) {
  if (index <= 0 || index >= settings_.DirHistoryCount) return;
  const std::string folder = settings_.DirHistory[index];
  ChooseFolder(settings_.DirHistory, settings_.DirHistoryCount, folder);
  FillDestinationList();
}

void TF_CONTROL::bBrowseClick() {
  if (F_GetDir && F_GetDir->Execute(ui_->pPATH->currentText()) == QDialog::Accepted) {
    FillDestinationList();
  }
}

// --- presets and recordings ---------------------------------------------------------

void TF_CONTROL::ShowLoadedRecording() {
  if (!Channel) return;
  ui_->pINTERVAL->setText(FieldNumber(Channel->IntervalSeconds));
  ui_->Memo1->setPlainText(QString::fromStdString(Channel->RecordDescription));
  ui_->pFileNamePostfix->setText(QString::fromStdString(LoadedPostfix(Channel->LoadFileName)));
  monitor_.SetTitle(55, Channel->LoadFileName);
  SetTicked(TChartOption::kAutoScale, true);
  RunClickHandler(TChartOption::kAutoScale);
  SetTicked(TChartOption::kAuto, true);
  monitor_.RefreshChart();
}

void TF_CONTROL::RecordingLost() {
  ShowPreset();
  monitor_.SetTitle(18);
}

void TF_CONTROL::RecordingOpened() {
  commands_.Print->setEnabled(true);
  commands_.Image->setEnabled(true);
  ShowLoadedRecording();
  SetTicked(TChartOption::kAuto, true);
  RunClickHandler(TChartOption::kAuto);
  monitor_.RefreshChart();
}

void TF_CONTROL::bOpenClick() {
  if (FOpen && RunModal(*FOpen) == QDialog::Accepted) RecordingOpened();
}

void TF_CONTROL::bPrintClick() {
  if (FPrint) RunModal(*FPrint);
}

void TF_CONTROL::bBMPClick() {
  if (SaveChartImage) SaveChartImage();
}

// --- tray -----------------------------------------------------------------------------

void TF_CONTROL::MakeTrayIcon() {
  // Without a tray (plain X servers, the offscreen platform) a minimised
  // window stays an ordinary minimised window.
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  VrTrayIcon1 = new QSystemTrayIcon(QIcon(LogoPicture(32)), this);
  VrTrayIcon1->setToolTip(QStringLiteral("VEXA Control"));
  connect(VrTrayIcon1, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger)
              RestoreFromTray();
          });
}

void TF_CONTROL::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !VrTrayIcon1 || !isMinimized()) return;
  // Hide after the state change has been handled, not inside it.
  QTimer::singleShot(0, this, [this] {
    hide();
    monitor_.hide();
    VrTrayIcon1->show();
  });
}

void TF_CONTROL::RestoreFromTray() {
  monitor_.show();
  showNormal();
  raise();
  activateWindow();
  VrTrayIcon1->hide();
}

}  // namespace vexa::ui
