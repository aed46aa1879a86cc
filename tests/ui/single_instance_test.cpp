// One desktop program per settings folder: the lock, the request to the
// running program, a lock left by a killed program, and the second start's
// message in both languages.
#include "ui/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <chrono>
#include <memory>
#include <thread>

#include "core/temp_folder.h"
#include "ui/modal.h"
#include "ui/qt_texts.h"

namespace vexa::ui {
namespace {

using Start = TSingleInstance::Start;

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool Until(const std::function<bool()>& done, int ms = 5000) {
  QDeadlineTimer deadline(ms);
  while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST(SingleInstance, ASecondStartOnTheFolderAsksTheFirstToTheFrontOthersRun) {
  testing::TempFolder folder, other;
  TSingleInstance first(Q(folder.path()));
  ASSERT_EQ(first.Acquire(), Start::kFirst);
  int raised = 0;
  ASSERT_TRUE(first.Listen([&raised] { ++raised; }));

  TSingleInstance second(Q(folder.path() + "/."));  // the same folder spelled otherwise
  EXPECT_EQ(second.Acquire(), Start::kRunning);
  EXPECT_TRUE(Until([&] { return raised == 1; })) << raised;
  TSingleInstance third(Q(folder.path()));
  EXPECT_EQ(third.Acquire(), Start::kRunning);
  EXPECT_TRUE(Until([&] { return raised == 2; })) << raised;

  TSingleInstance elsewhere(Q(other.path()));
  EXPECT_EQ(elsewhere.Acquire(), Start::kFirst);
  EXPECT_NE(TSingleInstance::ServerName(Q(other.path())), TSingleInstance::ServerName(Q(folder.path())));
}

TEST(SingleInstance, TheLockEndsWithItsProgram) {
  testing::TempFolder folder;
  {
    TSingleInstance first(Q(folder.path()));
    ASSERT_EQ(first.Acquire(), Start::kFirst);
  }
  TSingleInstance next(Q(folder.path()));
  EXPECT_EQ(next.Acquire(), Start::kFirst);
}

// A start while the first program is ending (its windows closed, its
// settings being written) runs once the lock is given up; one that finds a
// program holding the lock without listening is still sent away.
TEST(SingleInstance, AStartWhileTheFirstIsEndingRunsOnceItsLockIsGivenUp) {
  testing::TempFolder folder;
  auto first = std::make_unique<TSingleInstance>(Q(folder.path()));
  ASSERT_EQ(first->Acquire(), Start::kFirst);
  int raised = 0;
  ASSERT_TRUE(first->Listen([&raised] { ++raised; }));
  first->StopListening();

  TSingleInstance stuck(Q(folder.path()));
  EXPECT_EQ(stuck.Acquire(300), Start::kRunning);

  std::thread ending([&first] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    first.reset();
  });
  TSingleInstance next(Q(folder.path()));
  const Start start = next.Acquire(5000);
  ending.join();
  EXPECT_EQ(start, Start::kFirst);
  EXPECT_EQ(raised, 0);
}

// The child of the next test: holds the lock of $VEXA_TEST_LOCK_DIR and
// says "front" for each request to the front until it is killed. Skipped
// when run on its own.
TEST(SingleInstanceChild, HoldsTheLockUntilKilled) {
  const QString dir = qEnvironmentVariable("VEXA_TEST_LOCK_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "only as the child of AnotherProgramsRequestReaches...";
  TSingleInstance held(dir);
  if (held.Acquire() != Start::kFirst) return;
  held.Listen([] {
    std::fputs("front\n", stdout);
    std::fflush(stdout);
  });
  std::fputs("held\n", stdout);
  std::fflush(stdout);
  QDeadlineTimer deadline(60000);
  while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
}

TEST(SingleInstance, AnotherProgramsRequestReachesTheFirstWhoseLockIsTakenOverOnceItIsKilled) {
  testing::TempFolder folder;
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("VEXA_TEST_LOCK_DIR"), Q(folder.path()));
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=SingleInstanceChild.*")});
  ASSERT_TRUE(child.waitForStarted(10000));
  QByteArray said;
  ASSERT_TRUE(Until([&] {
    child.waitForReadyRead(50);
    said += child.readAllStandardOutput();
    return said.contains("held") || child.state() == QProcess::NotRunning;
  }, 20000));
  ASSERT_EQ(child.state(), QProcess::Running);
  {
    // A second program: the lock holds, and its request reaches the first.
    TSingleInstance second(Q(folder.path()));
    EXPECT_EQ(second.Acquire(5000), Start::kRunning);
    EXPECT_TRUE(Until([&] {
      child.waitForReadyRead(50);
      said += child.readAllStandardOutput();
      return said.contains("front");
    }, 10000)) << said.toStdString();
  }
  child.kill();  // a crash: the lock file stays behind
  ASSERT_TRUE(child.waitForFinished(10000));
  ASSERT_TRUE(QFile::exists(Q(folder.File(kLockFileName))));
  TSingleInstance after(Q(folder.path()));
  EXPECT_EQ(after.Acquire(), Start::kFirst);
  EXPECT_TRUE(after.Listen([] {}));  // the dead program's socket is cleared
}

TEST(SingleInstance, TheSecondStartSaysSoInTheSettingsLanguage) {
  QStringList shown;
  const ModalRunner old = SetModalRunner([&shown](QDialog& d) {
    if (auto* box = qobject_cast<QMessageBox*>(&d)) shown << box->windowTitle() + "|" + box->text();
    return static_cast<int>(QDialog::Accepted);
  });
  // Given with "/" as Qt's paths have them, shown with the system's own.
  const QString dir = QStringLiteral("/home/op/.config/vexa"), shownDir = QDir::toNativeSeparators(dir);
  TellAlreadyRunning(dir, 0);
  TellAlreadyRunning(dir, 1);
  SetModalRunner(old);
  ApplyQtLanguage(0);  // the framework's texts back in English for the tests after this one
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[0].startsWith("VEXA|VEXA is already running with the settings in " + shownDir + "."))
      << shown[0].toStdString();
  EXPECT_TRUE(shown[1].startsWith("VEXA|VEXA уже работает с настройками из папки " + shownDir + "."))
      << shown[1].toStdString();
}

}  // namespace
}  // namespace vexa::ui
