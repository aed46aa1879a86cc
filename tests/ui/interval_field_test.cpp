// The sample interval field speaks the system's numbers, as the Setup page
// does: under a Russian locale it shows "0,5" and takes "0,5" and "0.5"
// alike, wherever the interval goes (a start, the Exit page, a recording
// opened); the files keep ".".
#include "link/test_env.h"
#include "recording/support/recording_fixture.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

class RussianNumbers : public testing::ProgramFixture {
 protected:
  void Prepare() override {
    previous_ = QLocale();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    settings.SampleInterval = 0.5;
  }
  void TearDown() override {
    ProgramFixture::TearDown();
    QLocale::setDefault(previous_);
  }
  static QString Interval() { return Panel<QLineEdit>("pINTERVAL").text(); }
  QLocale previous_;
};

TEST_F(RussianNumbers, TheIntervalFieldShowsAndTakesTheSystemsSeparator) {
  EXPECT_EQ(Interval(), "0,5");
  // A start reads either separator (no meter here: the port is what fails).
  test::ScopedEnv noMeter("VEXA_COM2", folder.File("no-such-device"));
  const std::pair<const char*, double> typed[] = {{"0,25", 0.25}, {"0.75", 0.75}, {" 2,5 ", 2.5}};
  for (const auto& [text, seconds] : typed) {
    Type("pINTERVAL", QString::fromUtf8(text));
    shown.clear();
    Action("actStart").trigger();
    ASSERT_EQ(shown.size(), 1u) << text;
    EXPECT_EQ(shown[0].text.toStdString(), "Error init port COM 2") << text;
    EXPECT_EQ(settings.SampleInterval, seconds) << text;
  }
  // A refusal quotes the text as typed.
  Type("pINTERVAL", "0,01");
  shown.clear();
  Action("actStart").trigger();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.toStdString(), "The sample interval must be at least 0.05 s: \"0,01\"");

  // A recording opened shows its interval ("0.2" in the file) the same way.
  const std::string path = Example("rec", "2026-12-08 (14-23-05) test.vxa");
  std::string text = testing::ReadAll(path);
  text.replace(text.find("Sample-Interval: 5.0"), 20, "Sample-Interval: 0.2");
  testing::WriteAll(path, text);
  ASSERT_TRUE(ui::OpenRecordingPath(path, true));
  EXPECT_EQ(Interval(), "0,2");

  // The Exit page stores it; vexa.cfg holds the number.
  Type("pINTERVAL", "1,5");
  Action("actExit").trigger();
  EXPECT_EQ(settings.SampleInterval, 1.5);
  ASSERT_TRUE(settings.Save());
  EXPECT_EQ(TGLOB(folder.path()).SampleInterval, 1.5);
}

}  // namespace
}  // namespace vexa
