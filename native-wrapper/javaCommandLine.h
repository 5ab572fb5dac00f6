// JavaCommandLine: the launch of the main class on the Java runtime, with the runtime
// location, class path, heap options and the launch command string.
#pragma once

#include "commandLine.h"
#include "runtimePath.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantrel::launcher {

/// The form of path that every Java runtime reads back as the same file
/// (platform::runtimeReadablePath); throws LauncherFatalError naming the part of the path
/// that has no such form.
std::string runtimeReadable(const std::string &path, platform::RuntimeText text);

/// The launch of a class on the Java runtime; its program name is the main class.
class JavaCommandLine : public CommandLine {
public:
  /// The launch of class name with count arguments, each passed through addArg so that the
  /// wrapper options are consumed here.
  JavaCommandLine(const std::string &name, int count, const char *const *arguments);
  ~JavaCommandLine() override;

  /// In-process start when "--wrapper-load-jvm-in-process" was given, else the child start.
  int run() override;
  /// Consumes the wrapper options of both classes; appends anything else.
  void addArg(const std::string &arg) override;
  /// The quoted VM program, the VM options, the class path and the base command string;
  /// merges the heap options into the VM options first. The program and the jars are
  /// named in the form every runtime reads back (runtimeReadable).
  std::string getCommandString() override;

  /// Runtime directory: NATIVE_WRAP_JRE_DIR_OVERRIDE when set (even empty), expanded; else
  /// the expanded default below the installation's bin directory.
  std::string getJreDir();
  /// The environment variable getJreDir's folder comes from: NATIVE_WRAP_JRE_DIR_OVERRIDE
  /// when set, else the source of PREXA_BINDIR (variableSource).
  std::string getJreDirSource() const;
  /// Path of the runtime's launcher program below the runtime directory.
  std::string getJavaPath();
  /// Adds every entry of dir whose name ends in ".jar".
  void addJarsInDir(const std::string &dir);
  /// Adds one jar named on the command line (after Cygwin conversion) if it ends in ".jar".
  void addJar(const std::string &path);
  /// Appends one VM option, separated by a single space.
  void appendVmOption(const std::string &text);
  /// Merges the heap sizes into the VM options (replacing an earlier -Xms/-Xmx token).
  void mergeHeapOptions();
  /// Sorts the jars byte-wise and returns them, each followed by the class-path separator.
  std::string getClassPath();
  /// The class path as the runtime is given it: getClassPath's jars in its order, each in
  /// the form every runtime reads back (runtimeReadable).
  std::string getRuntimeClassPath(platform::RuntimeText text);

  /// Path of the runtime's launcher program used for the child start.
  const std::string &getVmProgram() const { return vm_program; }
  /// Sets the path of the runtime's launcher program.
  void setVmProgram(const std::string &path) { vm_program = path; }
  /// VM options separated by single spaces (heap options merged once the command string
  /// has been built).
  const std::string &getVmOptions() const { return vm_options; }
  /// Number of class-path jars.
  int getNumJars() const { return num_of_classpath_jars; }
  /// The application's arguments, in order.
  std::vector<std::string> getArgs() const;
  /// Whether the runtime is created inside the launcher's process.
  bool isInProcess() const { return in_process; }
  /// Text after "--jvm-init-heap-size=" (empty: none).
  const std::string &getInitHeapSize() const { return init_heap_size; }
  /// Text after "--jvm-max-heap-size=" (empty: none).
  const std::string &getMaxHeapSize() const { return max_heap_size; }

private:
  void appendJar(const std::string &path);

  std::string vm_program;
  std::string vm_options;
  std::int32_t classpath_separator;
  std::int32_t num_of_classpath_jars = 0;
  std::int32_t size_of_classpath_jar_array;
  std::unique_ptr<std::string[]> jars;
  std::string init_heap_size;
  std::string max_heap_size;
  bool in_process = false;
};

} // namespace vantrel::launcher
