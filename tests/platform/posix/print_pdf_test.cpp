// Printed PDF pages as a reader sees them (poppler's pdftotext and pdfinfo):
// the title lines are searchable text in either language, the page is A4 in
// the chosen orientation, and vexa-render prints with the stored settings
// (its statuses are in tests/tools/render_cli.sh).
#include <gtest/gtest.h>

#include <QLocale>
#include <cstdio>
#include <string>

#include "core/settings.h"
#include "platform/print_page.h"
#include "platform/support/example_recording.h"
#include "recording/channel.h"
#include "recording/open_recording.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

const std::string kRender = VEXA_BINARY_DIR "/tools/vexa-render";

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Standard output of a shell command, and its exit status.
std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int s = pclose(pipe);
  if (status) *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return out;
}

std::string PdfText(const std::string& pdf) { return Shell("pdftotext -layout " + Quote(pdf) + " - 2>&1"); }
// The page's "WxH" in points, as pdfinfo reports it.
std::string PdfPageSize(const std::string& pdf) {
  const std::string info = Shell("pdfinfo " + Quote(pdf) + " 2>&1");
  const std::size_t at = info.find("Page size:");
  double w = 0, h = 0;
  if (at == std::string::npos || std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &w, &h) != 2) return info;
  return std::to_string(static_cast<int>(w + 0.5)) + "x" + std::to_string(static_cast<int>(h + 0.5));
}

class PdfPage : public ::testing::Test {
 protected:
  PdfPage() : settings(TGLOB::NoFile{}, folder.path()), channel(settings) {
    channel.CreateFixedAxes(chart);
    recording = folder.File("2026-12-08 (14-23-05) run1.vxa");
    testing::WriteAll(recording, testing::kExample);
  }
  testing::TempFolder folder;
  TGLOB settings;
  chart::Chart chart;
  TChannel channel;
  std::string recording;
};

TEST_F(PdfPage, TitleLinesAreTextInTheAppliedLanguageOnAnA4PageOfTheOrientation) {
  ASSERT_EQ(OpenRecordingFile(channel, recording).status, 0);
  channel.RecordDescription = "office flow";  // letters a font may join into ligatures
  for (const int language : {0, 1}) {
    settings.AppliedLanguage = language;
    settings.PrintLandscape = language == 0;
    const std::string pdf = folder.File("page" + std::to_string(language) + ".pdf");
    const FileResult r = platform::WritePrintPdf(
        chart, pdf, platform::PrintPageOptionsFor(settings, channel, QLocale(QStringLiteral("ru_RU"))));
    ASSERT_TRUE(r.ok) << r.error;
    const std::string text = PdfText(pdf);
    if (language == 0) {
      EXPECT_NE(text.find("File : 2026-12-08 (14-23-05) run1.vxa"), std::string::npos) << text;
      EXPECT_NE(text.find("Date : 08.12.2026 14:23:05"), std::string::npos) << text;
      EXPECT_NE(text.find("Description : office flow"), std::string::npos) << text;
      EXPECT_NE(text.find("Sample interval (s) : 5"), std::string::npos) << text;
      EXPECT_EQ(PdfPageSize(pdf), "842x595");
    } else {
      EXPECT_NE(text.find("Файл : 2026-12-08 (14-23-05) run1.vxa"), std::string::npos) << text;
      EXPECT_NE(text.find("Интервал выборки (c) : 5"), std::string::npos) << text;
      EXPECT_EQ(PdfPageSize(pdf), "595x842");
    }
  }
}

TEST_F(PdfPage, VexaRenderPrintsWithTheStoredSettings) {
  // Stored: portrait, colour, Russian, without the date line.
  TGLOB stored(folder.path());
  stored.PrintLandscape = false;
  stored.PrintColor = true;
  stored.PrintDate = false;
  stored.Language = 1;
  ASSERT_TRUE(stored.Save());
  const std::string cfg = testing::ReadAll(folder.File(kConfigFileName));
  const std::string env = "VEXA_CONFIG_DIR=" + Quote(folder.path()) + " QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 ";
  const std::string pdf = folder.File("page.pdf");
  int status = -1;
  const std::string out = Shell(env + Quote(kRender) + " " + Quote(recording) + " --out " + Quote(pdf), &status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_EQ(out, pdf + "\n");
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Файл : 2026-12-08 (14-23-05) run1.vxa"), std::string::npos) << text;
  EXPECT_EQ(text.find("Дата"), std::string::npos) << text;
  EXPECT_EQ(PdfPageSize(pdf), "595x842");
  EXPECT_EQ(testing::ReadAll(folder.File(kConfigFileName)), cfg) << "vexa.cfg is only read";
}

}  // namespace
}  // namespace vexa
