// The print window: the monitor chart on one page with up to four title
// lines, on a printer of the system or into a PDF file, in colour or black
// and white, landscape or portrait, with a live preview of the page. Every
// choice is stored in the settings as it is made.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "core/settings.h"
#include "platform/print_page.h"

namespace Ui {
class TFPrint;
}

class QPrinter;
class QPrintPreviewWidget;

namespace vexa::ui {

class TFPrint : public QDialog {
  Q_OBJECT

 public:
  explicit TFPrint(TGLOB& settings);
  ~TFPrint() override;

  struct TPrinters {
    QStringList names;      // in the system's order
    int defaultIndex = -1;  // the system's default printer; -1: none
  };
  // The printers offered, read each time the window is shown: the system's
  // (Qt Print Support); tests give their own.
  std::function<TPrinters()> ListPrinters;
  // Where a page "printed" to the PDF entry goes: asks for the file name
  // (empty: cancelled).
  std::function<QString(const QString& suggested)> AskPdfFile;

  void ApplyLanguage();
  // The page's title lines from the settings, and the preview drawn again.
  void ShowTitle();
  void bPrintClick();
  // The page as it will print (the preview's and the Print button's).
  platform::PrintPageOptions PageOptions() const;
  bool PdfChosen() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  // The monitor's legend back, its title lines gone.
  void FormHide();
  std::string SettingsFolder() const;
  void FillPrinters();
  void cmbPRINTERSChange(int index);
  void UsePrinterPaper();
  void Orientation(bool landscape);
  void ConnectChoices();
  void PrintOnPrinter(const platform::PrintPageOptions& options);
  void PrintToPdf(const platform::PrintPageOptions& options);
  QString AskPdfFileByDialog(const QString& suggested);

  std::unique_ptr<Ui::TFPrint> ui_;
  TGLOB& settings_;
  std::unique_ptr<QPrinter> previewPrinter_;
  QPrintPreviewWidget* TeePreviewPanel1 = nullptr;
  int printerCount_ = 0;
  bool Initialising = false;
};

}  // namespace vexa::ui
