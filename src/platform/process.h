// Child processes for every OS: start a program with three pipes, non-blocking reads of its
// output, its exit status without waiting, a request to end, forced termination, the
// program search, and whether a process id names a live process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/standardStream.h"

namespace vantrel::platform {

/// One of the two output pipes of a child.
enum class ChildStream { Output, Error };

/// How far a child has got, as the OS reports it.
struct ChildStatus {
  enum class State {
    Running,  ///< not ended yet
    Exited,   ///< ended by itself; code holds its exit status
    Signaled, ///< killed by a signal (POSIX only); code holds the signal number
    Failed,   ///< the OS could not tell how the child ended; code holds the OS error number
  };
  State state = State::Running;
  int code = 0;

  /// The status as one integer: the exit status, 128 + S for a death by signal S,
  /// -1 while the child runs and when its status could not be had (Failed).
  int exitValue() const;
};

/// The stops a process passes on to its children when it is stopped itself (POSIX:
/// SIGINT, SIGTERM, SIGHUP).
enum class StopRequest { Interrupt, Terminate, HangUp };

/// A started child process whose standard input, output and error are pipes to this
/// process. The pipes stay open until the object is destroyed; the child is neither
/// killed nor waited for on destruction (use terminate() first where that is wanted).
///
/// On POSIX the child leads a process group of its own, which holds whatever it starts
/// (the workers of a wrapper script): askToEnd and terminate signal the whole group, and
/// once the child is seen to end (status()) what is left of its group is killed before the
/// child is reaped. Being outside the terminal's foreground group, it does not receive a
/// terminal's Ctrl-C itself (a run passes the stop on, interrupt.h), and it ignores
/// SIGTTOU and SIGTTIN so that terminal access never stops it. On Linux it is also killed
/// (SIGKILL) when the thread that started it ends, which is when this process is killed
/// outright: start children from a thread that outlives them.
///
/// While the object exists the child is registered with the clean-up of an interrupted
/// run (interrupt.h), which ends it before this process ends. On Windows every child is
/// also put into a job that ends it (and the processes it starts) when this process ends
/// in any way.
///
/// Thread use: one thread may read the two output pipes while another writes the input,
/// asks for the status or terminates; status() and terminate() are safe from any thread.
class ChildProcess {
public:
  /// Starts command[0] with the other elements as its arguments, each passed to the
  /// child exactly (never through a shell; UTF-8, given to Windows as UTF-16). The
  /// program is the one findProgram() names, so a program in the current folder runs only
  /// when the name says so with a folder. environment, when given, is the child's whole
  /// environment ("NAME=value" entries); otherwise the child inherits this process's. The
  /// working directory is this process's. Returns nothing when the child could not be
  /// started, with the reason in error (texts of PlatformMessages.h).
  static std::unique_ptr<ChildProcess> start(const std::vector<std::string> &command,
                                             const std::optional<std::vector<std::string>> &environment,
                                             std::string &error);
  ~ChildProcess();
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess &operator=(const ChildProcess &) = delete;

  /// Bytes that can be read from the stream now without blocking: 0 when none are waiting
  /// or the child has closed its end; -1 on an error (described in error).
  std::int64_t available(ChildStream stream, std::string &error);

  /// Reads up to n bytes from the stream; blocks only when available() reported nothing.
  /// Returns the count read, 0 at the end of the stream, -1 on an error (described in error).
  std::int64_t read(ChildStream stream, void *buffer, std::size_t n, std::string &error);

  /// Writes all n bytes to the child's standard input. False when the child has closed
  /// its end (it has ended, for instance), after closeInput() or on any other error; never
  /// raises a signal.
  bool writeInput(const void *data, std::size_t n);

  /// Closes this end of the child's standard input: from then on the child reads the end
  /// of its input, so a program that asks a question gets no answer instead of waiting for
  /// one. Call it from the thread that writes the input.
  void closeInput();

  /// The child's state now, without waiting. Once it is anything but Running, every
  /// later call gives the same answer.
  ChildStatus status();

  /// Waits at most millis for the child to end, and returns as soon as it has (where the
  /// OS can tell: a pidfd on Linux, the process handle on Windows; elsewhere it waits the
  /// whole time). It may return earlier; status() says how the child is.
  void waitForEnd(std::int64_t millis);

  /// Ends the child forcibly (SIGKILL to its whole group; TerminateProcess). False when it
  /// had already been seen to end or the OS refused.
  bool terminate();

  /// Asks the child to end, so that it can clean up first: on POSIX the request's signal
  /// (SIGTERM unless told otherwise) to its whole group. On Windows there is nothing to send
  /// (a console program's children share its console and receive its Ctrl-C, Ctrl-Break or
  /// close themselves), and the child is left running. False when it had already been seen
  /// to end or nothing was sent.
  bool askToEnd(StopRequest request = StopRequest::Terminate);

  /// The OS process id of the child.
  std::uint64_t id() const;

  struct Impl;

private:
  explicit ChildProcess(std::unique_ptr<Impl> impl);
  /// The OS half of start(): creates the pipes and the child of the program found for
  /// command[0]; nothing, with the complete message in error, when that fails.
  static std::unique_ptr<ChildProcess> spawn(const std::string &program,
                                             const std::vector<std::string> &command,
                                             const std::optional<std::vector<std::string>> &environment,
                                             std::string &error);
  std::unique_ptr<Impl> impl_;
};

/// The file a program name stands for on this host: on Windows the name with ".exe"
/// appended unless it ends in it (Windows starts no other file by name), the name itself
/// elsewhere.
std::string programFileName(const std::string &name);

/// The program that a start of name would run. A name that holds a folder ("bin/tool",
/// "C:tool") is used as named (on Windows, a name without ".exe" becomes name + ".exe"
/// when that file exists).
/// Any other name is looked up in the folders of this process's PATH, in order, skipping
/// empty and relative entries: a program is never found through the current folder. On
/// Windows only files ending in ".exe" count, and a name without that suffix is looked
/// up with it. Nothing when not found.
std::optional<std::string> findProgram(const std::string &name);

/// For a program findProgram did not find: the words that say why, when a program of that
/// name lies in a PATH entry the search skips (empty, relative or the current folder), naming
/// the first such entry; "" when none holds one.
std::string skippedSearchNote(const std::string &name);

/// True when the child crashed instead of ending by itself: it died by a signal (POSIX; any
/// signal, an out-of-memory killer's SIGKILL included), or its exit status has error
/// severity (Windows: 0xC0000000 and above read unsigned, such as 0xC0000005 for an access
/// violation or 0xC000013A for a console interruption). What a crashed program was writing
/// may be half done. A normal exit, whatever its status, is no crash.
bool endedByCrash(const ChildStatus &status);

/// How the child ended, in words that follow its name: "ended by signal 11 (SIGSEGV)",
/// "ended with status 0xC0000005", "exited with status 3" (texts of PlatformMessages.h).
std::string describeEnding(const ChildStatus &status);

/// True when a process with this id exists on this machine now (a POSIX zombie counts; a
/// Windows process that has ended does not, even while a handle keeps its id taken).
bool processExists(std::uint64_t pid);

} // namespace vantrel::platform
