// Recording from the control panel with a flow meter on a pseudo-terminal
// as COM2: the buttons' states, a pending mark, the displays and the link
// line, refused starts. The sampling timer is driven by calling its handler,
// so no test waits for a clock.
#include <QLCDNumber>

#include "link/posix/pty_meter.h"
#include "link/test_env.h"
#include "recording/session.h"
#include "recording/support/recording_fixture.h"
#include "ui/f_dialog.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using testing::ProgramFixture;

class PanelRecording : public ProgramFixture {
 protected:
  PanelRecording() : com2_("VEXA_COM2", meter_.Path()) {}

  void Start(const char* interval = "5") {
    Type("pINTERVAL", QString::fromLatin1(interval));
    Action("actStart").trigger();
  }
  // A sample as the sampling timer takes it.
  void Tick() { ui::F_CONTROL->TimerIntervalTimer(); }
  // The operator types a mark and presses OK.
  void AnswerMarksWith(const QString& text) {
    answer = [text](QDialog& d) {
      if (d.objectName() == QLatin1String("F_DIALOG")) {
        d.findChild<QLineEdit*>(QStringLiteral("pNEWNAME"))->setText(text);
      }
      return static_cast<int>(QDialog::Accepted);
    };
  }
  QString Display(const char* name) { return Panel<QLabel>(name).text(); }

  test::PtyMeter meter_;
  test::ScopedEnv com2_;
};

TEST_F(PanelRecording, StartSwitchesTheControlsAndStopSwitchesThemBack) {
  Start();
  ASSERT_TRUE(Channel()->Recording);
  EXPECT_TRUE(Action("actStart").isChecked());
  EXPECT_TRUE(Action("actStop").isEnabled());
  EXPECT_TRUE(Action("actMark").isEnabled());
  EXPECT_FALSE(Action("actOpen").isEnabled());
  EXPECT_TRUE(Action("actPrint").isEnabled());
  EXPECT_TRUE(Action("actImage").isEnabled());
  EXPECT_FALSE(Pages().isTabEnabled(ui::TF_CONTROL::kTabPreset));
  EXPECT_FALSE(Panel("pSmpleInterval").isEnabled());
  EXPECT_TRUE(ui::F_CONTROL->TimerRunning());
  EXPECT_TRUE(ui::F_MONITOR->windowTitle().startsWith(QStringLiteral("Record to file: \"")));

  Action("actStart").trigger();  // F5 again: nothing, the button stays down
  EXPECT_TRUE(Action("actStart").isChecked());
  EXPECT_EQ(Recordings().size(), 1u);

  Action("actStop").trigger();
  EXPECT_FALSE(Channel()->Recording);
  EXPECT_FALSE(Action("actStart").isChecked());
  EXPECT_FALSE(Action("actStop").isEnabled());
  EXPECT_FALSE(Action("actMark").isEnabled());
  EXPECT_TRUE(Action("actOpen").isEnabled());
  EXPECT_TRUE(Pages().isTabEnabled(ui::TF_CONTROL::kTabPreset));
  EXPECT_FALSE(ui::F_CONTROL->TimerRunning());
  EXPECT_TRUE(
      ui::F_MONITOR->windowTitle().startsWith(QStringLiteral("Previos session saved to file: \"")));
}

TEST_F(PanelRecording, APendingMarkDisablesMarkUntilTheNextSample) {
  Start();
  AnswerMarksWith(QStringLiteral("deep breath"));
  Action("actMark").trigger();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].window.toStdString(), "F_DIALOG");
  EXPECT_EQ(shown[0].title.toStdString(), "VEXA:  Marks");
  EXPECT_FALSE(Action("actMark").isEnabled());
  EXPECT_FALSE(Panel("bMARK").isEnabled());
  Action("actMark").trigger();  // Ctrl+M again before the sample: nothing opens
  EXPECT_EQ(shown.size(), 1u);

  Tick();
  EXPECT_TRUE(Action("actMark").isEnabled());
  Tick();
  Action("actStop").trigger();
  const std::string file = testing::ReadAll(Channel()->RecordFileName);
  EXPECT_NE(file.find("\tdeep breath\r\n"), std::string::npos);
  EXPECT_NE(file.find("Data-Count:      2"), std::string::npos);
}

TEST_F(PanelRecording, CancelledOrEmptyMarkChangesNothing) {
  Start();
  answer = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  Action("actMark").trigger();
  EXPECT_TRUE(Action("actMark").isEnabled());
  AnswerMarksWith(QString());
  Action("actMark").trigger();
  EXPECT_TRUE(Action("actMark").isEnabled());
  EXPECT_FALSE(settings.MarkPending);
  // The field starts empty at every opening, also after a cancelled entry.
  EXPECT_TRUE(ui::F_DIALOG->pNEWNAME().text().isEmpty());
}

