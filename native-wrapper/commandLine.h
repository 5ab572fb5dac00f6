// CommandLine: one command to run as a child process, with its argument array, the
// wrapper options every command understands, and the optional capture of its output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "launcherPlatform.h"

namespace vantrel::launcher {

/// One command to run as a process: a program name and its arguments.
class CommandLine {
public:
  /// A command with no arguments (used for the tool commands uname and cygpath).
  explicit CommandLine(const std::string &name);
  /// A command whose count arguments each pass through addArg, in order.
  CommandLine(const std::string &name, int count, const char *const *arguments);
  virtual ~CommandLine();
  CommandLine(const CommandLine &) = delete;
  CommandLine &operator=(const CommandLine &) = delete;

  /// Builds the command string, echoes it when verbose, and unless exec is off starts it
  /// and waits: the child's exit code, 0 when exec is off, -1 when the start failed.
  virtual int run();
  /// Consumes "--wrapper-verbose" and "--wrapper-disable-exec"; appends anything else.
  virtual void addArg(const std::string &arg);
  /// The quoted program name and arguments, each followed by one space.
  virtual std::string getCommandString();

  /// Number of arguments.
  int getNumArgs() const { return num_of_args; }
  /// Argument arg_num (0-based); a bad index is a fatal internal check.
  const std::string &getArg(int arg_num) const;
  /// Replaces argument arg_num (0-based); a bad index is a fatal internal check.
  void setArg(int arg_num, const std::string &value);

  /// First word of the command.
  const std::string &getProgramName() const { return program_name; }
  /// Stream of the verbose echo and of the captured-output echo.
  FILE *getOut() const { return out; }
  /// Stream of the launch error messages.
  FILE *getErr() const { return err; }
  /// Redirects the out stream.
  void setOut(FILE *stream) { out = stream; }
  /// Redirects the err stream.
  void setErr(FILE *stream) { err = stream; }
  /// Whether the command string is echoed before the launch.
  bool isVerbose() const { return verbose; }
  /// Turns the verbose echo on or off.
  void setVerbose(bool on) { verbose = on; }
  /// Whether the command is started at all.
  bool isExec() const { return exec; }
  /// Whether "Error - failed to launch" is printed on a failed start.
  void setReportLaunchErrors(bool on) { report_launch_errors = on; }
  /// Whether the child's standard output is captured through a temporary file.
  void setCaptureOutput(bool on) { capture_output = on; }
  /// The captured output of the last run (at most 4095 bytes, one final newline removed).
  const std::string &getCapturedOutput() const { return captured_output; }
  /// True when the child wrote more than the captured output could hold.
  bool isCapturedOutputCut() const { return captured_output_cut; }
  /// The signal that ended the child of the last run (POSIX); 0 when it exited or none ran.
  int getChildSignal() const { return child_signal; }

protected:
  /// Appends one argument, doubling the array when it is full.
  void appendArg(const std::string &arg);
  /// Starts the command string as a child process and waits for it.
  int startChild(const std::string &commandString);

  FILE *out = stdout;
  FILE *err = stderr;
  std::string program_name;
  std::int32_t num_of_args = 0;
  std::int32_t size_of_arg_array;
  std::unique_ptr<std::string[]> args;
  bool report_launch_errors = true;
  bool capture_output = false;
  bool temp_file_exists = false;
  std::string temp_file_name;
  std::string captured_output;
  bool captured_output_cut = false;
  int child_signal = 0;
  bool verbose = false;
  bool exec = true;
  /// The child is the runtime: it does not outlive a stopped launcher (set by JavaCommandLine;
  /// the tool commands need no such care).
  bool supervise_child = false;

private:
  int createTempFile(platform::FileHandle &handle);
  void readTempFile();
  int deleteTempFile();
};

} // namespace vantrel::launcher
