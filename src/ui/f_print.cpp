#include "ui/f_print.h"

#include <QDir>
#include <QFileDialog>
#include <QGraphicsView>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QShowEvent>
#include <filesystem>

#include "core/messages.h"
#include "core/paths.h"
#include "core/own_texts.h"
#include "recording/channel.h"
#include "recording/panel_rules.h"
#include "recording/print_title.h"
#include "ui/caption.h"
#include "ui/f_mesage.h"
#include "ui/f_monitor.h"
#include "ui/modal.h"
#include "ui/windows.h"
#include "ui_f_print.h"

namespace vexa::ui {

namespace {

TFPrint::TPrinters SystemPrinters() {
  TFPrint::TPrinters p;
  p.names = QPrinterInfo::availablePrinterNames();
  p.defaultIndex = static_cast<int>(p.names.indexOf(QPrinterInfo::defaultPrinterName()));
  return p;
}

// The preview's background: a gradient ending in light blue (0xF1D572 as
// 0x00BBGGRR), behind the page.
void PaintPreviewBackground(QPrintPreviewWidget& preview) {
  auto* view = preview.findChild<QGraphicsView*>();
  if (!view) return;
  QLinearGradient gradient(0, 0, 0, 1);
  gradient.setCoordinateMode(QGradient::ObjectMode);
  gradient.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
  gradient.setColorAt(1, QColor(0x72, 0xD5, 0xF1));
  QPalette p = view->viewport()->palette();
  p.setBrush(QPalette::Base, gradient);
  view->viewport()->setPalette(p);
  view->setBackgroundBrush(Qt::transparent);  // the scene's grey would cover it
}

}  // namespace

TFPrint::TFPrint(TGLOB& settings) : ui_(std::make_unique<Ui::TFPrint>()), settings_(settings) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("FPrint"));
  ListPrinters = SystemPrinters;
  AskPdfFile = [this](const QString& suggested) { return AskPdfFileByDialog(suggested); };
  previewPrinter_ = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
  previewPrinter_->setPageSize(QPageSize(QPageSize::A4));
  TeePreviewPanel1 = new QPrintPreviewWidget(previewPrinter_.get(), this);
  TeePreviewPanel1->setObjectName(QStringLiteral("TeePreviewPanel1"));
  TeePreviewPanel1->setZoomMode(QPrintPreviewWidget::FitInView);
  PaintPreviewBackground(*TeePreviewPanel1);
  static_cast<QHBoxLayout*>(layout())->insertWidget(0, TeePreviewPanel1, 1);
  connect(TeePreviewPanel1, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
    if (Channel && Channel->Chart) platform::PrintPage(*Channel->Chart, *printer, PageOptions());
  });
  ConnectChoices();
  FormCreate();
}

TFPrint::~TFPrint() = default;

void TFPrint::ConnectChoices() {
  connect(ui_->bPrint, &QPushButton::clicked, this, &TFPrint::bPrintClick);
  connect(ui_->bCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->cmbPRINTERS, &QComboBox::activated, this, &TFPrint::cmbPRINTERSChange);
  connect(ui_->rbLadscape, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Orientation(true);
  });
  connect(ui_->rbPortraite, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Orientation(false);
  });
  // Each title-line box stores its setting at once and the title follows.
  const std::pair<QCheckBox*, bool TGLOB::*> boxes[] = {
      {ui_->cbFNAME, &TGLOB::PrintFileName},
      {ui_->cbDATE, &TGLOB::PrintDate},
      {ui_->cbDESCR, &TGLOB::PrintDescription},
      {ui_->cbSINTERVAL, &TGLOB::PrintSampleInterval},
      {ui_->cbPRINTCOLOR, &TGLOB::PrintColor}};
  for (const auto& [box, setting] : boxes) {
    connect(box, &QCheckBox::toggled, this, [this, setting = setting](bool on) {
      if (Initialising) return;
      settings_.*setting = on;
      ShowTitle();  // colour or black and white shows in the preview too
    });
  }
}

