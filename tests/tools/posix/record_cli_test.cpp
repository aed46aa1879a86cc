// vexa-rec record against the simulated flow meter (vexa-flowsim on a
// pseudo-terminal): the path it prints, its failures, and the file a killed
// or terminated session leaves.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "chart/chart.h"
#include "core/settings.h"
#include "core/temp_folder.h"
#include "recording/channel.h"

extern char** environ;

namespace vexa {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kRec = VEXA_BINARY_DIR "/tools/vexa-rec";
const std::string kSim = VEXA_BINARY_DIR "/tools/vexa-flowsim";
constexpr int kPort = 61;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A program started with extra environment variables, its output in files.
class Process {
 public:
  Process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          const std::string& outFile, const std::string& errFile) {
    std::vector<std::string> envStrings = env;
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    std::vector<char*> args, envp;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : envStrings) envp.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Process() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return pid_ > 0; }
  void Signal(int sig) { kill(pid_, sig); }
  // The exit status, or 128 + the signal that ended it.
  int Wait() {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
};

class RecordCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kRec) || !fs::exists(kSim)) {
      GTEST_SKIP() << "build vexa-rec and vexa-flowsim first (" << kRec << ")";
    }
    sim = std::make_unique<Process>(
        std::vector<std::string>{kSim, "--link", link, "--constant", "3.00,15,7.5", "--rate", "100"},
        std::vector<std::string>{}, dir.File("sim.out"), dir.File("sim.err"));
    ASSERT_TRUE(sim->Started());
    for (int i = 0; i < 300 && !fs::exists(link); ++i) std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(fs::exists(link)) << ReadAll(dir.File("sim.err"));
  }
  void TearDown() override {
    if (sim) sim->Signal(SIGTERM);
  }

  std::unique_ptr<Process> Record(std::vector<std::string> args) {
    args.insert(args.begin(), {kRec, "record", "--port", std::to_string(kPort), "--dir", out.path()});
    return std::make_unique<Process>(
        args,
        std::vector<std::string>{"VEXA_CONFIG_DIR=" + config.path(),
                                 "VEXA_COM" + std::to_string(kPort) + "=" + link,
                                 "VEXA_COM99=" + dir.File("nothing-here")},
        dir.File("rec.out"), dir.File("rec.err"));
  }
  std::string LastLine() const {
    std::string text = ReadAll(dir.File("rec.out"));
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
  }
  std::string Err() const { return ReadAll(dir.File("rec.err")); }
  std::vector<std::string> Recordings() const {
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(out.path())) r.push_back(e.path().string());
    return r;
  }
  // Complete rows of a recording file (lines after "Data-Table:" that end).
  static int CompleteRows(const std::string& path) {
    const std::string text = ReadAll(path);
    const auto at = text.find("Data-Table:\r\n");
    if (at == std::string::npos) return -1;
    int n = 0;
    for (auto p = text.find("\r\n", at + 13); p != std::string::npos; p = text.find("\r\n", p + 2)) ++n;
    return n;
  }
  bool WaitRows(int rows) {
    for (int i = 0; i < 500; ++i) {
      const auto files = Recordings();
      if (files.size() == 1 && CompleteRows(files[0]) >= rows) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  testing::TempFolder dir, config, out;
  std::string link = dir.File("flowmeter");
  std::unique_ptr<Process> sim;
};

struct Loaded {
  TGLOB settings{TGLOB::NoFile{}, "."};
  chart::Chart chart;
  TChannel channel{settings};
  int header = -1, load = -1;
  explicit Loaded(const std::string& path) {
    channel.CreateFixedAxes(chart);
    header = channel.ReadHeader(path);
    if (header == 0) load = channel.LoadRecording();
  }
};

TEST_F(RecordCli, PrintsThePathLastAndTheRowsReadBack) {
  auto rec = Record({"--interval", "0.1", "--samples", "4", "--mark", "2:a: b", "--postfix", "cli"});
  ASSERT_EQ(rec->Wait(), 0) << Err();
  const std::string path = LastLine();
  EXPECT_TRUE(path.ends_with(") cli.vxa")) << path;
  ASSERT_EQ(Recordings(), std::vector<std::string>{path});
  Loaded f(path);
  ASSERT_EQ(f.header, 0);
  ASSERT_EQ(f.load, 0);
  EXPECT_EQ(f.channel.DataCount, 4);
  EXPECT_EQ(f.channel.IntervalSeconds, 0.1);
  ASSERT_EQ(f.channel.SeriesV.Count(), 4u);
  EXPECT_FLOAT_EQ(f.channel.SeriesV.Value(3), 3.0f);
  EXPECT_FLOAT_EQ(f.channel.SeriesM.Value(3), 7.5f);
  EXPECT_EQ(f.channel.MarksSeries.LabelText(1), "a: b");
}

TEST_F(RecordCli, FailuresPrintAMessageAndExit1) {
  auto rec = Record({"--port", "99", "--seconds", "1"});
  EXPECT_EQ(rec->Wait(), 1);
  EXPECT_NE(Err().find("Error init port COM 99"), std::string::npos) << Err();
  rec = Record({"--interval", "0", "--samples", "1"});
  EXPECT_EQ(rec->Wait(), 1);
  EXPECT_NE(Err().find("at least 0.05 s"), std::string::npos) << Err();
  rec = Record({"--interval", "1", "--samples", "1", "--mark", "1:" + std::string(51, 'm')});
  EXPECT_EQ(rec->Wait(), 1);
  EXPECT_NE(Err().find("50 characters"), std::string::npos) << Err();
  EXPECT_TRUE(Recordings().empty());
}

TEST_F(RecordCli, KilledSessionLeavesEveryCompleteRow) {
  auto rec = Record({"--interval", "0.05", "--seconds", "30"});
  ASSERT_TRUE(WaitRows(4)) << Err();
  rec->Signal(SIGKILL);
  EXPECT_EQ(rec->Wait(), 128 + SIGKILL);
  const std::string path = Recordings().at(0);
  const int rows = CompleteRows(path);
  Loaded f(path);
  ASSERT_EQ(f.header, 0);
  ASSERT_EQ(f.load, 0);
  // Never completed: the placeholders stand, and the reader counts the rows.
  EXPECT_EQ(f.channel.DataCount, rows);
  EXPECT_EQ(f.channel.StoppedTime, f.channel.StartedTime);
  EXPECT_EQ(static_cast<int>(f.channel.SeriesV.Count()), rows);
  EXPECT_FLOAT_EQ(f.channel.SeriesV.Value(static_cast<std::size_t>(rows) - 1), 3.0f);
}

TEST_F(RecordCli, TerminatedSessionCompletesItsHeader) {
  auto rec = Record({"--interval", "0.05", "--seconds", "30", "--description", "cut short"});
  ASSERT_TRUE(WaitRows(2)) << Err();
  rec->Signal(SIGTERM);
  ASSERT_EQ(rec->Wait(), 0) << Err();
  const std::string path = LastLine();
  Loaded f(path);
  ASSERT_EQ(f.header, 0);
  ASSERT_EQ(f.load, 0);
  EXPECT_EQ(f.channel.DataCount, CompleteRows(path));
  EXPECT_EQ(static_cast<int>(f.channel.SeriesV.Count()), f.channel.DataCount);
  EXPECT_EQ(f.channel.RecordDescription, "cut short");
}

}  // namespace
}  // namespace vexa
