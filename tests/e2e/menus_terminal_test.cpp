// The menus in a real terminal: every prompt must be on the screen before the program waits
// for the answer. Runs selvane inside a detached tmux session on a private server socket.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/run_state.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace t = selvane::testing;

class TmuxSession {
 public:
  explicit TmuxSession(const std::filesystem::path& cwd)
      : cwd_(cwd),
        socket_("selvane-test-" + std::to_string(getpid()) + "-" +
                std::to_string(std::random_device{}())) {}
  ~TmuxSession() { tmux({"kill-server"}); }
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;

  static bool available(const std::filesystem::path& cwd) {
    return t::run_program("env", {"tmux", "-V"}, cwd).status == 0;
  }

  t::RunResult tmux(std::vector<std::string> args) {
    // Our own server, no user configuration, and no confusion with a tmux we may run inside.
    std::vector<std::string> full = {"-u", "TMUX", "tmux", "-L", socket_, "-f", "/dev/null"};
    full.insert(full.end(), args.begin(), args.end());
    return t::run_program("env", full, cwd_);
  }

  // Runs selvane with `args` (already quoted for the shell). The shell in the pane reports the
  // exit status on the screen, and the pane stays after the end, so a test can read it.
  bool start(const std::string& args = "") {
    const std::string command =
        std::string("'") + SELVANE_BINARY + "' " + args + "; echo \"[exit status $?]\"";
    if (tmux({"new-session", "-d", "-s", "sel", "-x", "100", "-y", "60", "-c", cwd_.string(),
              command})
            .status != 0) {
      return false;
    }
    return tmux({"set-option", "-t", "sel", "remain-on-exit", "on"}).status == 0;
  }

  std::string screen() { return tmux({"capture-pane", "-p", "-t", "sel"}).output; }

  // Polls the screen until `text` shows, for at most five seconds.
  bool wait_for(const std::string& text) {
    for (int i = 0; i < 100; ++i) {
      if (screen().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  void type_line(const std::string& text) {
    if (!text.empty()) tmux({"send-keys", "-t", "sel", "-l", text});
    tmux({"send-keys", "-t", "sel", "Enter"});
  }

 private:
  std::filesystem::path cwd_;
  std::string socket_;
};

TEST(MenuTerminal, PromptsAreVisibleBeforeTheProgramWaits) {
  t::TempDir dir;
  if (!TmuxSession::available(dir.path())) GTEST_SKIP() << "tmux is not installed";
  TmuxSession session(dir.path());
  ASSERT_TRUE(session.start());

  // Nothing has been typed yet: the whole main menu must already be on the screen.
  ASSERT_TRUE(session.wait_for("Your Choice:")) << session.screen();
  const std::string first = session.screen();
  EXPECT_NE(first.find("SELVANE " + std::string(kVersion)), std::string::npos);
  EXPECT_NE(first.find("g. (Get Blocks)"), std::string::npos);

  session.type_line("b");
  ASSERT_TRUE(session.wait_for("m. Go To Main Menu")) << session.screen();
  session.type_line("3");
  ASSERT_TRUE(session.wait_for("Maximum Number Of Contiguous Nonconserved Positions [0-32000]:"))
      << session.screen();
  session.type_line("12");
  ASSERT_TRUE(session.wait_for("Positions: .. 12")) << session.screen();
  session.type_line("m");
  session.type_line("o");
  ASSERT_TRUE(session.wait_for("File Name:")) << session.screen();
  session.type_line("missing.fas");
  ASSERT_TRUE(session.wait_for("* File not opened *")) << session.screen();
  session.type_line("Q");
  EXPECT_TRUE(session.wait_for("[exit status 1]")) << session.screen();
}

TEST(MenuTerminal, EveryRunReadsTheInputAsItIsOnDiskThen) {
  t::TempDir dir;
  if (!TmuxSession::available(dir.path())) GTEST_SKIP() << "tmux is not installed";
  t::write_file(dir / "aln.fas", ">a\nMKVLAAGIVG\n>b\nMKVLAAGIVG\n>c\nMKVLAAGIVG\n");
  TmuxSession session(dir.path());
  ASSERT_TRUE(session.start("aln.fas"));
  ASSERT_TRUE(session.wait_for("Your Choice:")) << session.screen();
  EXPECT_NE(session.screen().find("3 sequences and 10 positions"), std::string::npos);

  // The file changes while the menu waits; the run must see the new content.
  t::write_file(dir / "aln.fas", ">a\nMKVLAAGIVGLLSWT\n>b\nMKVLAAGIVGLLSWT\n>c\nMKVLAAGIVGLLSWT\n");
  session.type_line("g");
  ASSERT_TRUE(session.wait_for("Selvane alignment:  15 positions (100 %) in 1 selected block(s)"))
      << session.screen();
  EXPECT_NE(session.screen().find("Original alignment: 15 positions"), std::string::npos);
  session.type_line("q");
  EXPECT_TRUE(session.wait_for("[exit status 1]")) << session.screen();
  EXPECT_EQ(t::read_file(dir / "aln.fas-sv"),
            ">a\nMKVLAAGIVG LLSWT\n>b\nMKVLAAGIVG LLSWT\n>c\nMKVLAAGIVG LLSWT\n");
}

}  // namespace
}  // namespace selvane
