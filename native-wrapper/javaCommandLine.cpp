// JavaCommandLine: wrapper options, runtime location, class path, heap options and the
// launch command string.
#include "javaCommandLine.h"

#include "envUtils.h"
#include "inProcessVm.h"
#include "launcherAssert.h"
#include "launcherPlatform.h"
#include "launcherPrint.h"
#include "launcherTexts.h"

#include <algorithm>
#include <cstring>

namespace vantrel::launcher {

namespace {

bool startsWith(const std::string &text, const char *prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool endsWithJar(const std::string &name) {
  const size_t n = std::strlen(kJarSuffix);
  return name.size() >= n && name.compare(name.size() - n, n, kJarSuffix) == 0;
}

} // namespace

std::string runtimeReadable(const std::string &path, platform::RuntimeText text) {
  std::string unreadable;
  const std::optional<std::string> readable = platform::runtimeReadablePath(path, text, unreadable);
  if (!readable) throw LauncherFatalError(formatMessage(kMsgUnreadableForRuntime, unreadable));
  return *readable;
}

JavaCommandLine::JavaCommandLine(const std::string &name, int count, const char *const *arguments)
    : CommandLine(name), vm_program(kDefaultVmProgram), classpath_separator(platform::kClassPathSeparator),
      size_of_classpath_jar_array(kInitialArraySize), jars(new std::string[kInitialArraySize]) {
  supervise_child = true;
  for (int i = 0; i < count; ++i)
    addArg(arguments[i]);
}

JavaCommandLine::~JavaCommandLine() = default;

void JavaCommandLine::addArg(const std::string &arg) {
  if (arg == kOptLoadJvmInProcess) {
    in_process = true;
  } else if (arg == kOptReExecJniWithEnv) {
    // Consumed; it has no effect here.
  } else if (startsWith(arg, kOptAddJar)) {
    size_t eq = arg.find('=');
    if (eq != std::string::npos) addJar(arg.substr(eq + 1));
  } else if (startsWith(arg, kOptInitHeapSize)) {
    init_heap_size = arg.substr(std::strlen(kOptInitHeapSize));
  } else if (startsWith(arg, kOptMaxHeapSize)) {
    max_heap_size = arg.substr(std::strlen(kOptMaxHeapSize));
  } else {
    CommandLine::addArg(arg);
  }
}

int JavaCommandLine::run() {
  if (in_process) return runInProcessVm(*this);
  return CommandLine::run();
}

std::string JavaCommandLine::getJreDir() {
  std::optional<std::string> override = platform::getEnv(kVarJreDirOverride);
  if (override) return expandVariables(*override, installationTable());
  return expandVariables(platform::kJreDirDefault, installationTable());
}

std::string JavaCommandLine::getJreDirSource() const {
  return platform::getEnv(kVarJreDirOverride) ? std::string(kVarJreDirOverride) : variableSource(kVarBinDir);
}

std::string JavaCommandLine::getJavaPath() {
  std::string path = getJreDir() + platform::kPathSeparator + platform::kJavaProgram;
  return expandVariables(path, installationTable());
}

void JavaCommandLine::appendJar(const std::string &path) {
  LAUNCHER_ASSERT(num_of_classpath_jars <= size_of_classpath_jar_array);
  if (num_of_classpath_jars == size_of_classpath_jar_array) {
    std::unique_ptr<std::string[]> grown(new std::string[size_of_classpath_jar_array * 2]);
    for (std::int32_t i = 0; i < num_of_classpath_jars; ++i)
      grown[i] = std::move(jars[i]);
    jars = std::move(grown);
    size_of_classpath_jar_array *= 2;
  }
  jars[num_of_classpath_jars++] = path;
}

void JavaCommandLine::addJarsInDir(const std::string &dir) {
  for (const std::string &name : platform::listDirectory(dir)) {
    if (endsWithJar(name)) appendJar(dir + platform::kPathSeparator + name);
  }
}

void JavaCommandLine::addJar(const std::string &path) {
  std::string buffer = path;
  if (cygpathConvert(buffer, kPathBufferChars) != 0) buffer = path;
  if (endsWithJar(buffer)) appendJar(buffer);
}

void JavaCommandLine::appendVmOption(const std::string &text) {
  if (vm_options.empty())
    vm_options = text;
  else
    vm_options.append(1, ' ').append(text);
}

void JavaCommandLine::mergeHeapOptions() {
  const std::pair<const char *, const std::string *> sizes[] = {{kInitHeapPrefix, &init_heap_size},
                                                                {kMaxHeapPrefix, &max_heap_size}};
  for (const auto &[prefix, size] : sizes) {
    if (size->empty()) continue;
    std::string option = prefix + *size;
    size_t at = vm_options.empty() ? std::string::npos : vm_options.find(prefix);
    if (at == std::string::npos) {
      appendVmOption(option);
    } else {
      size_t end = vm_options.find(' ', at);
      vm_options.replace(at, end == std::string::npos ? std::string::npos : end - at, option);
    }
  }
}

std::string JavaCommandLine::getClassPath() {
  // Plain byte order: std::string compares as unsigned char, so upper case sorts first and
  // a prefix sorts before the longer text.
  std::sort(jars.get(), jars.get() + num_of_classpath_jars);
  std::string text;
  for (std::int32_t i = 0; i < num_of_classpath_jars; ++i) {
    text += jars[i];
    text += static_cast<char>(classpath_separator);
  }
  return text;
}

std::string JavaCommandLine::getRuntimeClassPath(platform::RuntimeText text) {
  // Sorted by the names as the user sees them; the forms handed over may sort otherwise.
  getClassPath();
  std::string classPath;
  for (std::int32_t i = 0; i < num_of_classpath_jars; ++i) {
    classPath += runtimeReadable(jars[i], text);
    classPath += static_cast<char>(classpath_separator);
  }
  return classPath;
}

std::vector<std::string> JavaCommandLine::getArgs() const {
  std::vector<std::string> list;
  for (int i = 0; i < getNumArgs(); ++i)
    list.push_back(getArg(i));
  return list;
}

std::string JavaCommandLine::getCommandString() {
  mergeHeapOptions();
  // Built by appending: g++ 12 warns falsely about operator+ on string temporaries.
  std::string text;
  // A runtime that reads its command line in the ANSI code page finds its program and its
  // jars only by names that code page holds.
  text.append(1, '"').append(runtimeReadable(vm_program, platform::RuntimeText::Wide)).append(1, '"');
  if (!vm_options.empty()) text.append(1, ' ').append(vm_options);
  if (num_of_classpath_jars > 0)
    text.append(" -cp \"").append(getRuntimeClassPath(platform::RuntimeText::Wide)).append(1, '"');
  text.append(1, ' ').append(CommandLine::getCommandString());
  return text;
}

} // namespace vantrel::launcher
