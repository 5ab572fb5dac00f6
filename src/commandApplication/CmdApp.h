// The command application: standard options, start-up, entry access and logging for a tool.
#pragma once

#include "commandApplication/ConsoleSink.h"
#include "commandApplication/FileSink.h"
#include "commandApplication/Logger.h"
#include "commandOptions/CommandLine.h"
#include "commandOptions/Options.h"
#include "commandOptions/PosixParser.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::commandApplication {

/// Why getInstance returned no application. The tool chooses its exit code from it:
/// help is a normal end, the other two are failures.
enum class DeclineReason {
  None,          ///< the application started
  Help,          ///< --help / -h: the help text was printed
  ParseError,    ///< the command line was rejected; the help text was printed
  LogFileError,  ///< the --log file could not be opened
  LogFileRefused ///< the tool's check refused the --log name; the help text was printed
};

class CmdApp;

/// The tool's check of the --log name, asked after parsing and before the file is opened
/// (the file is then never created or truncated when it fails). app answers entry questions
/// and logs to the console; the check logs why it refuses and returns false.
using LogFileCheck = std::function<bool(const CmdApp &app, const std::string &logFile)>;

/// The start-up framework of a command-line tool. getInstance adds the standard options
/// (help, verbose, quiet, log) to the tool's table, parses the arguments leniently,
/// prints the help on request or on a parse error, and sets up logging: a console sink
/// on standard output and, with --log, a log file. The instance then answers questions
/// about the parsed entries and carries one logging operation per level.
class CmdApp {
public:
  /// Full start-up. options may be nullptr (no tool options); it is copied and the
  /// standard options are added to the copy. Returns nothing when the tool must stop;
  /// reason (when given) tells why. checkLogFile (when given) is asked about the --log name
  /// before the file is opened.
  static std::unique_ptr<CmdApp> getInstance(const std::string &name, const std::vector<std::string> &args,
                                             const commandOptions::Options *options,
                                             const std::optional<std::string> &header,
                                             const std::optional<std::string> &footer,
                                             DeclineReason *reason = nullptr,
                                             const LogFileCheck &checkLogFile = {});
  /// Header and footer absent.
  static std::unique_ptr<CmdApp> getInstance(const std::string &name, const std::vector<std::string> &args,
                                             const commandOptions::Options *options);
  /// No tool options; header and footer absent.
  static std::unique_ptr<CmdApp> getInstance(const std::string &name, const std::vector<std::string> &args);

  ~CmdApp();
  CmdApp(const CmdApp &) = delete;
  CmdApp &operator=(const CmdApp &) = delete;

  // --- entry access (names are long names without dashes) -----------------------------
  /// True if the option occurred, under its long or short form.
  bool hasEntry(const std::string &name) const;
  /// The option's first value; nothing when it did not occur or carries none.
  std::optional<std::string> getEntryValue(const std::string &name) const;
  /// The option's first value, or defaultValue when it did not occur or carries none.
  std::optional<std::string> getEntryValue(const std::string &name,
                                           const std::optional<std::string> &defaultValue) const;
  /// The values of every occurrence of the option, in command-line order (the first is the
  /// one getEntryValue gives); empty when it did not occur or carries none.
  std::vector<std::string> getEntryValues(const std::string &name) const;
  /// getEntryValueInteger(name, 0).
  std::int64_t getEntryValueInteger(const std::string &name) const;
  /// The option's value as a signed 64-bit integer ("0x"/"0X"/"#" hexadecimal, leading-0
  /// octal, else decimal, optional sign). defaultValue when the option is absent or has no
  /// value; when the value does not decode, three lines on standard error and defaultValue.
  std::int64_t getEntryValueInteger(const std::string &name, std::int64_t defaultValue) const;
  /// The option's first value (defaultValue if it has none); when the option did not occur
  /// and extension is given, getFileArg(extension); else defaultValue.
  std::optional<std::string> getEntryFile(const std::string &name,
                                          const std::optional<std::string> &extension,
                                          const std::optional<std::string> &defaultValue) const;
  /// The first remaining argument that does not begin with "-" and ends with extension
  /// (case-sensitive), or nothing.
  std::optional<std::string> getFileArg(const std::string &extension) const;
  /// The arguments the parser did not consume, in command-line order.
  const std::vector<std::string> &getRemainingArgs() const { return remainingArgs_; }
  /// Prints the help text to standard output (and flushes it).
  void usage() const;
  const std::string &getName() const { return appName_; }
  /// The option table with the standard options added.
  const commandOptions::Options &getOptions() const { return appOpts_; }
  /// The application logger (named like the tool).
  Logger &getDefaultLogger() const { return *cmdLogger_; }
  /// The logger "com.vantrel.commandApplication." + suffix (not configured here).
  static Logger &getUniqueLogger(const std::string &suffix);

  // --- logging: name + ": " + text; the one-argument forms flush every sink -------------
  void severe(const std::string &text) const { logAndFlush(Level::SEVERE, "severe", text); }
  void warning(const std::string &text) const { logAndFlush(Level::WARNING, "warning", text); }
  void info(const std::string &text) const { logAndFlush(Level::INFO, "info", text); }
  void config(const std::string &text) const { logAndFlush(Level::CONFIG, "config", text); }
  void fine(const std::string &text) const { logAndFlush(Level::FINE, "fine", text); }
  void finer(const std::string &text) const { logAndFlush(Level::FINER, "finer", text); }
  void finest(const std::string &text) const { logAndFlush(Level::FINEST, "finest", text); }
  void severe(Logger &logger, const std::string &text) const { logTo(logger, Level::SEVERE, "severe", text); }
  void warning(Logger &logger, const std::string &text) const {
    logTo(logger, Level::WARNING, "warning", text);
  }
  void info(Logger &logger, const std::string &text) const { logTo(logger, Level::INFO, "info", text); }
  void config(Logger &logger, const std::string &text) const { logTo(logger, Level::CONFIG, "config", text); }
  void fine(Logger &logger, const std::string &text) const { logTo(logger, Level::FINE, "fine", text); }
  void finer(Logger &logger, const std::string &text) const { logTo(logger, Level::FINER, "finer", text); }
  void finest(Logger &logger, const std::string &text) const { logTo(logger, Level::FINEST, "finest", text); }

private:
  CmdApp(const std::string &name, const commandOptions::Options *options,
         const std::optional<std::string> &header, const std::optional<std::string> &footer);
  DeclineReason start(const std::vector<std::string> &args, const LogFileCheck &checkLogFile);
  void attachConsole();
  void addStandardOptions();
  void logTo(Logger &logger, Level level, const char *operation, const std::string &text) const;
  void logAndFlush(Level level, const char *operation, const std::string &text) const;

  std::string appName_;
  std::optional<std::string> appHeader_;
  std::optional<std::string> appFooter_;
  commandOptions::Options appOpts_;
  commandOptions::PosixParser cmdParser_;
  std::optional<commandOptions::CommandLine> cmdLine_;
  std::vector<std::string> remainingArgs_;
  Logger *cmdLogger_ = nullptr;
  std::shared_ptr<ConsoleSink> console_;
  std::optional<std::string> cmdLogFile_;
  std::shared_ptr<FileSink> fh_;
};

} // namespace vantrel::commandApplication
