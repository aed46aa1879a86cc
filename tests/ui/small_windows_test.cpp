// The small windows open where the operator sees them: each above the window
// that opened it (its transient child: WM_TRANSIENT_FOR on X11, the owner
// window on Windows) and above every window of the program, the control
// panel that stays on top included.
#include <QToolButton>
#include <QWindow>

#include "link/test_env.h"
#include "ui/f_dialog.h"
#include "ui/f_open.h"
#include "ui/f_print.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using Page = ui::TF_CONTROL::Page;

struct Opened {
  std::string window;
  QWindow* owner = nullptr;
  bool onTop = false;
};

class SmallWindows : public testing::ProgramFixture {
 protected:
  void Prepare() override {  // the open window's place stored at the last exit
    settings.OpenLeft = 110;
    settings.OpenTop = 120;
    settings.OpenWidth = 700;
    settings.OpenHeight = 500;
  }
  void SetUp() override {
    ProgramFixture::SetUp();
    answer = [this](QDialog& d) {
      QWindow* w = d.windowHandle();
      opened.push_back({d.objectName().toStdString(), w ? w->transientParent() : nullptr,
                        d.windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
      return static_cast<int>(QDialog::Rejected);
    };
  }
  static bool Activate(QWidget& window) {
    window.activateWindow();
    return WaitFor([&] { return QApplication::activeWindow() == &window; }, 2000);
  }
  // What the window opened by `open` stood over.
  Opened OpenedBy(const std::function<void()>& open) {
    opened.clear();
    open();
    if (opened.size() != 1) return {"(" + std::to_string(opened.size()) + " windows)"};
    return opened[0];
  }
  std::vector<Opened> opened;
};

TEST_F(SmallWindows, EachOpensAboveItsOpenerAndStaysOnTop) {
  test::ScopedEnv noMeter("VEXA_COM2", folder.File("no-such-device"));
  ui::FPrint->ListPrinters = [] { return ui::TFPrint::TPrinters{}; };
  QWindow* const panel = ui::F_CONTROL->windowHandle();
  const QRect openPlace = ui::FOpen->geometry();  // its stored place
  ASSERT_TRUE(Activate(*ui::F_CONTROL));
  const struct {
    const char* window;
    std::function<void()> open;
  } fromPanel[] = {
      {"F_MESAGE", [] { Action("actStart").trigger(); }},  // "Error init port COM 2"
      {"FOpen", [] { Action("actOpen").trigger(); }},
      {"FPrint",
       [] {
         Action("actPrint").setEnabled(true);
         Action("actPrint").trigger();
       }},
      {"F_GetDir", [] { Panel<QToolButton>("bBrowse").click(); }},
      {"ColorDialog", [] { Panel<QPushButton>("bVColor").click(); }},
      {"ErrorBox",
       [] {  // a port that is not a number, on leaving a preset of the operator's
         Type("pNAME", "mine");
         Panel<QPushButton>("bADDPRESET").click();
         Type("pPORTFLOWN", "x");
         Pages().setCurrentIndex(Page::kTabMonitor);
       }},
  };
  for (const auto& c : fromPanel) {
    if (std::string(c.window) == "F_GetDir") Pages().setCurrentIndex(Page::kTabEnviroment);
    if (std::string(c.window) == "ColorDialog") Pages().setCurrentIndex(Page::kTabPreset);
    const Opened o = OpenedBy(c.open);
    EXPECT_EQ(o.window, c.window);
    EXPECT_EQ(o.owner, panel) << c.window << " is not the panel's";
    EXPECT_TRUE(o.onTop) << c.window;
  }
  EXPECT_EQ(ui::FOpen->geometry(), openPlace) << "the open window keeps its place";

  // Opened from the monitor: above the monitor, and above the panel too.
  ASSERT_TRUE(Activate(*ui::F_MONITOR));
  Opened mark = OpenedBy([] { ui::F_DIALOG->Execute(); });
  EXPECT_EQ(mark.window, "F_DIALOG");
  EXPECT_EQ(mark.owner, ui::F_MONITOR->windowHandle());
  EXPECT_TRUE(mark.onTop);

  // From the print window: its file dialog for a PDF page.
  ui::FPrint->show();
  ASSERT_TRUE(Activate(*ui::FPrint));
  Opened pdf = OpenedBy([] { Control<QPushButton>(ui::FPrint, "bPrint").click(); });
  EXPECT_EQ(pdf.window, "PdfFileDialog");
  EXPECT_EQ(pdf.owner, ui::FPrint->windowHandle());
  EXPECT_TRUE(pdf.onTop);
}

TEST_F(SmallWindows, AMessageNoWindowAskedForStandsOverThePanel) {
  // When the loop begins nothing is active yet (what could not be read at
  // start): the panel on top is the owner.
  ui::F_CONTROL->PageLeaveCheck = nullptr;
  QApplication::setActiveWindow(nullptr);
  ASSERT_TRUE(WaitFor([] { return QApplication::activeWindow() == nullptr; }, 2000));
  const Opened o = OpenedBy([] { ui::ShowErrorBox(QStringLiteral("x")); });
  EXPECT_EQ(o.owner, ui::F_CONTROL->windowHandle());
}

}  // namespace
}  // namespace vexa
