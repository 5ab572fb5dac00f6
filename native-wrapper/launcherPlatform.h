// The launcher's OS layer: executable path, directories, environment, temporary files,
// child processes and console text. launcherPlatform_posix.cpp and launcherPlatform_win32.cpp
// define it; everything else in the launcher is written once on top of it. Text is UTF-8 on
// both sides of this layer; the Windows half converts at each call.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::launcher::platform {

/// Separator of the built-in path texts ('\' on Windows, '/' on Linux).
extern const char kPathSeparator;
/// Written after every class-path entry (';' on Windows, ':' on Linux).
extern const char kClassPathSeparator;
/// Whether path normalisation folds case (Windows file systems ignore case).
extern const bool kFoldPathCase;
/// Default runtime directory before expansion ("PREXA_BINDIR" + separator + "jre64").
extern const char *const kJreDirDefault;
/// Bin directory below the installation root, separator first.
extern const char *const kBinDirSuffix;
/// Value of the table entry NATIVE_WRAP_PREXA_ROOTDIR_JRE_OFFSET.
extern const char *const kJreOffset;
/// The runtime's launcher program below the runtime directory.
extern const char *const kJavaProgram;
/// The VM library below the runtime directory (variant "server").
extern const char *const kVmLibraryFile;
/// The splash-screen library below the runtime directory.
extern const char *const kSplashLibraryFile;

/// Raw OS error code of the last failed call (GetLastError / errno).
int lastError();

/// The system's description of an error code, without a line end (Windows: with the
/// code's number after it).
std::string errorText(int error);

/// What a path names: nothing, a file (anything that is not a folder) or a folder.
enum class PathKind { Missing, File, Folder };
PathKind pathKind(const std::string &path);

/// Full path of the running executable; nothing when the OS cannot tell.
std::optional<std::string> moduleFileName();

/// Current working directory; nothing when the OS cannot tell.
std::optional<std::string> currentDirectory();

/// Value of an environment variable; nothing when it is not set (empty is a value).
std::optional<std::string> getEnv(const std::string &name);

/// Names of the entries of a directory in enumeration order (without "." and "..");
/// empty when the directory cannot be opened.
std::vector<std::string> listDirectory(const std::string &dir);

/// An open file handle (HANDLE or file descriptor); kNoFile when there is none.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

/// Directory for temporary files, ending in a separator; nothing on failure.
std::optional<std::string> tempPath();

/// Makes a new, empty, uniquely named file in dir whose name starts with prefix;
/// nothing on failure.
std::optional<std::string> makeTempFileName(const std::string &dir, const char *prefix);

/// Opens name for reading and writing, truncated, not shared, with a handle that child
/// processes inherit; kNoFile on failure.
FileHandle createInheritableFile(const std::string &name);

/// Opens an existing file for reading; kNoFile on failure.
FileHandle openForReading(const std::string &name);

/// Reads up to size bytes (fewer only at end of file); -1 on failure.
long readFile(FileHandle file, char *buffer, long size);

/// Closes a handle from this layer; kNoFile is ignored.
void closeFile(FileHandle file);

/// Deletes a file by name; false when that failed.
bool deleteFile(const std::string &name);

/// Flushes the C streams so that the child's output follows what the launcher wrote.
void flushStandardStreams();

/// Writes UTF-8 text to a C stream: on a Windows console as its characters (WriteConsoleW),
/// anywhere else as the bytes themselves (so redirected output is UTF-8).
void writeText(FILE *stream, const std::string &text);

/// The full name of a program: a name that holds a folder is used as named; any other name
/// is searched for in the folders of PATH only (absolute entries; on Windows only names
/// ending in ".exe" count), never in the current folder. Nothing when it is not found.
std::optional<std::string> findProgram(const std::string &name);

/// A started child process.
struct ChildProcess {
  std::intptr_t handle = 0; ///< process handle or process id
  std::intptr_t job = 0;    ///< Windows: the job the child's processes run in (0: none)
  bool supervised = false;  ///< started with supervise: stop requests reach it while it runs
  int endSignal = 0;        ///< POSIX: the signal that ended it (set by waitForExit; 0: it exited)
};

/// Starts the command string as a child process with inherited handles, the launcher's
/// environment and current directory. The program is the first word of the string as the
/// child's C runtime reads it, found by findProgram and started by its full name. With
/// stdoutFile != kNoFile the child's standard output goes to that file; its input and
/// error stay the launcher's.
///
/// With supervise (the runtime child) the child does not outlive a stopped launcher, until
/// waitForExit: on POSIX a SIGTERM, SIGINT or SIGHUP sent to the launcher is passed on to the
/// child (a signal the launcher was started ignoring stays ignored, for both); on Windows the
/// child and every process it starts run in a job that ends them when the launcher ends, and
/// console Ctrl-C, Ctrl-Break and close do not end the launcher while the child runs (the
/// child, on the same console, gets them itself). On Linux a child also ends when the
/// launcher is killed outright: the runtime child receives SIGTERM (and cleans up), any
/// other child SIGKILL.
bool startProcess(const std::string &commandString, FileHandle stdoutFile, bool supervise,
                  ChildProcess &child);

/// Waits without time limit for the child to end and stores its exit code (all 32 bits
/// on Windows; 128 + S for a POSIX child killed by signal S, which child.endSignal holds);
/// false when the wait failed. Releases the child either way, and ends what startProcess
/// set up for a supervised child.
bool waitForExit(ChildProcess &child, int &exitCode);

/// Ends the launcher by the signal that ended its child (POSIX), so that whoever waits for it
/// (a shell running a loop, make, a CI job) sees that signal's death and not an exit status:
/// the signal's default action is put back and the signal raised, with core dumps turned off
/// first for a core-dumping signal (the launcher's own core would show nothing). Returns
/// only when that did not end the process; on Windows, where no child ends by a signal, it
/// does nothing.
void endBySignal(int signal);

/// Failure points of this layer that tests can make fail once (the OS is not asked).
enum class FailPoint {
  None,
  TempDirectory,
  TempName,
  TempFileCreate,
  TempFileOpen,
  ProcessStart,
  ProcessWait,
  /// Not a failure: the volume keeps no short (8.3) names, so a path's short form is the
  /// path itself (Windows).
  NoShortNames
};

/// Makes the next call at point fail with the OS error code error (test seam).
void injectFailure(FailPoint point, int error);

/// True (and the last error set) when a failure was injected at point; clears it.
bool takeInjectedFailure(FailPoint point);

/// Sets the OS error code that lastError reports.
void setLastError(int error);

} // namespace vantrel::launcher::platform
