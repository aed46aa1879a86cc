// A recording with the windows attached, in real time: the control panel's
// sampling timer and clock run in the event loop while the acquisition
// thread reads a flow meter on a pseudo-terminal. ThreadSanitizer runs this
// binary, so the hand-off between the thread and the windows is checked
// where the program really makes it.
#include <QTest>
#include <algorithm>

#include "link/posix/pty_meter.h"
#include "link/test_env.h"
#include "recording/support/recording_fixture.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

class LiveSession : public testing::ProgramFixture {
 protected:
  LiveSession() : com2_("VEXA_COM2", meter_.Path()) {}

  // Runs the event loop, the meter sending a frame every few milliseconds,
  // until `done` holds (at most 10 s).
  template <class Pred>
  bool RunUntil(Pred done) {
    return QTest::qWaitFor(
        [&] {
          meter_.Send(test::kFrame1);
          return done();
        },
        10000);
  }

  test::PtyMeter meter_;
  test::ScopedEnv com2_;
};

TEST_F(LiveSession, TheTimerSamplesWhatTheThreadReadsAndAMarkLandsOnItsRow) {
  Type("pINTERVAL", QStringLiteral("0.05"));
  Action("actStart").trigger();
  ASSERT_TRUE(Channel()->Recording);
  ASSERT_TRUE(RunUntil([&] { return Channel()->DataCount >= 3; }));

  answer = [](QDialog& d) {
    if (auto* edit = d.findChild<QLineEdit*>(QStringLiteral("pNEWNAME")))
      edit->setText(QStringLiteral("peak"));
    return static_cast<int>(QDialog::Accepted);
  };
  Action("actMark").trigger();
  EXPECT_FALSE(Action("actMark").isEnabled());
  ASSERT_TRUE(RunUntil([&] { return Action("actMark").isEnabled(); }));
  const int marked = Channel()->DataCount;
  ASSERT_TRUE(RunUntil([&] { return Channel()->DataCount >= marked + 2; }));

  EXPECT_EQ(Panel<QLabel>("lVO2t").text().toStdString(), "3.00");
  EXPECT_EQ(Panel<QLabel>("lM").text().toStdString(), "7.5");
  EXPECT_TRUE(Panel<QLabel>("lLinkStatus").text().contains(QStringLiteral("alive")));
  Action("actStop").trigger();
  ASSERT_FALSE(Channel()->Recording);

  const std::string file = testing::ReadAll(Channel()->RecordFileName);
  const auto table = file.find("Data-Table:\r\n");
  ASSERT_NE(table, std::string::npos);
  std::vector<std::string> rows;
  for (std::size_t at = table + 13; at < file.size();) {
    const auto end = file.find("\r\n", at);
    rows.push_back(file.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(static_cast<int>(rows.size()), Channel()->DataCount);
  // A sample whose interval saw no frame holds zeros; the others the frame's values.
  const std::string& markRow = rows.at(static_cast<std::size_t>(marked - 1));
  EXPECT_EQ(markRow.substr(markRow.size() - 5), "\tpeak");
  EXPECT_GE(std::count(rows.begin(), rows.end(), "3.0\t7.5\t"), 1);
}

}  // namespace
}  // namespace vexa