TEST_F(PanelRecording, DisplaysShowTheValuesOrQuestionMarksWhileTheMeterIsSilent) {
  Start();
  Tick();
  EXPECT_EQ(Display("lVO2t").toStdString(), "???");
  EXPECT_EQ(Display("lM").toStdString(), "???");
  EXPECT_EQ(Display("lO2").toStdString(), "???");
  EXPECT_TRUE(Panel<QLabel>("lLinkStatus").text().contains(QStringLiteral("silent")));

  meter_.Send(test::Join(test::kFrame1, {0x55}));  // V 3.00 l, F 15 /min, M 7.5 l/min, then the next sync byte
  ASSERT_TRUE(test::WaitFor([&] { return Channel()->ValueM.load() != 0; }, 3000));
  Tick();
  EXPECT_EQ(Display("lVO2t").toStdString(), "3.00");
  EXPECT_EQ(Display("lM").toStdString(), "7.5");
  EXPECT_EQ(Display("lO2").toStdString(), "15.0");
  ui::F_CONTROL->VrClock1SecondsChanged();
  EXPECT_TRUE(
      Panel<QLabel>("lLinkStatus").text().contains(QStringLiteral("COM2: alive, 1 frames")));
  EXPECT_TRUE(
      Panel<QLabel>("lLinkStatus").toolTip().contains(QString::fromStdString(meter_.Path())));
}

struct Refusal {
  const char* name;
  const char* interval;
  const char* postfix;
  bool portMissing;
  int language;
  const char* message;
};

// The case's name, for the test's name.
void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

class RefusedStart : public PanelRecording, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedStart, ShowsTheMessageWindowAndOpensNothing) {
  const Refusal& r = GetParam();
  test::ScopedEnv port("VEXA_COM2", r.portMissing ? folder.File("no-such-device") : meter_.Path());
  settings.Language = r.language;
  ui::F_CONTROL->ApplyLanguage();
  Type("pFileNamePostfix", QString::fromUtf8(r.postfix));
  Start(r.interval);

  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].window.toStdString(), "F_MESAGE");
  EXPECT_EQ(shown[0].text.toStdString(), r.message);
  EXPECT_TRUE(Recordings().empty());
  EXPECT_FALSE(Channel()->Recording);
  EXPECT_FALSE(Channel()->Running.load());
  EXPECT_FALSE(Channel()->FlowMeter().Port && Channel()->FlowMeter().Port->IsOpen());
  EXPECT_FALSE(Action("actStart").isChecked());
  EXPECT_FALSE(Action("actStop").isEnabled());
  EXPECT_FALSE(ui::F_CONTROL->TimerRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Panel, RefusedStart,
    ::testing::Values(Refusal{"port", "5", "", true, 0, "Error init port COM 2"},
                      Refusal{"port-ru", "5", "", true, 1, "Ошибка инициализации порта COM 2"},
                      Refusal{"interval-text", "abc", "", false, 0,
                              "The sample interval is not a number: \"abc\""},
                      Refusal{"interval-short", "0.0001", "", false, 0,
                              "The sample interval must be at least 0.05 s: \"0.0001\""},
                      Refusal{"postfix", "5", "a/b", false, 0,
                              "The file name postfix may only hold Windows-1251 characters other "
                              "than / \\ : * ? \" < > | and control characters: \"a/b\""}));

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

class PanelPictures : public PanelRecording {};

// Ctrl+B: pictures beside the recording, numbered from 1 in each session;
// an opened recording takes the next number under its own name.
TEST_F(PanelPictures, AreNumberedPerSessionAndGoOnUnderAnOpenedRecordingsName) {
  auto stem = [](const std::string& file) { return file.substr(0, file.size() - 4); };
  Start();
  Tick();
  Action("actImage").trigger();
  Action("actImage").trigger();
  const std::string first = stem(Channel()->RecordFileName);
  EXPECT_TRUE(std::filesystem::exists(first + "[1].bmp"));
  EXPECT_TRUE(std::filesystem::exists(first + "[2].bmp"));
  Action("actStop").trigger();

  const std::string opened = Example("rec", "2026-12-08 (14-23-05) test.vxa");
  ASSERT_TRUE(ui::OpenRecordingPath(opened, true));
  Action("actImage").trigger();
  EXPECT_TRUE(std::filesystem::exists(stem(opened) + "[3].bmp"));

  Start();
  Action("actImage").trigger();
  const std::string second = stem(Channel()->RecordFileName);
  EXPECT_NE(second, first);
  EXPECT_TRUE(std::filesystem::exists(second + "[1].bmp"));
  Action("actStop").trigger();
  EXPECT_TRUE(shown.empty());
}

}  // namespace
}  // namespace vexa
