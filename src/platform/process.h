// Child processes for every OS: start a program with three pipes, non-blocking reads of its
// output, its exit status without waiting, forced termination, and the program search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform {

/// One of the two output pipes of a child.
enum class ChildStream { Output, Error };

/// How far a child has got, as the OS reports it.
struct ChildStatus {
  enum class State {
    Running,  ///< not ended yet
    Exited,   ///< ended by itself; code holds its exit status
    Signaled, ///< killed by a signal (POSIX only); code holds the signal number
  };
  State state = State::Running;
  int code = 0;

  /// The status as one integer: the exit status, 128 + S for a death by signal S,
  /// -1 while the child runs.
  int exitValue() const;
};

/// A started child process whose standard input, output and error are pipes to this
/// process. The pipes stay open until the object is destroyed; the child is neither
/// killed nor waited for on destruction (use terminate() first where that is wanted).
///
/// Thread use: one thread may read the two output pipes while another writes the input,
/// asks for the status or terminates; status() and terminate() are safe from any thread.
class ChildProcess {
public:
  /// Starts command[0] with the other elements as its arguments, each passed to the
  /// child exactly (never through a shell). A program name without a directory is looked
  /// up with findProgram(). environment, when given, is the child's whole environment
  /// ("NAME=value" entries); otherwise the child inherits this process's. The working
  /// directory is this process's. Returns nothing when the child could not be started,
  /// with the reason in error.
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
  /// its end (it has ended, for instance) or on any other error; never raises a signal.
  bool writeInput(const void *data, std::size_t n);

  /// The child's state now, without waiting.
  ChildStatus status();

  /// Ends the child forcibly (SIGKILL; TerminateProcess). False when it had already been
  /// seen to end or the OS refused.
  bool terminate();

  /// The OS process id of the child.
  std::uint64_t id() const;

  struct Impl;

private:
  explicit ChildProcess(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

/// The full path of the program that a start of name would run: name itself when it holds
/// a directory, else the first match in the folders of this process's PATH. On Windows a
/// name without the ".exe" suffix is also tried with it (first). Nothing when not found.
std::optional<std::string> findProgram(const std::string &name);

/// Which of this process's own standard streams to use.
enum class StandardStream { Input, Output, Error };

/// Writes bytes to this process's own standard output or error unchanged (no line-end
/// translation); false on an error.
bool writeStandardStream(StandardStream stream, const void *data, std::size_t n);

/// Reads up to n bytes from this process's own standard input: the count read, 0 at the
/// end, -1 on an error.
std::int64_t readStandardInput(void *buffer, std::size_t n);

} // namespace vantrel::platform
