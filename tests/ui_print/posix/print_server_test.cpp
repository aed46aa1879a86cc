// The print window against a real print server: a CUPS daemon of this
// test's own (private_cups.sh: its own configuration, a unix socket in a
// temporary folder that CUPS_SERVER points at, a cups-pdf queue writing into
// that folder), never the machine's. The window lists the queue before
// "PDF file", prints through it, and the page that arrives holds the title
// lines. Where CUPS cannot start here the test says why and is skipped.
// (cups-pdf makes its PDF from PostScript; the queue turns the page into
// PostScript with pdftocairo, which keeps the text of the page's fonts.)
#include <QComboBox>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "recording/panel_rules.h"
#include "recording/support/recording_fixture.h"
#include "ui/f_print.h"
#include "ui/startup.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

constexpr char kQueue[] = "VEXA_Test_PDF";
const std::string kScript = VEXA_TEST_DATA_DIR "/../ui_print/posix/private_cups.sh";

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Standard output and error of a shell command, and its exit status.
std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int s = pclose(pipe);
  if (status) *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return out;
}

class PrintServer : public testing::ProgramFixture {
 public:
  static void SetUpTestSuite() {
    server_ = std::make_unique<testing::TempFolder>();
    int status = -1;
    const std::string out = Shell(Quote(kScript) + " start " + Quote(server_->path()), &status);
    if (status == 0) {
      // Before anything in this process asks CUPS: it reads the variable once.
      setenv("CUPS_SERVER", server_->File("cups.sock").c_str(), 1);
    } else {
      why_ = out.empty() ? "private_cups.sh failed" : out.substr(0, out.find('\n'));
    }
  }
  static void TearDownTestSuite() {
    if (why_.empty() && server_) Shell(Quote(kScript) + " stop " + Quote(server_->path()));
    server_.reset();
  }

 protected:
  void SetUp() override {
    if (!why_.empty()) GTEST_SKIP() << "no print server: " << why_;
    ProgramFixture::SetUp();
  }
  void TearDown() override {
    if (why_.empty()) ProgramFixture::TearDown();
  }
  static std::string PrintedPage() {
    for (const auto& e : std::filesystem::directory_iterator(server_->File("out"))) {
      if (e.path().extension() == ".pdf") return e.path().string();
    }
    return {};
  }
  static bool QueueEmpty() { return Shell("lpstat -o " + std::string(kQueue)).empty(); }

  static std::unique_ptr<testing::TempFolder> server_;
  static std::string why_;
};

std::unique_ptr<testing::TempFolder> PrintServer::server_;
std::string PrintServer::why_;

TEST_F(PrintServer, TheWindowListsTheQueueBeforePdfFileAndItsPageHoldsTheTitleLines) {
  const std::string path = Example("rec", "2026-12-08 (14-23-05) test.vxa");
  const char* argv[] = {"vexa", path.c_str()};
  ASSERT_TRUE(ui::OpenCommandLineRecording(argv, 2));
  ui::FPrint->show();  // lists the system's printers: this server's
  auto& printers = Control<QComboBox>(ui::FPrint, "cmbPRINTERS");
  const int queue = printers.findText(QString::fromLatin1(kQueue));
  ASSERT_GE(queue, 0) << "the server's queue is listed";
  EXPECT_EQ(printers.itemText(printers.count() - 1), "PDF file");
  EXPECT_LT(queue, printers.count() - 1) << "printers come before \"PDF file\"";
  EXPECT_EQ(printers.currentIndex(), queue) << "the only printer is offered";
  printers.setCurrentIndex(queue);
  emit printers.activated(queue);
  EXPECT_EQ(settings.PrinterIndex, queue);
  EXPECT_EQ(ReadChosenPrinter(folder.path()), kQueue) << "its name is kept beside the settings";

  Control<QPushButton>(ui::FPrint, "bPrint").click();
  EXPECT_FALSE(ui::FPrint->isVisible());
  ASSERT_TRUE(WaitFor([] { return !PrintedPage().empty() && QueueEmpty(); }, 60000))
      << Shell("lpstat -W all -o; tail -n 5 " + Quote(server_->File("log/error_log")));
  const std::string printed = PrintedPage();
  const std::string info = Shell("pdfinfo " + Quote(printed));
  int pages = 0;
  const std::size_t at = info.find("Pages:");
  EXPECT_TRUE(at != std::string::npos && std::sscanf(info.c_str() + at, "Pages: %d", &pages) == 1 && pages == 1)
      << info;
  const std::string text = Shell("pdftotext -layout " + Quote(printed) + " -");
  EXPECT_NE(text.find("File : 2026-12-08 (14-23-05) test.vxa"), std::string::npos) << text;
  EXPECT_NE(text.find("Description : test"), std::string::npos) << text;
  EXPECT_NE(text.find("Sample interval (s) : 5"), std::string::npos) << text;
}

}  // namespace
}  // namespace vexa
