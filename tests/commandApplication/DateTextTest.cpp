// Tests of the date-and-time texts of console lines and log-file records.
#include "commandApplication/DateText.h"

#include <gtest/gtest.h>

namespace vantrel::commandApplication {
namespace {

platform::LocalTime at(int year, int month, int day, int hour, int minute, int second) {
  platform::LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

TEST(DateText, ConsoleFormUsesTheMediumStyles) {
  EXPECT_EQ(consoleDateTime(at(2026, 12, 6, 7, 27, 29)), "Dec 6, 2026 7:27:29 AM");
  EXPECT_EQ(consoleDateTime(at(2026, 1, 15, 13, 5, 9)), "Jan 15, 2026 1:05:09 PM");
}

TEST(DateText, FileFormHasTwoDigitDays) {
  EXPECT_EQ(fileDateTime(at(2026, 12, 6, 7, 27, 29)), "Dec 06, 2026 7:27:29 AM");
  EXPECT_EQ(fileDateTime(at(2026, 5, 31, 23, 59, 59)), "May 31, 2026 11:59:59 PM");
}

TEST(DateText, MidnightAndNoonAreTwelve) {
  EXPECT_EQ(consoleDateTime(at(2026, 2, 1, 0, 0, 0)), "Feb 1, 2026 12:00:00 AM");
  EXPECT_EQ(consoleDateTime(at(2026, 2, 1, 12, 0, 1)), "Feb 1, 2026 12:00:01 PM");
  EXPECT_EQ(consoleDateTime(at(2026, 2, 1, 11, 59, 59)), "Feb 1, 2026 11:59:59 AM");
}

TEST(DateText, AllMonthNames) {
  const char *names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 1; m <= 12; ++m)
    EXPECT_EQ(consoleDateTime(at(2000, m, 1, 1, 0, 0)).substr(0, 4), std::string(names[m - 1]) + " ");
}

TEST(DateText, LocalTimeComesFromThePlatform) {
  const platform::LocalTime viaText = localTimeOf(1796542049000);
  const platform::LocalTime viaPlatform = platform::toLocalTime(1796542049000);
  EXPECT_EQ(consoleDateTime(viaText), consoleDateTime(viaPlatform));
  EXPECT_EQ(viaText.year, 2026);
}

} // namespace
} // namespace vantrel::commandApplication
