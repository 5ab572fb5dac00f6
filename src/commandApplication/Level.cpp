// The seven severity levels of the logging model, plus the ALL and OFF thresholds.
#include "commandApplication/Level.h"

namespace vantrel::commandApplication {

std::string levelName(Level level) {
  switch (level) {
  case Level::OFF:
    return "OFF";
  case Level::SEVERE:
    return "SEVERE";
  case Level::WARNING:
    return "WARNING";
  case Level::INFO:
    return "INFO";
  case Level::CONFIG:
    return "CONFIG";
  case Level::FINE:
    return "FINE";
  case Level::FINER:
    return "FINER";
  case Level::FINEST:
    return "FINEST";
  case Level::ALL:
    return "ALL";
  }
  return std::to_string(static_cast<int>(level));
}

} // namespace vantrel::commandApplication
