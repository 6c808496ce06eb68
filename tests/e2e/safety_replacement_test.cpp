// Every output is replaced whole or not at all: a run killed at any moment leaves each output
// as it was or complete and new, the signals a user or a scheduler sends leave no temporary file,
// and replacing a file keeps what writing over it used to keep (its mode, a link to it, a device).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/safety_support.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::kFour;
using testing::read_file;
using testing::run_selvane;
using testing::snapshot;
using testing::TempDir;
using testing::write_file;

// An alignment whose files take a noticeable time to write: related sequences with scattered
// changes and gaps, so every output (the HTML report above all) is large.
std::string big_alignment() {
  std::mt19937 random(7);
  const char residues[] = "ACDEFGHIKLMNPQRSTVWY";
  std::string base(15000, 'A');
  for (char& c : base) c = residues[random() % 20];
  std::string text;
  for (int s = 1; s <= 40; ++s) {
    text += ">seq" + std::to_string(s) + "\n";
    for (const char c : base) {
      const auto roll = random() % 100;
      text += roll < 80 ? c : roll < 90 ? '-' : residues[random() % 20];
    }
    text += '\n';
  }
  return text;
}

// Starts selvane in `dir` without waiting for it; its output goes nowhere.
pid_t start(const std::vector<std::string>& args, const fs::path& dir) {
  std::vector<std::string> words = {SELVANE_BINARY};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0 || !freopen("/dev/null", "w", stdout) ||
        !freopen("/dev/null", "w", stderr)) {
      _exit(127);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

using Files = std::map<std::string, std::string>;

// Every file of `now` is the input, or an output as `old` or `fresh` has it; with
// `temporaries_allowed` a hidden file may stand beside them (SIGKILL gives no chance to clean).
void expect_old_or_new(const Files& now, const Files& old, const Files& fresh,
                       bool temporaries_allowed) {
  for (const auto& [name, content] : now) {
    if (name[0] == '.') {
      EXPECT_TRUE(temporaries_allowed) << "temporary file left: " << name;
      continue;
    }
    ASSERT_TRUE(old.contains(name) && fresh.contains(name)) << "unexpected file " << name;
    EXPECT_TRUE(content == old.at(name) || content == fresh.at(name))
        << name << " is neither the old nor the new file (" << content.size() << " bytes)";
  }
  for (const auto& [name, content] : old) EXPECT_TRUE(now.contains(name)) << name << " lost";
}

class Interrupted : public ::testing::Test {
 protected:
  // Two runs whose files have the same names and different contents.
  const std::vector<std::string> old_run = {"big.fas", "-k=y", "-d=y", "-n=y", "-u=y", "-b5=n"};
  const std::vector<std::string> new_run = {"big.fas", "-k=y",  "-d=y",  "-n=y",
                                            "-u=y",    "-b5=h", "-v=100"};

  void SetUp() override {
    write_file(dir / "big.fas", big_alignment());
    ASSERT_EQ(run_selvane(new_run, dir.path()).status, 1);
    fresh = snapshot(dir.path());
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(run_selvane(old_run, dir.path()).status, 1);
    duration = std::chrono::steady_clock::now() - begin;
    old = snapshot(dir.path());
    ASSERT_NE(old, fresh);
  }

  // Starts a run and sends `sig` after a random part of a whole run's time.
  void interrupt(int sig, const std::vector<std::string>& args, std::mt19937& random) {
    const pid_t pid = start(args, dir.path());
    std::uniform_real_distribution<double> part(0.0, 1.1);
    std::this_thread::sleep_for(duration * part(random));
    kill(pid, sig);
    int status = 0;
    waitpid(pid, &status, 0);
    // Ended by the signal itself (the default action the handler hands over to), or done.
    EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == sig) ||
                (WIFEXITED(status) && WEXITSTATUS(status) == 1))
        << "status " << status;
  }

  TempDir dir;
  Files old;
  Files fresh;
  std::chrono::steady_clock::duration duration{};
};

TEST_F(Interrupted, KilledAtAnyMomentEveryOutputIsOldOrCompleteAndNew) {
  std::mt19937 random(2024);
  for (int kill_number = 0; kill_number < 20; ++kill_number) {
    SCOPED_TRACE(kill_number);
    // Alternating the runs, each kill meets files that the other run wrote.
    interrupt(SIGKILL, kill_number % 2 == 0 ? new_run : old_run, random);
    expect_old_or_new(snapshot(dir.path()), old, fresh, true);
  }
}

TEST_F(Interrupted, SignalsToStopLeaveNoTemporaryFile) {
  std::mt19937 random(99);
  for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGTERM, SIGINT}) {
    SCOPED_TRACE(sig);
    interrupt(sig, new_run, random);
    expect_old_or_new(snapshot(dir.path()), old, fresh, false);
  }
}

