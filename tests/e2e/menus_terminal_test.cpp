// The menus in a real terminal: every prompt must be on the screen before the program waits
// for the answer. Runs selvane inside a detached tmux session on a private server socket.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

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

  bool start(const std::string& command) {
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

  // "1 <status>" once the program has ended.
  std::string pane_state() {
    std::string state =
        tmux({"display-message", "-p", "-t", "sel", "#{pane_dead} #{pane_dead_status}"}).output;
    while (!state.empty() && (state.back() == '\n' || state.back() == ' ')) state.pop_back();
    return state;
  }

  bool wait_for_end() {
    for (int i = 0; i < 100; ++i) {
      if (pane_state().rfind("1 ", 0) == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

 private:
  std::filesystem::path cwd_;
  std::string socket_;
};

TEST(MenuTerminal, PromptsAreVisibleBeforeTheProgramWaits) {
  t::TempDir dir;
  if (!TmuxSession::available(dir.path())) GTEST_SKIP() << "tmux is not installed";
  TmuxSession session(dir.path());
  ASSERT_TRUE(session.start(std::string("'") + SELVANE_BINARY + "'"));

  // Nothing has been typed yet: the whole main menu must already be on the screen.
  ASSERT_TRUE(session.wait_for("Your Choice:")) << session.screen();
  const std::string first = session.screen();
  EXPECT_NE(first.find("SELVANE 0.91b"), std::string::npos);
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
  ASSERT_TRUE(session.wait_for_end()) << session.screen();
  EXPECT_EQ(session.pane_state(), "1 1");
}

}  // namespace
}  // namespace selvane
