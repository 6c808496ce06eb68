// Temporary files that must not outlive the process.
//
// An output is written to a temporary file beside its final name and renamed over it when it is
// complete (see core/replacement.h). Until then its path is held here, in storage a signal handler
// may read, so that a run stopped by SIGINT, SIGTERM, SIGHUP or SIGQUIT removes it before it dies,
// and the fatal path removes it too. Only SIGKILL (and a power cut) can leave one behind:
// a hidden ".NAME.XXXXXX" beside the output, never a damaged file under an output's own name.
#pragma once

#include <signal.h>

namespace selvane {

// Installs the handlers that remove the pending files and then end the process by the signal's
// own default action, so the parent still sees the process killed by that signal. A signal the
// process inherited as ignored (nohup, a background job) stays ignored. SIGXFSZ is ignored: a
// file past the size limit is a write error (EFBIG) like any other.
void install_cleanup_handlers();

// Holds `path` until release_pending(); returns its slot, or -1 when every slot is taken or the
// path is too long to keep (the file is then still removed by its owner, only not on a signal).
// Signals should be blocked between creating the file and holding it (see SignalBlock).
int hold_pending(const char* path) noexcept;
void release_pending(int slot) noexcept;

// Removes every pending file (the fatal path, after the owners had their chance).
void remove_pending_files() noexcept;

// Blocks the cleanup signals for its lifetime: a file is created and its path held as one step.
class SignalBlock {
 public:
  SignalBlock() noexcept;
  ~SignalBlock();
  SignalBlock(const SignalBlock&) = delete;
  SignalBlock& operator=(const SignalBlock&) = delete;

 private:
  sigset_t saved_;
};

}  // namespace selvane
