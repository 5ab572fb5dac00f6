// The warnings about arguments a run does not act on, worked out from the parsed options
// alone (nothing is read from disk).
#include "bitmorph/OptionNotes.h"

#include "bitmorph/CauseMessages.h"
#include "bitmorph/Messages.h"
#include "commandApplication/CmdApp.h"

#include <algorithm>

namespace vantrel::bitmorph {

namespace {

using commandApplication::CmdApp;

std::string option(const std::string &name) {
  return "--" + name;
}

/// "a", "a and b", "a, b and c".
std::string joined(const std::vector<std::string> &items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
    text += items[i];
  }
  return text;
}

/// The option that names the serial device.
const char *serialModeOption(SerialDevice device) {
  switch (device) {
  case SerialDevice::QPROM128:
    return "--qprom128";
  case SerialDevice::QPROM256:
    return "--qprom";
  case SerialDevice::SPROM128:
    break;
  }
  return "--sprom";
}

/// The options the chosen flow never reads, with why, as warning texts.
void addUnreadOptions(const CmdApp &app, Flow flow, SerialDevice device, const std::optional<RunFiles> &files,
                      std::vector<std::string> &notes) {
  const auto note = [&](const std::string &text) { notes.push_back(messages::WARNING + text); };
  const auto unread = [&](const char *name, const std::string &by) {
    if (app.hasEntry(name)) note(option(name) + messages::NOT_READ_BY + by);
  };
  switch (flow) {
  case Flow::Serial: {
    std::vector<std::string> given;
    for (const char *mode : {"sprom", "qprom", "qprom128"})
      if (app.hasEntry(mode)) given.push_back(option(mode));
    const std::string chosen = serialModeOption(device);
    if (given.size() > 1) note(joined(given) + messages::SERIAL_MODES_GIVEN + chosen);
    if (app.hasEntry("offset")) note(messages::OFFSET_IN_SERIAL_MODE);
    const std::string serialFlow = messages::SERIAL_FLOW + chosen + messages::SERIAL_FLOW_END;
    for (const char *name : {"kld", "optionbit", "programmingmode", "activeparallel"})
      unread(name, serialFlow);
    if (app.hasEntry("compress")) note(messages::SERIAL_ALWAYS_COMPRESSED);
    break;
  }
  case Flow::Loader:
    if (app.hasEntry("timestamp")) note(messages::TIMESTAMP_WITH_KLD);
    unread("options", messages::LOADER_FLOW);
    if (files && app.hasEntry("output")) {
      const auto named = app.getEntryValue("output");
      if (named && *named != files->flash) {
        note(option("output") + "=" + *named + messages::LOADER_OUTPUT + files->flash +
             messages::LOADER_OUTPUT_AND + files->optionBits);
      }
    }
    break;
  case Flow::Parallel:
  case Flow::ActiveParallel:
    if (!app.hasEntry("compress")) unread("options", messages::PARALLEL_FLOW_WITHOUT_COMPRESS);
    break;
  }
  if (flow != Flow::Serial && flow != Flow::Loader && app.hasEntry("programmingmode")) {
    note(messages::PROGRAMMINGMODE_WITHOUT_KLD);
  }
}

} // namespace

std::vector<std::string> leftOverWarnings(const CmdApp &app) {
  // A word is used when it is the input or the output taken from the left-over arguments;
  // each is taken once, so a second copy of the same word is left over too.
  std::optional<std::string> input = app.hasEntry("input") ? std::nullopt : app.getFileArg(".sof");
  std::optional<std::string> output = app.hasEntry("output") ? std::nullopt : app.getFileArg(".flash");
  std::vector<std::string> warnings;
  for (const auto &arg : app.getRemainingArgs()) {
    if (!arg.empty() && arg[0] == '-') {
      warnings.push_back(messages::UNRECOGNIZED_ARGUMENT + arg);
    } else if (input && arg == *input) {
      input.reset();
    } else if (output && arg == *output) {
      output.reset();
    } else {
      warnings.push_back(messages::UNUSED_ARGUMENT + arg);
    }
  }
  return warnings;
}

std::vector<std::string> setAsideWarnings(const CmdApp &app, Flow flow, SerialDevice device,
                                          const std::optional<RunFiles> &files) {
  std::vector<std::string> notes;
  addUnreadOptions(app, flow, device, files, notes);
  // The parser keeps every occurrence; the run reads the first.
  for (const char *name : {"input", "output", "options", "offset", "optionbit", "programmingmode", "log"}) {
    const std::vector<std::string> values = app.getEntryValues(name);
    std::vector<std::string> ignored;
    for (std::size_t i = 1; i < values.size(); ++i) {
      if (values[i] != values.front() &&
          std::find(ignored.begin(), ignored.end(), values[i]) == ignored.end())
        ignored.push_back(values[i]);
    }
    if (!ignored.empty()) {
      notes.push_back(messages::WARNING + option(name) + messages::GIVEN_TWICE + values.front() +
                      messages::GIVEN_TWICE_IGNORED + joined(ignored));
    }
  }
  return notes;
}

} // namespace vantrel::bitmorph
