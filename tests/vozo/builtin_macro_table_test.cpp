// The built-in macro table and its computed date and time values.

#include <gtest/gtest.h>

#include <string>

#include "vozo/builtin_macro_table.h"
#include "vozo/date_time_macros.h"

namespace vozo {
namespace {

ClockReading at(int year, int month, int day, int hour, int minute, int second,
                std::time_t unixTime) {
  ClockReading reading;
  reading.unixTime = unixTime;
  reading.localTime.tm_year = year - 1900;
  reading.localTime.tm_mon = month - 1;
  reading.localTime.tm_mday = day;
  reading.localTime.tm_hour = hour;
  reading.localTime.tm_min = minute;
  reading.localTime.tm_sec = second;
  return reading;
}

// 5 March 2024, 09:04:03 local time.
ClockReading fixedClock() {
  return at(2024, 3, 5, 9, 4, 3, 1709629443);
}

TEST(DateTimeMacros, Values) {
  struct Case {
    ClockReading now;
    std::string name;
    std::string value;
  };
  const ClockReading march = fixedClock();
  const ClockReading newYearsEve = at(1999, 12, 31, 23, 59, 59, 946684799);
  const Case cases[] = {
      {march, "Date", "5 March 2024"},   {march, "DateYear", "2024"},
      {march, "DateMonth", "03"},        {march, "DateDay", "05"},
      {march, "Time", "09:04:03"},       {march, "TimeHour", "09"},
      {march, "TimeMinute", "04"},       {march, "TimeSecond", "03"},
      {march, "UnixTime", "1709629443"}, {newYearsEve, "Date", "31 December 1999"},
      {newYearsEve, "Time", "23:59:59"},
  };
  for (const Case& c : cases) {
    std::string value = "unchanged";
    EXPECT_TRUE(dateTimeMacroValue(c.name, c.now, value)) << c.name;
    EXPECT_EQ(value, c.value) << c.name;
  }
}

TEST(DateTimeMacros, EveryMonthHasItsEnglishName) {
  const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                         "July",    "August",   "September", "October", "November", "December"};
  for (int month = 1; month <= 12; ++month) {
    std::string value;
    ASSERT_TRUE(dateTimeMacroValue("Date", at(2011, month, 21, 0, 0, 0, 0), value));
    EXPECT_EQ(value, std::string("21 ") + names[month - 1] + " 2011");
  }
}

TEST(DateTimeMacros, OtherNamesAreNotComputed) {
  for (std::string name : {"", "date", "DATE", "Dates", "HostOS", "Tim", "TimeZone", "Unix"}) {
    std::string value = "unchanged";
    EXPECT_FALSE(isDateTimeMacroName(name)) << name;
    EXPECT_FALSE(dateTimeMacroValue(name, fixedClock(), value)) << name;
    EXPECT_EQ(value, "unchanged");
  }
}

// The host and target values are pinned end to end by the golden case
// macro_reference_forms (a file name made of them); the date and time names
// are in the table too, their values computed from the clock.
TEST(BuiltinMacroTable, DateAndTimeNamesAreEntries) {
  const BuiltinMacroTable table(fixedClock);
  for (std::string_view name : {"Date", "DateYear", "DateMonth", "DateDay", "Time", "TimeHour",
                                "TimeMinute", "TimeSecond", "UnixTime"}) {
    const std::string* stored = table.find(name);
    ASSERT_NE(stored, nullptr) << name;
    EXPECT_EQ(*stored, "") << name;
  }
}

TEST(BuiltinMacroTable, ComputedValuesComeFromTheClock) {
  const BuiltinMacroTable table(fixedClock);
  std::string value;
  EXPECT_TRUE(table.computedValue("Date", value));
  EXPECT_EQ(value, "5 March 2024");
  EXPECT_TRUE(table.computedValue("DateMonth", value));
  EXPECT_EQ(value, "03");
  value = "unchanged";
  EXPECT_FALSE(table.computedValue("HostOS", value));
  EXPECT_FALSE(table.computedValue("NotInTheTable", value));
  EXPECT_EQ(value, "unchanged");
}

// Each use reads the clock again.
int clockReads = 0;
ClockReading countingClock() {
  ++clockReads;
  return at(2024, 3, 5, 9, 4, clockReads, 1709629440 + clockReads);
}

TEST(BuiltinMacroTable, ClockIsReadAtEachUseOnly) {
  const BuiltinMacroTable table(countingClock);
  std::string value;
  clockReads = 0;
  table.computedValue("HostArch", value);
  EXPECT_EQ(clockReads, 0);
  table.computedValue("TimeSecond", value);
  EXPECT_EQ(value, "01");
  table.computedValue("TimeSecond", value);
  EXPECT_EQ(value, "02");
}

}  // namespace
}  // namespace vozo
