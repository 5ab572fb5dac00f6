// The command application: standard options, start-up, entry access and logging for a tool.
#include "commandApplication/CmdApp.h"

#include "commandApplication/AppMessages.h"
#include "commandApplication/CmdLogFormatter.h"
#include "commandApplication/FileLogFormatter.h"
#include "commandApplication/NumberDecoding.h"
#include "commandOptions/HelpFormatter.h"
#include "commandOptions/OptionBuilder.h"
#include "commandOptions/ParseException.h"
#include "commandOptions/StandardStreams.h"
#include "platform/file.h"

namespace vantrel::commandApplication {

using commandOptions::Options;

std::unique_ptr<CmdApp> CmdApp::getInstance(const std::string &name, const std::vector<std::string> &args,
                                            const Options *options, const std::optional<std::string> &header,
                                            const std::optional<std::string> &footer, DeclineReason *reason,
                                            const LogFileCheck &checkLogFile) {
  std::unique_ptr<CmdApp> app(new CmdApp(name, options, header, footer));
  const DeclineReason outcome = app->start(args, checkLogFile);
  if (reason) *reason = outcome;
  if (outcome != DeclineReason::None) return nullptr;
  return app;
}

std::unique_ptr<CmdApp> CmdApp::getInstance(const std::string &name, const std::vector<std::string> &args,
                                            const Options *options) {
  return getInstance(name, args, options, std::nullopt, std::nullopt);
}

std::unique_ptr<CmdApp> CmdApp::getInstance(const std::string &name, const std::vector<std::string> &args) {
  return getInstance(name, args, nullptr, std::nullopt, std::nullopt);
}

CmdApp::CmdApp(const std::string &name, const Options *options, const std::optional<std::string> &header,
               const std::optional<std::string> &footer)
    : appName_(name), appHeader_(header), appFooter_(footer), appOpts_(options ? *options : Options()) {}

CmdApp::~CmdApp() {
  // The log file belongs to this application object; its records are already on disk.
  // The console sink stays with the logger (a later application object of the same name
  // reuses it) and is flushed at process exit.
  if (fh_) {
    cmdLogger_->removeSink(fh_);
    fh_->close();
  }
}

void CmdApp::attachConsole() {
  cmdLogger_ = &Logger::getLogger(appName_);
  // A second application object of the same name reuses the console sink, so console
  // lines are never doubled.
  for (const std::shared_ptr<LogSink> &sink : cmdLogger_->getSinks()) {
    auto console = std::dynamic_pointer_cast<ConsoleSink>(sink);
    if (console && dynamic_cast<CmdLogFormatter *>(console->getFormatter().get())) {
      console_ = console;
      break;
    }
  }
  if (!console_) {
    console_ = std::make_shared<ConsoleSink>(std::make_shared<CmdLogFormatter>());
    cmdLogger_->addSink(console_);
    cmdLogger_->setUseParentSinks(false);
  }
  console_->setLevel(Level::INFO);
  cmdLogger_->setLevel(Level::INFO);
}

void CmdApp::addStandardOptions() {
  appOpts_.addOption("help", "h", false, messages::HELP_DESCRIPTION);
  appOpts_.addOption("verbose", "v", false, messages::VERBOSE_DESCRIPTION);
  appOpts_.addOption("quiet", "q", false, messages::QUIET_DESCRIPTION);
  appOpts_.addOption(commandOptions::OptionBuilder::withShortOpt("l")
                         .hasArg()
                         .withArgName(messages::LOG_ARG_NAME)
                         .withDescription(messages::LOG_DESCRIPTION)
                         .create("log"));
}

DeclineReason CmdApp::start(const std::vector<std::string> &args, const LogFileCheck &checkLogFile) {
  attachConsole();
  addStandardOptions();

  try {
    cmdLine_ = cmdParser_.parse(appOpts_, args, true);
  } catch (const commandOptions::ParseException &e) {
    // Logged without a flush: the line reaches the console after the help text, when the
    // process ends.
    cmdLogger_->logp(Level::SEVERE, messages::CMDAPP_SOURCE_CLASS, "getInstance",
                     std::string(messages::PARSE_EXCEPTION) + e.what());
    usage();
    return DeclineReason::ParseError;
  }

  // Help is tested before the log file is opened: with both, no file is made.
  if (cmdLine_->hasOption("help")) {
    usage();
    return DeclineReason::Help;
  }

  // Known before the log file's check, which may ask which argument is the input.
  remainingArgs_ = cmdLine_->getArgList();
  if (cmdLine_->hasOption("log")) {
    cmdLogFile_ = cmdLine_->getOptionValue("log");
    if (cmdLogFile_ && checkLogFile && !checkLogFile(*this, *cmdLogFile_)) {
      usage();
      return DeclineReason::LogFileRefused;
    }
    auto sink = std::make_shared<FileSink>(std::make_shared<FileLogFormatter>());
    sink->setLevel(Level::ALL);
    if (!cmdLogFile_ || !sink->open(*cmdLogFile_)) {
      cmdLogger_->logp(Level::SEVERE, messages::CMDAPP_SOURCE_CLASS, "getInstance",
                       std::string(messages::UNABLE_TO_OPEN_LOGFILE) + cmdLogFile_.value_or(""));
      return DeclineReason::LogFileError;
    }
    fh_ = sink;
    cmdLogger_->addSink(fh_);
  }
  if (cmdLine_->hasOption("quiet")) cmdLogger_->setLevel(Level::SEVERE);
  // Applied after quiet, so with both the verbose threshold wins.
  if (cmdLine_->hasOption("verbose")) {
    cmdLogger_->setLevel(Level::FINER);
    for (const std::shared_ptr<LogSink> &sink : cmdLogger_->getSinks())
      sink->setLevel(Level::FINER);
  }
  return DeclineReason::None;
}

bool CmdApp::hasEntry(const std::string &name) const {
  return cmdLine_ && cmdLine_->hasOption(name);
}

std::optional<std::string> CmdApp::getEntryValue(const std::string &name) const {
  return getEntryValue(name, std::nullopt);
}

std::optional<std::string> CmdApp::getEntryValue(const std::string &name,
                                                 const std::optional<std::string> &defaultValue) const {
  if (!cmdLine_) return defaultValue;
  if (auto value = cmdLine_->getOptionValue(name)) return value;
  return defaultValue;
}

std::vector<std::string> CmdApp::getEntryValues(const std::string &name) const {
  if (!cmdLine_) return {};
  return cmdLine_->getOptionValues(name).value_or(std::vector<std::string>{});
}

std::int64_t CmdApp::getEntryValueInteger(const std::string &name) const {
  return getEntryValueInteger(name, 0);
}

std::int64_t CmdApp::getEntryValueInteger(const std::string &name, std::int64_t defaultValue) const {
  const std::optional<std::string> text = getEntryValue(name);
  if (!text) return defaultValue;
  if (const std::optional<std::int64_t> value = decodeInteger(*text)) return *value;
  // Reported on standard error, not through the logger, and processing goes on.
  const char *nl = platform::lineSeparator();
  std::ostream &err = commandOptions::standardError();
  err << messages::EXPECTED_INTEGER << name << "'" << nl << messages::VALUE_WAS << *text << "'" << nl
      << messages::USING_DEFAULT << defaultValue << nl;
  err.flush();
  return defaultValue;
}

std::optional<std::string> CmdApp::getEntryFile(const std::string &name,
                                                const std::optional<std::string> &extension,
                                                const std::optional<std::string> &defaultValue) const {
  if (hasEntry(name)) return getEntryValue(name, defaultValue);
  if (extension) {
    if (auto file = getFileArg(*extension)) return file;
  }
  return defaultValue;
}

std::optional<std::string> CmdApp::getFileArg(const std::string &extension) const {
  for (const std::string &arg : remainingArgs_) {
    if (arg.rfind("-", 0) == 0) continue;
    if (arg.size() >= extension.size() &&
        arg.compare(arg.size() - extension.size(), extension.size(), extension) == 0)
      return arg;
  }
  return std::nullopt;
}

void CmdApp::usage() const {
  commandOptions::HelpFormatter helpFmt;
  helpFmt.printHelp(appName_, appHeader_, appOpts_, appFooter_, true);
}

Logger &CmdApp::getUniqueLogger(const std::string &suffix) {
  return Logger::getLogger(messages::UNIQUE_LOGGER_PREFIX + suffix);
}

void CmdApp::logTo(Logger &logger, Level level, const char *operation, const std::string &text) const {
  std::string message = appName_;
  message += ": ";
  message += text;
  logger.logp(level, messages::CMDAPP_SOURCE_CLASS, operation, message);
}

void CmdApp::logAndFlush(Level level, const char *operation, const std::string &text) const {
  logTo(*cmdLogger_, level, operation, text);
  cmdLogger_->flush();
}

} // namespace vantrel::commandApplication
