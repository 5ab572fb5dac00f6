// The body shared by the tools' main functions: the arguments as UTF-8 on every OS,
// standard streams that write "\n" as the platform's line separator (as text-mode streams
// do) and show their text as characters on a Windows console, and the clean-up of the
// tool's temporary files when it is interrupted.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/interrupt.h"
#include "platform/programArguments.h"
#include "platform/standardStream.h"

namespace vantrel::suite {

/// Runs entry (one of ToolEntry.h) on this program's arguments and standard streams and
/// returns its exit status.
template <class Entry> int runToolMain(Entry entry, int argc, char **argv) {
  using platform::StandardStream;
  using platform::StandardStreamBuf;
  // Stopped while it writes, the tool removes its temporary files and ends by the signal
  // (or the console event) that stopped it.
  const platform::InterruptHandlers interrupts;
  const std::vector<std::string> args = platform::programArguments(argc, argv);
  StandardStreamBuf outBuffer(StandardStream::Output, StandardStreamBuf::LineEnds::Platform);
  StandardStreamBuf errorBuffer(StandardStream::Error, StandardStreamBuf::LineEnds::Platform);
  std::ostream out(&outBuffer);
  std::ostream err(&errorBuffer);
  err << std::unitbuf; // like std::cerr: each message leaves at once
  const int status = entry(args, out, err);
  out.flush();
  err.flush();
  return status;
}

} // namespace vantrel::suite
