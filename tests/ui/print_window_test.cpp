// The print window: which printer it offers, the choices it stores as they
// are made, and a page printed into a PDF file without changing the chart
// the monitor shows.
#include <QCheckBox>
#include <QComboBox>
#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <filesystem>

#include "recording/panel_rules.h"
#include "recording/support/recording_fixture.h"
#include "ui/chart_widget.h"
#include "ui/f_print.h"
#include "ui/startup.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

class PrintWindow : public testing::ProgramFixture {
 protected:
  static QComboBox& Printers() { return Control<QComboBox>(ui::FPrint, "cmbPRINTERS"); }
  static void ShowWith(const QStringList& names, int defaultIndex) {
    ui::FPrint->hide();
    ui::FPrint->ListPrinters = [=] { return ui::TFPrint::TPrinters{names, defaultIndex}; };
    ui::FPrint->show();
  }
  static void Choose(int i) {  // as the operator picks an entry
    Printers().setCurrentIndex(i);
    emit Printers().activated(i);
  }
  bool OpenExample() {
    const std::string path = Example("rec", "2026-12-08 (14-23-05) test.vxa");
    const char* argv[] = {"vexa", path.c_str()};
    return ui::OpenCommandLineRecording(argv, 2);
  }
};

struct Offer {
  int stored;
  QStringList names;
  int defaultIndex;
  const char* offered;
};

TEST_F(PrintWindow, TheStoredPrinterIsOfferedWhileItIsThereElseTheDefaultAndPdfIsLast) {
  const Offer offers[] = {
      {1, {"A", "B", "C"}, 0, "B"},  // stored and there
      {5, {"A", "B", "C"}, 2, "C"},  // gone since: the default printer
      {-1, {"A", "B"}, 1, "B"},      // never chosen: the default printer
      {7, {"A", "B"}, -1, "A"},      // gone, and no default
      {3, {}, -1, "PDF file"},       // a workstation without printers
  };
  for (const Offer& o : offers) {
    settings.PrinterIndex = o.stored;
    ShowWith(o.names, o.defaultIndex);
    EXPECT_EQ(Printers().currentText().toStdString(), o.offered) << o.stored;
    EXPECT_EQ(Printers().count(), o.names.size() + 1);
    EXPECT_EQ(Printers().itemText(Printers().count() - 1), "PDF file");
    EXPECT_EQ(settings.PrinterIndex, o.stored) << "offering stores nothing";
  }
  ShowWith({"A", "B"}, 0);
  Choose(1);
  EXPECT_EQ(settings.PrinterIndex, 1);
  Choose(2);  // "PDF file" is not the system's: not stored
  EXPECT_EQ(settings.PrinterIndex, 1);
  EXPECT_TRUE(ui::FPrint->PdfChosen());
}

// The chosen printer follows its name when a printer is added before it;
// vexa.cfg keeps the index, byte for byte in its own format.
TEST_F(PrintWindow, TheChosenPrinterIsOfferedByNameAfterAPrinterIsAddedBeforeIt) {
  ShowWith({"Lab", "Office"}, 0);
  Choose(1);
  EXPECT_EQ(settings.PrinterIndex, 1);
  EXPECT_EQ(testing::ReadAll(folder.File(kPrinterFileName)), "Office\n");
  ShowWith({"Annex", "Lab", "Office"}, 0);  // "Annex" installed since
  EXPECT_EQ(Printers().currentText(), "Office");
  ShowWith({"Annex", "Lab"}, 1);  // and "Office" removed: the default
  EXPECT_EQ(Printers().currentText(), "Lab");
  ASSERT_TRUE(settings.Save());
  TGLOB read(folder.path());
  EXPECT_EQ(read.PrinterIndex, 1) << "the index stays in vexa.cfg";
}

