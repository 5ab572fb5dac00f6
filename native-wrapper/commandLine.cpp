// CommandLine: argument array, command string, and the child start with optional output
// capture through a temporary file.
#include "commandLine.h"

#include "launcherAssert.h"
#include "launcherPrint.h"
#include "launcherTexts.h"

#include "hostText/WindowsCommandLine.h"

#include <cstring>

namespace vantrel::launcher {

CommandLine::CommandLine(const std::string &name)
    : program_name(name), size_of_arg_array(kInitialArraySize), args(new std::string[kInitialArraySize]) {}

CommandLine::CommandLine(const std::string &name, int count, const char *const *arguments)
    : CommandLine(name) {
  // Virtual calls here reach CommandLine::addArg; JavaCommandLine adds its own arguments
  // from its constructor so that its wrapper options are consumed.
  for (int i = 0; i < count; ++i)
    addArg(arguments[i]);
}

CommandLine::~CommandLine() {
  if (temp_file_exists) deleteTempFile();
}

const std::string &CommandLine::getArg(int arg_num) const {
  LAUNCHER_ASSERT(arg_num >= 0 && arg_num < num_of_args);
  return args[arg_num];
}

void CommandLine::setArg(int arg_num, const std::string &value) {
  LAUNCHER_ASSERT(arg_num >= 0 && arg_num < num_of_args);
  args[arg_num] = value;
}

void CommandLine::appendArg(const std::string &arg) {
  LAUNCHER_ASSERT(num_of_args <= size_of_arg_array);
  if (num_of_args == size_of_arg_array) {
    std::unique_ptr<std::string[]> grown(new std::string[size_of_arg_array * 2]);
    for (std::int32_t i = 0; i < num_of_args; ++i)
      grown[i] = std::move(args[i]);
    args = std::move(grown);
    size_of_arg_array *= 2;
  }
  args[num_of_args++] = arg;
}

void CommandLine::addArg(const std::string &arg) {
  if (arg == kOptVerbose)
    verbose = true;
  else if (arg == kOptDisableExec)
    exec = false;
  else
    appendArg(arg);
}

std::string CommandLine::getCommandString() {
  // Each word between quotes, escaped by the Windows rules only where a quote follows a
  // backslash or stands inside, so that the child's C runtime gives every word back intact
  // (a trailing backslash would otherwise swallow the closing quote and the next word).
  std::string text = hostText::quoteWindowsArgument(program_name) + " ";
  for (std::int32_t i = 0; i < num_of_args; ++i)
    text += hostText::quoteWindowsArgument(args[i]) + " ";
  return text;
}

int CommandLine::run() {
  std::string commandString = getCommandString();
  if (verbose) printTo(out, "%s\n", commandString.c_str());
  if (!exec) return 0;
  return startChild(commandString);
}

int CommandLine::startChild(const std::string &commandString) {
  platform::FileHandle tempHandle = platform::kNoFile;
  if (capture_output && createTempFile(tempHandle) != 0) return -1;

  // What the launcher wrote so far must reach the console before the child's output.
  platform::flushStandardStreams();
  std::fflush(out);
  std::fflush(err);

  auto fail = [&]() {
    // Taken before anything else runs: printing may change the error.
    const int error = platform::lastError();
    if (report_launch_errors) {
      printTo(err, kMsgLaunchFailed, commandString.c_str());
      printTo(err, kMsgReason, platform::errorText(error).c_str());
      std::fflush(err);
    }
    platform::closeFile(tempHandle);
    if (temp_file_exists) deleteTempFile();
    return -1;
  };

  platform::ChildProcess child;
  child_signal = 0;
  if (!platform::startProcess(commandString, tempHandle, supervise_child, child)) return fail();
  int exitCode = 0;
  if (!platform::waitForExit(child, exitCode)) return fail();
  child_signal = child.endSignal;

  if (temp_file_exists) {
    platform::closeFile(tempHandle);
    if (capture_output) readTempFile();
    deleteTempFile();
  }
  return exitCode;
}

int CommandLine::createTempFile(platform::FileHandle &handle) {
  std::optional<std::string> dir = platform::tempPath();
  if (!dir) {
    printTo(err, kMsgTempPathFailed, platform::lastError());
    return -1;
  }
  std::optional<std::string> name = platform::makeTempFileName(*dir, kTempFilePrefix);
  if (!name) {
    printTo(err, kMsgTempFileNameFailed, platform::lastError());
    return -1;
  }
  handle = platform::createInheritableFile(*name);
  if (handle == platform::kNoFile) {
    printTo(err, kMsgCreateFileFailed, platform::lastError());
    // Making the name already created the file: remove it so nothing is left behind.
    platform::deleteFile(*name);
    return -1;
  }
  temp_file_name = *name;
  temp_file_exists = true;
  return 0;
}

void CommandLine::readTempFile() {
  platform::FileHandle file = platform::openForReading(temp_file_name);
  if (file == platform::kNoFile) {
    printTo(err, kMsgOpenTempFileFailed, temp_file_name.c_str(), platform::lastError());
    return;
  }
  // One byte more than is kept tells whether the output was cut.
  char buffer[kMaxCapturedBytes + 1];
  long got = platform::readFile(file, buffer, sizeof buffer);
  platform::closeFile(file);
  if (got < 0) got = 0;
  captured_output_cut = got > kMaxCapturedBytes;
  if (captured_output_cut) got = kMaxCapturedBytes;
  // Only one final newline goes; a carriage return before it stays.
  if (got > 0 && buffer[got - 1] == '\n') --got;
  captured_output.assign(buffer, static_cast<size_t>(got));
  if (verbose) printTo(out, "%s\n", captured_output.c_str());
}

int CommandLine::deleteTempFile() {
  if (!temp_file_exists) return -1;
  platform::deleteFile(temp_file_name);
  temp_file_exists = false;
  return 0;
}

} // namespace vantrel::launcher
