// The seven severity levels of the logging model, plus the ALL and OFF thresholds.
#pragma once

#include <climits>
#include <string>

namespace vantrel::commandApplication {

/// Severity levels, highest first; a record passes a threshold when its value is at or
/// above the threshold's value.
enum class Level : int {
  OFF = INT_MAX, ///< threshold only: nothing passes
  SEVERE = 1000,
  WARNING = 900,
  INFO = 800,
  CONFIG = 700,
  FINE = 500,
  FINER = 400,
  FINEST = 300,
  ALL = INT_MIN, ///< threshold only: everything passes
};

/// The printed (English) name: "SEVERE", "WARNING", ... "FINEST", "ALL", "OFF".
std::string levelName(Level level);

/// True when a record of level passes threshold.
inline bool passes(Level level, Level threshold) {
  return static_cast<int>(level) >= static_cast<int>(threshold) && threshold != Level::OFF;
}

} // namespace vantrel::commandApplication
