// The OS-independent half of interrupted runs: the registry of files and children, and the
// clean-up that the per-OS handlers (interrupt_posix.cpp / interrupt_win32.cpp) run.
#include "platform/interrupt.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <vector>

#include "platform/interruptRegistry.h"
#include "platform/process.h"
#include "platform/time.h"

namespace vantrel::platform {

namespace {

/// How long the clean-up waits for a killed child to be gone.
constexpr std::int64_t KILLED_CHILD_WAIT_MILLIS = 1000;
constexpr std::int64_t CHILD_POLL_MILLIS = 5;

struct Registry {
  std::recursive_mutex mutex;
  /// Each registered file with its state before this process wrote it.
  std::map<std::string, std::optional<FileStatus>> files;
  /// Each file set aside, by the name it is put back at.
  std::map<std::string, std::string> restores;
  std::vector<ChildProcess *> children;
};

Registry &registry() {
  // Never destroyed: a handler may run while static objects are being torn down.
  static Registry *const instance = new Registry;
  return *instance;
}

// Set from a signal handler: a lock-free atomic is async-signal-safe.
std::atomic<bool> pending{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets the flag");

std::atomic<bool> handlersInstalled{false};

/// Polls until done() or the time is up; true when done.
bool waitUntil(const std::function<bool()> &done, std::int64_t millis) {
  const std::int64_t deadline = nowMillis() + millis;
  for (;;) {
    if (done()) return true;
    if (nowMillis() >= deadline) return false;
    sleepMillis(CHILD_POLL_MILLIS);
  }
}

/// Ends every child and what it started: each first receives the stop this process received
/// (a tool in a process group of its own never saw a terminal's Ctrl-C) and may clean up its
/// own files, as this process does; whatever still runs after the grace time is killed.
void endChildren(const std::vector<ChildProcess *> &children, StopRequest received) {
  const auto allEnded = [&] {
    return std::all_of(children.begin(), children.end(),
                       [](ChildProcess *c) { return c->status().state != ChildStatus::State::Running; });
  };
  for (ChildProcess *child : children)
    child->askToEnd(received);
  if (waitUntil(allEnded, CHILD_GRACE_MILLIS)) return;
  for (ChildProcess *child : children)
    child->terminate();
  waitUntil(allEnded, KILLED_CHILD_WAIT_MILLIS);
}

} // namespace

void removeFileOnInterrupt(const std::string &path, const std::optional<FileStatus> &before) {
  Registry &r = registry();
  std::lock_guard<std::recursive_mutex> lock(r.mutex);
  r.files[path] = before;
}

void dontRemoveFileOnInterrupt(const std::string &path) {
  Registry &r = registry();
  std::lock_guard<std::recursive_mutex> lock(r.mutex);
  r.files.erase(path);
}

void restoreFileOnInterrupt(const std::string &path, const std::string &kept) {
  Registry &r = registry();
  std::lock_guard<std::recursive_mutex> lock(r.mutex);
  r.restores[path] = kept;
}

void dontRestoreFileOnInterrupt(const std::string &path) {
  Registry &r = registry();
  std::lock_guard<std::recursive_mutex> lock(r.mutex);
  r.restores.erase(path);
}

CleanUpHold::CleanUpHold() : lock_(detail::lockInterruptRegistry()) {}
CleanUpHold::~CleanUpHold() = default;

void stopIfInterrupted() {
  if (!pending.load()) return;
  // The clean-up holds the registry's lock until it ends the process; waiting for the
  // lock is waiting for that end.
  for (;;) {
    auto lock = detail::lockInterruptRegistry();
    lock.unlock();
    sleepMillis(100);
  }
}

InterruptHandlers::InterruptHandlers() {
  bool expected = false;
  if (!handlersInstalled.compare_exchange_strong(expected, true)) return;
  installed_ = detail::installInterruptHandlers();
  if (!installed_) handlersInstalled.store(false);
}

InterruptHandlers::~InterruptHandlers() {
  if (!installed_) return;
  detail::uninstallInterruptHandlers();
  handlersInstalled.store(false);
}

namespace detail {

std::unique_lock<std::recursive_mutex> lockInterruptRegistry() {
  return std::unique_lock<std::recursive_mutex>(registry().mutex);
}

void registerChild(ChildProcess *child) {
  Registry &r = registry();
  std::lock_guard<std::recursive_mutex> lock(r.mutex);
  r.children.push_back(child);
}

void unregisterChild(ChildProcess *child) {
  Registry &r = registry();
  std::lock_guard<std::recursive_mutex> lock(r.mutex);
  r.children.erase(std::remove(r.children.begin(), r.children.end(), child), r.children.end());
}

void noteInterrupt() noexcept {
  pending.store(true);
}

void cleanUpAfterInterrupt(StopRequest received) {
  Registry &r = registry();
  // Never unlocked: from here on no registered file is created or renamed and no child is
  // started, until the process ends.
  r.mutex.lock();
  // The children first: a file is removed only once nobody can write it any more.
  endChildren(r.children, received);
  for (const auto &[path, before] : r.files) {
    if (changedSince(path, before)) removeFile(path);
  }
  // What the run wrote in their place is gone: the files it set aside come back.
  for (const auto &[path, kept] : r.restores)
    renameFile(kept, path);
}

} // namespace detail

} // namespace vantrel::platform
