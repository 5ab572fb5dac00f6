// POSIX side of interrupted runs: handlers for SIGINT, SIGTERM and SIGHUP that only note the
// signal and write its number to a pipe, and a clean-up thread that reads the pipe, cleans
// up with ordinary code and then ends the process by the same signal.
//
// Inside a Java runtime the application runs as a native main of a process whose runtime
// has handlers of its own for these signals (to run its shutdown hooks). Ours replace them
// while the run lasts and the old ones come back afterwards; in between the process ends
// by the signal itself, as it would without a runtime, and nothing waits for the runtime.
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

#include "platform/interrupt.h"
#include "platform/interruptRegistry.h"

namespace vantrel::platform::detail {

namespace {

constexpr int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int SIGNAL_COUNT = sizeof SIGNALS / sizeof SIGNALS[0];
/// The byte that tells the clean-up thread to end without an interruption.
constexpr unsigned char STOP_BYTE = 0;

int wakeRead = -1;
int wakeWrite = -1;
struct sigaction previous[SIGNAL_COUNT];
bool handled[SIGNAL_COUNT] = {};
std::thread cleaner;

void onSignal(int signal) {
  const int savedErrno = errno;
  noteInterrupt();
  const unsigned char byte = static_cast<unsigned char>(signal);
  // A full pipe means a signal is already waiting to be handled: dropping this one is fine.
  [[maybe_unused]] const ssize_t written = ::write(wakeWrite, &byte, 1);
  errno = savedErrno;
}

[[noreturn]] void endBySignal(int signal) {
  struct sigaction defaultAction = {};
  defaultAction.sa_handler = SIG_DFL;
  sigemptyset(&defaultAction.sa_mask);
  ::sigaction(signal, &defaultAction, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  // Sent to this thread, with the signal unblocked here: delivered before raise returns,
  // and the default action ends the process by that signal.
  ::raise(signal);
  ::_exit(128 + signal);
}

void cleanerLoop() {
  for (;;) {
    unsigned char byte = STOP_BYTE;
    const ssize_t got = ::read(wakeRead, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || byte == STOP_BYTE) return;
    cleanUpAfterInterrupt(byte == SIGINT   ? StopRequest::Interrupt
                          : byte == SIGHUP ? StopRequest::HangUp
                                           : StopRequest::Terminate);
    endBySignal(byte);
  }
}

void closePipe() {
  for (int *fd : {&wakeRead, &wakeWrite}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

} // namespace

bool installInterruptHandlers() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  wakeRead = fds[0];
  wakeWrite = fds[1];
  // The handler must never block on a full pipe.
  ::fcntl(wakeWrite, F_SETFL, ::fcntl(wakeWrite, F_GETFL) | O_NONBLOCK);
  try {
    cleaner = std::thread(cleanerLoop);
  } catch (const std::system_error &) {
    closePipe();
    return false;
  }
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : SIGNALS)
    sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < SIGNAL_COUNT; ++i) {
    handled[i] = false;
    if (::sigaction(SIGNALS[i], nullptr, &previous[i]) != 0) continue;
    // A signal ignored by whoever started this process (nohup, a background job) stays
    // ignored.
    if (!(previous[i].sa_flags & SA_SIGINFO) && previous[i].sa_handler == SIG_IGN) continue;
    handled[i] = ::sigaction(SIGNALS[i], &action, nullptr) == 0;
  }
  return true;
}

void uninstallInterruptHandlers() {
  for (int i = 0; i < SIGNAL_COUNT; ++i) {
    if (handled[i]) ::sigaction(SIGNALS[i], &previous[i], nullptr);
    handled[i] = false;
  }
  // A signal that arrived before the old handlers came back is being handled: the clean-up
  // ends the process, and this thread waits for that.
  stopIfInterrupted();
  const unsigned char stop = STOP_BYTE;
  while (::write(wakeWrite, &stop, 1) < 0 && errno == EINTR) {
  }
  if (cleaner.joinable()) cleaner.join();
  closePipe();
}

} // namespace vantrel::platform::detail
