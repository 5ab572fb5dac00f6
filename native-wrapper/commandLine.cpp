// CommandLine: argument array, command string, and the child start with optional output
// capture through a temporary file.
#include "commandLine.h"

#include "launcherAssert.h"
#include "launcherTexts.h"

#include <cstring>

namespace vantrel::launcher {

std::string quoteCommandWord(const std::string &word) {
  // Backslashes count only when a quote follows them (inside the word or the closing one):
  // those runs are doubled and an inner quote gets a backslash of its own. A word without
  // quotes and without trailing backslashes comes out as plain "word".
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
      quoted += '"';
    } else {
      quoted.append(backslashes, '\\');
      quoted += c;
    }
    backslashes = 0;
  }
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

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
  std::string text = quoteCommandWord(program_name) + " ";
  for (std::int32_t i = 0; i < num_of_args; ++i)
    text += quoteCommandWord(args[i]) + " ";
  return text;
}

int CommandLine::run() {
  std::string commandString = getCommandString();
  if (verbose) std::fprintf(out, "%s\n", commandString.c_str());
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
    if (report_launch_errors) {
      std::fprintf(err, kMsgLaunchFailed, commandString.c_str());
      std::fflush(err);
    }
    platform::closeFile(tempHandle);
    if (temp_file_exists) deleteTempFile();
    return -1;
  };

  platform::ChildProcess child;
  if (!platform::startProcess(commandString, tempHandle, child)) return fail();
  int exitCode = 0;
  if (!platform::waitForExit(child, exitCode)) return fail();

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
    std::fprintf(err, kMsgTempPathFailed, platform::lastError());
    return -1;
  }
  std::optional<std::string> name = platform::makeTempFileName(*dir, kTempFilePrefix);
  if (!name) {
    std::fprintf(err, kMsgTempFileNameFailed, platform::lastError());
    return -1;
  }
  handle = platform::createInheritableFile(*name);
  if (handle == platform::kNoFile) {
    std::fprintf(err, kMsgCreateFileFailed, platform::lastError());
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
    std::fprintf(err, kMsgOpenTempFileFailed, temp_file_name.c_str(), platform::lastError());
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
  if (verbose) std::fprintf(out, "%s\n", captured_output.c_str());
}

int CommandLine::deleteTempFile() {
  if (!temp_file_exists) return -1;
  platform::deleteFile(temp_file_name);
  temp_file_exists = false;
  return 0;
}

} // namespace vantrel::launcher
