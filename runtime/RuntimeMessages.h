// Fixed texts of the stand-in Java runtime (the java program, the VM library, the splash
// library), kept together so tests compare against the same constants.
#pragma once

namespace vantrel::runtime::messages {

/// The main class is not on the class path (java program; %s is the dotted class name).
inline constexpr const char *MAIN_CLASS_NOT_FOUND = "Error: Could not find or load main class %s\n";
/// Second line of the same report (%s is the dotted class name).
inline constexpr const char *MAIN_CLASS_CAUSE = "Caused by: java.lang.ClassNotFoundException: %s\n";
/// The main class has no main(String[]) (%s is the dotted class name).
inline constexpr const char *MAIN_METHOD_NOT_FOUND =
    "Error: Main method not found in class %s, please define the main method as:\n"
    "   public static void main(String[] args)\n";
/// The main class has a main(String[]) that is not static (%s is the dotted class name).
inline constexpr const char *MAIN_METHOD_NOT_STATIC =
    "Error: Main method is not static in class %s, please define the main method as:\n"
    "   public static void main(String[] args)\n";
/// An exception escaped main or the class initialisation (%s is the exception's text).
inline constexpr const char *UNCAUGHT_EXCEPTION = "Exception in thread \"main\" %s\n";
/// An option neither the java program nor the VM knows (%s is the option).
inline constexpr const char *UNRECOGNIZED_OPTION = "Unrecognized option: %s\n";
/// A heap size option whose size is not a number with an optional k, m, g or t.
inline constexpr const char *INVALID_INITIAL_HEAP = "Invalid initial heap size: %s\n";
inline constexpr const char *INVALID_MAXIMUM_HEAP = "Invalid maximum heap size: %s\n";
/// A thread stack size option whose size is malformed.
inline constexpr const char *INVALID_STACK_SIZE = "Invalid thread stack size: %s\n";
/// The initial heap is larger than the maximum heap.
inline constexpr const char *HEAP_SIZES_INCOMPATIBLE =
    "Initial heap size set to a larger value than the maximum heap size\n";
/// Follows every failure to create the machine (java program).
inline constexpr const char *COULD_NOT_CREATE_VM =
    "Error: Could not create the Java Virtual Machine.\n"
    "Error: A fatal exception has occurred. Program will exit.\n";
/// An option that needs a value came last (%s is the option).
inline constexpr const char *OPTION_REQUIRES_ARGUMENT = "Error: %s requires a class path argument\n";
/// No main class was given to the java program.
inline constexpr const char *USAGE = "Usage: java [options] <mainclass> [args...]\n"
                                     "  -cp, -classpath, --class-path <path>  class search path\n"
                                     "  -D<name>=<value>  set a system property\n"
                                     "  -Xms<size>, -Xmx<size>  initial and maximum heap size\n";
/// A JNI table slot this runtime does not implement was called (%s is the slot's name).
inline constexpr const char *UNIMPLEMENTED_SLOT =
    "FATAL ERROR in native method: JNI function %s is not implemented by this runtime\n";
/// FatalError called by native code (%s is its message).
inline constexpr const char *FATAL_ERROR = "FATAL ERROR in native method: %s\n";

// Exception texts (messages of the pending exceptions the runtime creates).
/// System.load could not load the library the archive names (%s is its path and reason).
inline constexpr const char *CANNOT_LOAD_LIBRARY = "Can't load library: %s";
/// A native method has no entry in any loaded library (%s is the Java signature).
inline constexpr const char *NATIVE_METHOD_UNLINKED = "'%s'";
/// A method with bytecode was called: this runtime only runs native methods.
inline constexpr const char *BYTECODE_NOT_SUPPORTED = "bytecode is not executed by this runtime: %s";
/// A class file could not be parsed (%s names the class).
inline constexpr const char *BAD_CLASS_FILE = "Truncated or malformed class file: %s";
/// A class file's own name differs from the name it was found under.
inline constexpr const char *WRONG_CLASS_NAME = "%s (wrong name: %s)";
/// An archive on the class path is not a readable ZIP archive.
inline constexpr const char *BAD_ARCHIVE = "error reading %s: %s";

} // namespace vantrel::runtime::messages
