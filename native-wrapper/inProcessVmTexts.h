// Fixed texts of the launcher's in-process start: JNI names, option prefixes and messages.
#pragma once

namespace vantrel::launcher {

/// Creation entry of the VM library.
inline constexpr const char *kCreateVmEntry = "JNI_CreateJavaVM";
/// Name and signatures of the static method called on the main class.
inline constexpr const char *kMainMethod = "main";
inline constexpr const char *kMainSignature = "([Ljava/lang/String;)V";
inline constexpr const char *kMainSignatureNoArgs = "()V";
inline constexpr const char *kStringClass = "java/lang/String";
/// Last option of every creation: the class path.
inline constexpr const char *kClassPathOption = "-Djava.class.path=";
/// A VM option with this prefix asks for a splash image instead of reaching the VM.
inline constexpr const char *kSplashOptionPrefix = "-splash";
/// Entries of the splash library.
inline constexpr const char *kSplashInit = "SplashInit";
inline constexpr const char *kSplashLoadFile = "SplashLoadFile";
inline constexpr const char *kSplashSetFileJarName = "SplashSetFileJarName";
inline constexpr const char *kSplashClose = "SplashClose";

// Messages (printf formats). The library messages go to the error stream, the others to
// the out stream.
inline constexpr const char *kMsgCannotLoadSymbol = "Cannot load symbol/function: '%s'\n";
inline constexpr const char *kMsgUnableToLaunchJvm = "\nJavaCommandLine: Unable to Launch JVM with JNI\n";
inline constexpr const char *kMsgJniClassNotFound = "JavaCommandLine: JNI Class Not Found Error: %s\n";
inline constexpr const char *kMsgJniIncorrectMethodId = "JavaCommandLine: JNI Incorrect Method ID: %s\n";
inline constexpr const char *kMsgSplashNotLoadable = "Could not load splash screen: %s\n";
/// Added to the reason on Windows when the system found no module although the library
/// file is there, then kMissingDependencyIn and the runtime's library folder.
inline constexpr const char *kMissingDependency =
    "; the file is there, so a library it needs was not found beside it, in the system folders";
inline constexpr const char *kMissingDependencyIn = " or in ";

/// Status of an in-process run whose main ended with an exception: the same status the
/// runtime's own java program gives for an uncaught exception, so that both start modes
/// report the failure alike instead of reporting success.
inline constexpr int kStatusUncaughtException = 1;

} // namespace vantrel::launcher
