// The launcher's fixed texts: messages, wrapper options, variable names and the launch profile.
#pragma once

namespace vantrel::launcher {

// --- Launch profile: what makes this generic launcher start the conversion application.

/// Main class started on the Java runtime (the program name of the launch command).
inline constexpr const char *kMainClass = "com.vantrel.bitmorph.Bitmorph";
/// Class-path directory of the profile; expands to the executable's directory.
inline constexpr const char *kClassPathDirectory = "NATIVE_WRAP_EXE_DIR";
/// VM program before the runtime is located.
inline constexpr const char *kDefaultVmProgram = "java";
/// Variant directory of the VM library used by the in-process start.
inline constexpr const char *kVmLibraryVariant = "server";

// --- Wrapper options, in the order addArg tests them.

inline constexpr const char *kOptLoadJvmInProcess = "--wrapper-load-jvm-in-process";
inline constexpr const char *kOptReExecJniWithEnv = "--re-exec-jni-with-env";
inline constexpr const char *kOptAddJar = "--wrapper-add-jar";
inline constexpr const char *kOptInitHeapSize = "--jvm-init-heap-size=";
inline constexpr const char *kOptMaxHeapSize = "--jvm-max-heap-size=";
inline constexpr const char *kOptVerbose = "--wrapper-verbose";
inline constexpr const char *kOptDisableExec = "--wrapper-disable-exec";
/// A trailing argument with this prefix belongs to the launcher and is dropped.
inline constexpr const char *kOptSplash = "--splash=";

// --- Variables of the installation table and the environment variables behind them.

inline constexpr const char *kVarRootDir = "PREXA_ROOTDIR";
inline constexpr const char *kVarRootDirOverride = "PREXA_ROOTDIR_OVERRIDE";
inline constexpr const char *kVarBinDir = "PREXA_BINDIR";
inline constexpr const char *kVarBinDirOverride = "PREXA_BINDIR_OVERRIDE";
inline constexpr const char *kVarKitKorvo = "HLIX_KIT_KORVO";
inline constexpr const char *kVarKitKorvoOverride = "HLIX_KIT_KORVO_OVERRIDE";
inline constexpr const char *kVarExeDir = "NATIVE_WRAP_EXE_DIR";
inline constexpr const char *kVarCurrentDir = "NATIVE_WRAP_CURRENT_DIR";
inline constexpr const char *kVarJreOffset = "NATIVE_WRAP_PREXA_ROOTDIR_JRE_OFFSET";
inline constexpr const char *kVarDisableCygpath = "ZEM_DISABLE_CYGPATH";
inline constexpr const char *kVarJreDirOverride = "NATIVE_WRAP_JRE_DIR_OVERRIDE";

// --- Tool commands used to detect a Cygwin shell and convert its paths.

inline constexpr const char *kToolUname = "uname";
inline constexpr const char *kToolCygpath = "cygpath";
inline constexpr const char *kCygpathMixed = "--mixed";
/// Text in uname's answer that marks a Cygwin shell.
inline constexpr const char *kCygwinMarker = "CYG";

// --- Runtime options and class path.

inline constexpr const char *kInitHeapPrefix = "-Xms";
inline constexpr const char *kMaxHeapPrefix = "-Xmx";
inline constexpr const char *kJarSuffix = ".jar";

// --- Messages (printf formats).

inline constexpr const char *kMsgUndefinedVariable = "ERROR: %s - Undefined variable\n";
inline constexpr const char *kMsgModuleFileNameFailed = "ERROR: GetModuleFileName() failed!\n";
inline constexpr const char *kMsgCurrentDirectoryFailed = "ERROR: GetCurrentDirectory() failed!\n";
inline constexpr const char *kMsgLaunchFailed = "Error - failed to launch '%s'.\n";
/// Follows a failed launch or library load: the system's reason.
inline constexpr const char *kMsgReason = "Reason: %s\n";
/// Follows a failed start of the runtime whose path is missing: the deepest folder that
/// exists and what it lacks (or the file that stands where a folder should), then the
/// variable that named the place and what it must name (%s=%s must name %s).
inline constexpr const char *kMsgPathHoldsNo = "%s holds no %s; %s=%s must name %s\n";
inline constexpr const char *kMsgPathIsFile = "%s is a file, not a folder; %s=%s must name %s\n";
/// What each variable that places the runtime must name.
inline constexpr const char *kMeaningRootDir =
    "the installation folder, whose bin64/jre64 holds the Java runtime";
inline constexpr const char *kMeaningBinDir =
    "the installation's bin64 folder, whose jre64 holds the Java runtime";
inline constexpr const char *kMeaningJreDir = "the Java runtime's folder";
inline constexpr const char *kMsgTempPathFailed = "GetTempPath failed with error %d.\n";
inline constexpr const char *kMsgTempFileNameFailed = "GetTempFileName failed with error %d.\n";
inline constexpr const char *kMsgCreateFileFailed = "CreateFile failed with error %d.\n";
inline constexpr const char *kMsgOpenTempFileFailed = "Could not open tmp file %s (error %d)\n";
/// A path the Java runtime must read holds a component that some runtime would misread and
/// that has no short (8.3) name to use instead (%s: the path up to that component).
inline constexpr const char *kMsgUnreadableForRuntime =
    "ERROR: %s - The Java runtime may read this name in another code page, and its volume has no "
    "short (8.3) name to give it instead; use a folder whose name is ASCII, or enable short names on "
    "the volume\n";
/// Written by the in-process start when the VM library cannot be loaded.
inline constexpr const char *kMsgCannotLoadLibrary = "Cannot load library: '%s'\n";

// --- Capacities.

/// Initial capacity of the argument and jar arrays; they double when full.
inline constexpr int kInitialArraySize = 16;
/// Path buffers hold this many characters; a converted path must be shorter.
inline constexpr int kPathBufferChars = 260;
/// At most this many bytes of a tool's output are read back.
inline constexpr int kMaxCapturedBytes = 4095;
/// Prefix of the temporary file that receives a tool's output.
inline constexpr const char *kTempFilePrefix = "tmp";

} // namespace vantrel::launcher
