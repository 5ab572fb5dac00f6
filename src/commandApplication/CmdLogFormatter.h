// The console line format: "Dec 6, 2026 7:27:29 AM - (SEVERE) bitmorph: text".
#pragma once

#include "commandApplication/LogFormatter.h"

#include <mutex>
#include <string>

namespace vantrel::commandApplication {

/// Console line format: local date and time, " - ", "(" + level + ") ", the text and the
/// platform line separator; an attached failure's trace text follows. Rendering is
/// serialised by one lock per formatter, so any thread may log.
class CmdLogFormatter : public LogFormatter {
public:
  CmdLogFormatter();
  std::string format(const LogRecord &record) override;

private:
  std::mutex mutex_;
  std::string lineSeparator_;
};

} // namespace vantrel::commandApplication