// An old output rewritten in place (its folder refuses new files) is never left torn by a stop:
// strace sends the signal as the copy reserves the new length, which once left the old text
// with a tail of zero bytes. The copy now ends first, and then the run ends by the signal.
TEST(Replacement, AStopDuringAnInPlaceRewriteWaitsForTheCopy) {
  TempDir dir;
  if (testing::run_program("strace", {"-qq", "-o", "/dev/null", "true"}, dir.path()).status != 0) {
    GTEST_SKIP() << "strace cannot trace here";
  }
  const std::vector<std::string> args = {"a.fas", "-k=y"};
  write_file(dir / "new/a.fas", kFour);
  ASSERT_EQ(run_selvane(args, dir / "new").status, 1);
  const Files fresh = snapshot(dir / "new");
  // As root, the run is another user's, who may write the old outputs but not their folder.
  const bool root = geteuid() == 0;
  fs::copy_file(SELVANE_BINARY, dir / "selvane");
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_exec);
  // The first copy of an old output is signalled as it reserves room for the new text. With
  // `closed_tmp`, /tmp is a folder nobody but root may write in (the text is then gathered in
  // memory): the run starts in its folder before /tmp is covered, and finds itself relatively.
  fs::create_directory(dir / "closed");
  const auto traced = [&](const std::string& sig, bool closed_tmp) {
    std::vector<std::string> words = {"-c",
                                      closed_tmp ? "mount --bind \"$0\" /tmp && \"$@\"; exit $?"
                                                 : "\"$@\"; exit $?",
                                      closed_tmp ? (dir / "closed").string() : "sh",
                                      "strace",
                                      "-qq",
                                      "-o",
                                      "/dev/null",
                                      "-e",
                                      "trace=fallocate",
                                      "-e",
                                      "inject=fallocate:signal=" + sig + ":when=1"};
    if (root) {
      words.insert(words.end(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    words.push_back(closed_tmp ? "../selvane" : (dir / "selvane").string());
    words.insert(words.end(), args.begin(), args.end());
    if (closed_tmp) words.insert(words.begin(), {"--mount", "sh"});
    return words;
  };
  const bool may_mount =
      root && testing::run_program("unshare", {"--mount", "true"}, dir.path()).status == 0;
  struct Case {
    int sig;
    std::string name;
    bool closed_tmp;
  };
  for (const auto& [sig, name, closed_tmp] :
       std::vector<Case>{{SIGTERM, "SIGTERM", false},
                         {SIGINT, "SIGINT", false},
                         {SIGHUP, "SIGHUP", false},
                         {SIGTERM, "SIGTERM-closed-tmp", true}}) {
    if (closed_tmp && !may_mount) continue;
    SCOPED_TRACE(name);
    const fs::path folder = dir / name;
    write_file(folder / "a.fas", kFour);
    Files old;
    for (const auto& [file, content] : fresh) {
      if (file == "a.fas") continue;
      write_file(folder / file, "old\n");
      old[file] = "old\n";
      if (root) {
        ASSERT_EQ(chown((folder / file).c_str(), 65534, 65534), 0);
      }
    }
    old["a.fas"] = kFour;
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const auto result =
        testing::run_program(closed_tmp ? "unshare" : "sh",
                             traced(name.substr(0, name.find('-')), closed_tmp), folder);
    fs::permissions(folder, fs::perms::owner_all);

    EXPECT_EQ(result.status, 128 + sig) << result.output << result.errors;
    const Files now = snapshot(folder);
    expect_old_or_new(now, old, fresh, false);
    EXPECT_NE(now, old) << "no output was rewritten: the test proves nothing";
  }
}

// Replacing a file keeps what writing over it kept: its permissions, the link that leads to it,
// and a device stays a device.
TEST(Replacement, KeepsWhatWritingOverAFileKept) {
  TempDir dir;
  write_file(dir / "a.fas", kFour);
  write_file(dir / "a.fas-sv", "old blocks\n");
  fs::permissions(dir / "a.fas-sv",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  write_file(dir / "keep/results.txt", "old results\n");
  fs::create_symlink("keep/results.txt", dir / "a.fas-sv.txt");
  fs::create_symlink("keep/new-mask", dir / "a.fas-svMask");  // a link to no file yet
  // Two outputs sent to /dev/null, as before.
  fs::create_symlink("/dev/null", dir / "a.fas--");
  fs::create_symlink("/dev/null", dir / "a.fas-svPS");
  const mode_t mask = umask(0);
  umask(mask);

  const auto result = run_selvane({"a.fas", "-p=t", "-k=y", "-d=y", "-u=y", "-n=y"}, dir.path());

  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output.find("Execution terminated"), std::string::npos) << result.output;
  EXPECT_EQ(fs::status(dir / "a.fas-sv").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_NE(read_file(dir / "a.fas-sv"), "old blocks\n");
  EXPECT_TRUE(fs::is_symlink(dir / "a.fas-sv.txt"));
  EXPECT_NE(read_file(dir / "keep/results.txt").find("Flanks:"), std::string::npos);
  EXPECT_TRUE(fs::is_symlink(dir / "a.fas-svMask"));
  EXPECT_TRUE(testing::file_exists(dir / "keep/new-mask"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(static_cast<mode_t>(fs::status(dir / "a.fas-svComp").permissions() & fs::perms::all),
            0666 & ~mask);
  for (const auto& [name, content] : snapshot(dir.path())) {
    EXPECT_NE(fs::path(name).filename().string()[0], '.') << "temporary file left: " << name;
  }
}

}  // namespace
}  // namespace selvane