void TFPrint::FormCreate() {
  Initialising = true;
  ui_->cbPRINTCOLOR->setChecked(settings_.PrintColor);
  ui_->rbLadscape->setChecked(settings_.PrintLandscape);
  ui_->rbPortraite->setChecked(!settings_.PrintLandscape);
  ui_->cbFNAME->setChecked(settings_.PrintFileName);
  ui_->cbDATE->setChecked(settings_.PrintDate);
  ui_->cbDESCR->setChecked(settings_.PrintDescription);
  ui_->cbSINTERVAL->setChecked(settings_.PrintSampleInterval);
  previewPrinter_->setPageOrientation(settings_.PrintLandscape ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
  ApplyLanguage();
  Initialising = false;
}

void TFPrint::ApplyLanguage() {
  const int lang = settings_.AppliedLanguage;
  setWindowTitle(Caption(21, lang));
  ui_->bPrint->setText(Caption(26, lang));
  ui_->bCancel->setText(Caption(38, lang));
  ui_->lbPrnChoice->setText(Caption(22, lang));
  ui_->gbORIENTATION->setTitle(Caption(23, lang));
  ui_->rbLadscape->setText(Caption(24, lang));
  ui_->rbPortraite->setText(Caption(25, lang));
  ui_->gbPRINTING->setTitle(Caption(26, lang));
  ui_->cbFNAME->setText(Caption(27, lang));
  ui_->cbDATE->setText(Caption(28, lang));
  ui_->cbDESCR->setText(Caption(29, lang));
  ui_->cbSINTERVAL->setText(Caption(30, lang));
  ui_->cbPRINTCOLOR->setText(Caption(31, lang));
  if (ui_->cmbPRINTERS->count() > printerCount_)
    ui_->cmbPRINTERS->setItemText(printerCount_,
                                  QString::fromStdString(OwnText(Own::kPdfFile, lang)));
  if (isVisible()) ShowTitle();  // the title lines' captions
}

void TFPrint::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TFPrint::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TFPrint::FormShow() {
  FillPrinters();
  ApplyLanguage();
  ui_->cbDESCR->setEnabled(Channel && HasPrintableDescription(*Channel));
  // While the window is shown the monitor shows the page's title lines and
  // no legend (it is not printed).
  if (Channel && Channel->Chart) Channel->Chart->Legend.Visible = false;
  ShowTitle();
}

void TFPrint::FormHide() {
  if (!Channel || !Channel->Chart) return;
  chart::Chart& chart = *Channel->Chart;
  chart.Legend.Visible = settings_.ShowLegend;
  chart.TitleVisible = false;
  chart.TitleLines.clear();
  if (F_MONITOR) F_MONITOR->RefreshChart();
}

std::string TFPrint::SettingsFolder() const {
  if (settings_.ConfigPath.empty()) return {};
  return ParentFolder(settings_.ConfigPath);
}

void TFPrint::FillPrinters() {
  const TPrinters printers = ListPrinters ? ListPrinters() : TPrinters{};
  printerCount_ = static_cast<int>(printers.names.size());
  ui_->cmbPRINTERS->clear();
  ui_->cmbPRINTERS->addItems(printers.names);
  ui_->cmbPRINTERS->addItem(
      QString::fromStdString(OwnText(Own::kPdfFile, settings_.AppliedLanguage)));
  std::vector<std::string> names;
  for (const QString& n : printers.names) names.push_back(n.toStdString());
  const int offered = OfferedPrinter(names, ReadChosenPrinter(SettingsFolder()), settings_.PrinterIndex,
                                     printers.defaultIndex);
  // What is stored keeps its value until the operator chooses a printer.
  ui_->cmbPRINTERS->setCurrentIndex(offered);
  UsePrinterPaper();
}

bool TFPrint::PdfChosen() const { return ui_->cmbPRINTERS->currentIndex() >= printerCount_; }

void TFPrint::cmbPRINTERSChange(int index) {
  // The PDF entry is this program's, not the system's: it is not stored.
  if (index >= 0 && index < printerCount_) {
    settings_.PrinterIndex = index;
    const std::string folder = SettingsFolder();
    const FileResult kept =
        folder.empty() ? FileResult{true, {}}
                       : WriteChosenPrinter(folder, ui_->cmbPRINTERS->itemText(index).toStdString());
    if (!kept.ok && F_MESAGE) F_MESAGE->ShowText(MessageText(1, settings_.AppliedLanguage) + kept.error);
  }
  UsePrinterPaper();
}

void TFPrint::UsePrinterPaper() {
  // The preview shows the chosen printer's paper (A4 for a PDF file).
  const QPrinterInfo info =
      PdfChosen() ? QPrinterInfo() : QPrinterInfo::printerInfo(ui_->cmbPRINTERS->currentText());
  const QPageSize paper = info.isNull() || !info.defaultPageSize().isValid()
                              ? QPageSize(QPageSize::A4)
                              : info.defaultPageSize();
  if (previewPrinter_->pageLayout().pageSize().isEquivalentTo(paper)) return;
  previewPrinter_->setPageSize(paper);
  if (isVisible()) TeePreviewPanel1->updatePreview();
}

void TFPrint::Orientation(bool landscape) {
  if (Initialising) return;
  settings_.PrintLandscape = landscape;
  if (landscape) {
    TeePreviewPanel1->setLandscapeOrientation();
  } else {
    TeePreviewPanel1->setPortraitOrientation();
  }
}

platform::PrintPageOptions TFPrint::PageOptions() const {
  if (!Channel) return {};
  return platform::PrintPageOptionsFor(settings_, *Channel, QLocale());
}

void TFPrint::ShowTitle() {
  if (Initialising) return;
  if (isVisible() && Channel && Channel->Chart) {
    const PrintTitle title = PageOptions().title;
    Channel->Chart->TitleLines = title.lines;
    Channel->Chart->TitleVisible = title.visible;
    if (F_MONITOR) F_MONITOR->RefreshChart();
  }
  TeePreviewPanel1->updatePreview();
}

// --- printing -------------------------------------------------------------------------

void TFPrint::bPrintClick() {
  if (!Channel || !Channel->Chart) return;
  const platform::PrintPageOptions options = PageOptions();
  if (PdfChosen()) {
    PrintToPdf(options);
  } else {
    PrintOnPrinter(options);
  }
}

void TFPrint::PrintOnPrinter(const platform::PrintPageOptions& options) {
  const QString name = ui_->cmbPRINTERS->currentText();
  QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
  printer.setColorMode(settings_.PrintColor ? QPrinter::Color : QPrinter::GrayScale);
  if (!platform::PrintPage(*Channel->Chart, printer, options) && F_MESAGE) {
    F_MESAGE->ShowText(OwnText(Own::kCannotPrint, settings_.AppliedLanguage) +
                       name.toStdString());
    return;
  }
  accept();
}

void TFPrint::PrintToPdf(const platform::PrintPageOptions& options) {
  // Beside the recording, under its name, by default.
  QString suggested = QString::fromStdString(Channel->RecordFileName);
  if (suggested.isEmpty()) {
    suggested =
        QString::fromStdString(settings_.DestinationFolder()) + QStringLiteral("/chart.pdf");
  } else {
    suggested = suggested.left(suggested.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".pdf");
  }
  const QString path = AskPdfFile ? AskPdfFile(suggested) : QString();
  if (path.isEmpty()) return;  // the window stays for another choice
  const FileResult written = platform::WritePrintPdf(*Channel->Chart, path.toStdString(), options);
  if (!written.ok) {
    const int lang = settings_.AppliedLanguage;
    if (F_MESAGE) F_MESAGE->ShowText(MessageText(1, lang) + written.Text(lang));
    return;
  }
  accept();
}

QString TFPrint::AskPdfFileByDialog(const QString& suggested) {
  QFileDialog dialog(
      this,
      QString::fromStdString(OwnText(Own::kPdfDialogTitle, settings_.AppliedLanguage)),
      QDir::toNativeSeparators(suggested), QStringLiteral("PDF (*.pdf)"));
  dialog.setObjectName(QStringLiteral("PdfFileDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

}  // namespace vexa::ui
