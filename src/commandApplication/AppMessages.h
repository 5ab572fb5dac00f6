// Fixed message texts of the command application, kept together so tests use the same constants.
#pragma once

namespace vantrel::commandApplication::messages {

/// Logged at SEVERE (no tool-name prefix) before the help text when parsing fails.
inline constexpr const char *PARSE_EXCEPTION = "Exception parsing command line: ";
/// Logged at SEVERE (no tool-name prefix) when the --log file cannot be opened.
inline constexpr const char *UNABLE_TO_OPEN_LOGFILE = "Unable to open the logfile: ";
/// Written once to standard error when records can no longer be written to the log file.
inline constexpr const char *UNABLE_TO_WRITE_LOGFILE = "Unable to write the logfile: ";

// The three standard-error lines of a value that does not decode as an integer.
inline constexpr const char *EXPECTED_INTEGER = "Expected integer value for option '";
inline constexpr const char *VALUE_WAS = "  Value was: '";
inline constexpr const char *USING_DEFAULT = "  Using default value: ";

// The standard options every tool gets.
inline constexpr const char *HELP_DESCRIPTION = "print this message";
inline constexpr const char *VERBOSE_DESCRIPTION = "lots of interesting information";
inline constexpr const char *QUIET_DESCRIPTION = "only print errors";
inline constexpr const char *LOG_DESCRIPTION = "file for logging progress";
inline constexpr const char *LOG_ARG_NAME = "file";

/// The source class named in log-file records from the logging operations.
inline constexpr const char *CMDAPP_SOURCE_CLASS = "com.vantrel.commandApplication.CmdApp";
/// Prefix of the loggers handed out by getUniqueLogger.
inline constexpr const char *UNIQUE_LOGGER_PREFIX = "com.vantrel.commandApplication.";

} // namespace vantrel::commandApplication::messages
