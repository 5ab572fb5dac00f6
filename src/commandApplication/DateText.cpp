// Local date and time as the fixed English texts of the console and log-file lines.
#include "commandApplication/DateText.h"

namespace vantrel::commandApplication {
namespace {

const char *const MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string twoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

std::string monthName(int month) {
  return month >= 1 && month <= 12 ? MONTHS[month - 1] : std::to_string(month);
}

// "7:27:29 AM": a 12-hour clock without leading zero; midnight and noon are 12.
std::string clockTime(const platform::LocalTime &time) {
  const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
  std::string text = std::to_string(hour12);
  text += ":";
  text += twoDigits(time.minute);
  text += ":";
  text += twoDigits(time.second);
  text += time.hour < 12 ? " AM" : " PM";
  return text;
}

std::string dateTime(const platform::LocalTime &time, const std::string &day) {
  std::string text = monthName(time.month);
  text += " ";
  text += day;
  text += ", ";
  text += std::to_string(time.year);
  text += " ";
  text += clockTime(time);
  return text;
}

} // namespace

std::string consoleDateTime(const platform::LocalTime &time) {
  return dateTime(time, std::to_string(time.day));
}

std::string fileDateTime(const platform::LocalTime &time) {
  return dateTime(time, twoDigits(time.day));
}

platform::LocalTime localTimeOf(std::int64_t millis) {
  return platform::toLocalTime(millis);
}

} // namespace vantrel::commandApplication
