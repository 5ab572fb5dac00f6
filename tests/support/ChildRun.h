// Test helper shared by every area: runs a child program to its end through the platform
// layer and collects what it wrote on its two output streams.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/time.h"

namespace vantrel::testing {

/// What a child run to its end wrote and how it ended; started false (and error set) when
/// it could not be started.
struct ChildRun {
  bool started = false;
  std::string error;
  std::string out;
  std::string err;
  int exitValue = -1;
};

/// Starts command and collects both output streams until the child has ended.
inline ChildRun runChild(const std::vector<std::string> &command,
                         const std::optional<std::vector<std::string>> &environment = std::nullopt) {
  using platform::ChildStream;
  ChildRun run;
  auto process = platform::ChildProcess::start(command, environment, run.error);
  if (!process) return run;
  run.started = true;
  auto drain = [&](ChildStream stream, std::string &into) {
    char buffer[4096];
    std::string error;
    while (process->available(stream, error) > 0) {
      const std::int64_t got = process->read(stream, buffer, sizeof buffer, error);
      if (got <= 0) return;
      into.append(buffer, static_cast<std::size_t>(got));
    }
  };
  for (;;) {
    const bool ended = process->status().state != platform::ChildStatus::State::Running;
    drain(ChildStream::Output, run.out);
    drain(ChildStream::Error, run.err);
    if (ended) break;
    platform::sleepMillis(1);
  }
  run.exitValue = process->status().exitValue();
  return run;
}

} // namespace vantrel::testing