// While the print window is shown the monitor shows the page's title lines
// and no legend; both come back as they were when it closes.
TEST_F(PrintWindow, TheMonitorShowsTheTitleLinesAndNoLegendWhileTheWindowIsShown) {
  ASSERT_TRUE(OpenExample());
  chart::Chart& chart = ui::F_MONITOR->Chart();
  ASSERT_TRUE(chart.Legend.Visible);
  for (const bool cancel : {true, false}) {
    ShowWith({}, -1);
    EXPECT_FALSE(chart.Legend.Visible);
    EXPECT_TRUE(chart.TitleVisible);
    ASSERT_FALSE(chart.TitleLines.empty());
    EXPECT_EQ(chart.TitleLines.front(), "File : 2026-12-08 (14-23-05) test.vxa");
    const QImage monitor = ui::F_MONITOR->MON().grab().toImage();
    Control<QCheckBox>(ui::FPrint, "cbFNAME").click();  // the title follows the boxes
    EXPECT_NE(chart.TitleLines.front().rfind("File : ", 0), 0u);
    Control<QCheckBox>(ui::FPrint, "cbFNAME").click();
    // The lines show on the black chart: its first rows are not all black.
    int lit = 0;
    for (int y = 0; y < 40 && y < monitor.height(); ++y)
      for (int x = 0; x < monitor.width() / 2; ++x) lit += qGray(monitor.pixel(x, y)) > 128;
    EXPECT_GT(lit, 50) << "title lines drawn where they can be seen";
    if (cancel) {
      ui::FPrint->reject();
    } else {
      ui::FPrint->AskPdfFile = [this](const QString&) { return QString::fromStdString(folder.File("p.pdf")); };
      Choose(Printers().count() - 1);
      Control<QPushButton>(ui::FPrint, "bPrint").click();
    }
    EXPECT_FALSE(ui::FPrint->isVisible());
    EXPECT_TRUE(chart.Legend.Visible) << (cancel ? "cancelled" : "printed");
    EXPECT_FALSE(chart.TitleVisible);
    EXPECT_TRUE(chart.TitleLines.empty());
  }
}

TEST_F(PrintWindow, EveryChoiceIsStoredAsItIsMadeAndTheDescriptionBoxFollowsTheRecording) {
  ShowWith({}, -1);
  EXPECT_EQ(ui::FPrint->windowTitle().toStdString(), "VEXA: Print window");
  EXPECT_FALSE(Control<QCheckBox>(ui::FPrint, "cbDESCR").isEnabled()) << "nothing to describe yet";
  Control<QCheckBox>(ui::FPrint, "cbFNAME").click();
  Control<QCheckBox>(ui::FPrint, "cbPRINTCOLOR").click();
  Control<QRadioButton>(ui::FPrint, "rbPortraite").click();
  EXPECT_FALSE(settings.PrintFileName);
  EXPECT_TRUE(settings.PrintColor);
  EXPECT_FALSE(settings.PrintLandscape);
  auto& preview = Control<QPrintPreviewWidget>(ui::FPrint, "TeePreviewPanel1");
  EXPECT_EQ(preview.orientation(), QPageLayout::Portrait);
  Control<QRadioButton>(ui::FPrint, "rbLadscape").click();
  EXPECT_TRUE(settings.PrintLandscape);
  EXPECT_EQ(preview.orientation(), QPageLayout::Landscape);
  ui::FPrint->reject();  // Cancel keeps what was chosen
  EXPECT_FALSE(settings.PrintFileName);
  for (const std::string& line : ui::FPrint->PageOptions().title.lines)
    EXPECT_NE(line.rfind("File : ", 0), 0u);

  ASSERT_TRUE(OpenExample());
  ShowWith({}, -1);
  EXPECT_TRUE(Control<QCheckBox>(ui::FPrint, "cbDESCR").isEnabled());
}

TEST_F(PrintWindow, APageIntoAPdfFileLeavesTheMonitorsChartAsItWas) {
  ASSERT_TRUE(OpenExample());
  const chart::Chart& chart = ui::F_MONITOR->Chart();
  const bool legend = chart.Legend.Visible;
  const std::string pdf = folder.File("page.pdf");
  QString asked;
  ShowWith({}, -1);
  ui::FPrint->AskPdfFile = [&](const QString& suggested) {
    asked = suggested;
    return QString();  // cancelled: nothing written, the window stays
  };
  Control<QPushButton>(ui::FPrint, "bPrint").click();
  EXPECT_TRUE(asked.endsWith("2026-12-08 (14-23-05) test.pdf")) << asked.toStdString();
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_TRUE(ui::FPrint->isVisible());

  ui::FPrint->AskPdfFile = [&](const QString&) { return QString::fromStdString(pdf); };
  Control<QPushButton>(ui::FPrint, "bPrint").click();
  EXPECT_FALSE(ui::FPrint->isVisible());
  EXPECT_EQ(ui::FPrint->result(), QDialog::Accepted);
  EXPECT_EQ(testing::ReadAll(pdf).substr(0, 5), "%PDF-");
  EXPECT_EQ(chart.Legend.Visible, legend);
  EXPECT_FALSE(chart.TitleVisible);
  EXPECT_TRUE(chart.TitleLines.empty());
  EXPECT_FALSE(chart.Monochrome);
}

}  // namespace
}  // namespace vexa
