// The watcher thread of the process runner: the polling loop and the non-blocking drain.
#include "utilities/LauncherThread.h"

#include <algorithm>

#include "utilities/LauncherText.h"
#include "utilities/UtilitiesMessages.h"

namespace vantrel::utilities {

void LauncherThread::start() {
  thread_ = std::thread([this] { run(); });
}

void LauncherThread::join() {
  if (thread_.joinable()) thread_.join();
}

void LauncherThread::run() {
  {
    std::lock_guard<std::mutex> lock(owner_.instanceLock);
    owner_.iAmRunning = true;
  }
  owner_.instanceCondition.notify_all();

  platform::ChildProcess &child = *owner_.myProcess;
  for (;;) {
    drain(platform::ChildStream::Output, owner_.myProcessOutput);
    drain(platform::ChildStream::Error, owner_.myProcessStdErrOutput);
    if (child.status().state == platform::ChildStatus::State::Running) {
      // The poll interval, cut short when the child ends, so that a run goes on at once.
      child.waitForEnd(WATCHER_POLL_MILLIS);
      continue;
    }
    // The child has ended, so everything it wrote is in the pipes. The last drain happens
    // under the instance lock, in the same step that clears running(): whoever sees
    // running() false finds the whole output collected.
    {
      std::lock_guard<std::mutex> lock(owner_.instanceLock);
      owner_.iAmRunning = false;
      owner_.iHaveRun = true;
      drain(platform::ChildStream::Output, owner_.myProcessOutput);
      drain(platform::ChildStream::Error, owner_.myProcessStdErrOutput);
    }
    owner_.instanceCondition.notify_all();
    return;
  }
}

void LauncherThread::drain(platform::ChildStream stream, Launcher::OutputBuffer &buffer) {
  platform::ChildProcess &child = *owner_.myProcess;
  char chunk[READ_CHUNK_SIZE];
  for (;;) {
    std::string error;
    const std::int64_t ready = child.available(stream, error);
    if (ready == 0) return;
    std::int64_t got = -1;
    if (ready > 0)
      got = child.read(stream, chunk, std::min<std::size_t>(static_cast<std::size_t>(ready), sizeof chunk),
                       error);
    if (got < 0) {
      const std::string text = readErrorText(error);
      buffer.append(text.data(), text.size());
      return;
    }
    if (got == 0) return;
    buffer.append(chunk, static_cast<std::size_t>(got));
  }
}

} // namespace vantrel::utilities
