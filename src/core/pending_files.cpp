#include "core/pending_files.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace selvane {

namespace {

constexpr std::array<int, 4> kCleanupSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Outputs are written one at a time; a few slots leave room to spare. A path longer than
// PATH_MAX cannot be created anyway.
constexpr int kSlots = 4;
constexpr std::size_t kPathCapacity = 4096;

struct Slot {
  volatile std::sig_atomic_t used = 0;
  char path[kPathCapacity] = {};
};

// The one piece of process-wide state outside the run state: a signal handler can reach nothing
// else.
Slot slots[kSlots];

void remove_all() noexcept {
  for (Slot& slot : slots) {
    if (slot.used != 0) ::unlink(slot.path);
  }
}

sigset_t cleanup_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const int sig : kCleanupSignals) sigaddset(&set, sig);
  return set;
}

extern "C" void on_cleanup_signal(int sig) {
  const int saved_errno = errno;
  remove_all();
  // End the way the signal would have ended us without the handler.
  struct sigaction plain;
  std::memset(&plain, 0, sizeof plain);
  plain.sa_handler = SIG_DFL;
  sigemptyset(&plain.sa_mask);
  sigaction(sig, &plain, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(sig);
  errno = saved_errno;
}

}  // namespace

void install_cleanup_handlers() {
  // A file grown past the size limit is a write error like a full disk: it fails with EFBIG and
  // ends the run with its message, instead of killing the process without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  for (const int sig : kCleanupSignals) {
    struct sigaction old;
    if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_cleanup_signal;
    action.sa_mask = cleanup_set();
    action.sa_flags = SA_RESTART;
    sigaction(sig, &action, nullptr);
  }
}

int hold_pending(const char* path) noexcept {
  const std::size_t length = std::strlen(path);
  if (length >= kPathCapacity) return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (slots[i].used != 0) continue;
    std::memcpy(slots[i].path, path, length + 1);
    std::atomic_signal_fence(std::memory_order_release);
    slots[i].used = 1;  // only now may the handler read the path
    return i;
  }
  return -1;
}

void release_pending(int slot) noexcept {
  if (slot >= 0 && slot < kSlots) slots[slot].used = 0;
}

void remove_pending_files() noexcept {
  remove_all();
  for (Slot& slot : slots) slot.used = 0;
}

SignalBlock::SignalBlock() noexcept {
  const sigset_t set = cleanup_set();
  sigprocmask(SIG_BLOCK, &set, &saved_);
}

SignalBlock::~SignalBlock() {
  sigprocmask(SIG_SETMASK, &saved_, nullptr);
}

}  // namespace selvane
