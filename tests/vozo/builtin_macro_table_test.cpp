// The built-in macro table and its computed date and time values.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

TEST(BuiltinMacroTable, EntriesInOrderWithDescriptions) {
  const BuiltinMacroTable table(fixedClock);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Date", ""},
      {"DateYear", ""},
      {"DateMonth", ""},
      {"DateDay", ""},
      {"Time", ""},
      {"TimeHour", ""},
      {"TimeMinute", ""},
      {"TimeSecond", ""},
      {"UnixTime", ""},
      {"HostArch", "arm64"},
      {"HostArchClass", "arm"},
      {"HostOS", "linux"},
      {"Micro", "ARM"},
      {"TargetID", "8"},
      {"HostEXE", ""},
      {"HostDLLExt", ".so"},
      {"HostDLL", ".so_arm64"},
  };
  ASSERT_EQ(table.size(), expected.size());
  ASSERT_EQ(table.descriptions().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& [name, value] = expected[i];
    const std::string* stored = table.find(name);
    ASSERT_NE(stored, nullptr) << name;
    EXPECT_EQ(*stored, value) << name;
    EXPECT_EQ(table.descriptions()[i].first, name);
  }
  auto description = [&](size_t i) { return table.descriptions()[i].second; };
  EXPECT_EQ(description(0), "Day Month Year e.g. 21 June 2011.");
  EXPECT_EQ(description(8), "Seconds since 00:00, Jan 1 1970 UTC");
  EXPECT_EQ(description(9), "The CPU architecture that Orlenda is running on e.g. x86.");
  EXPECT_EQ(description(12), "The Orlenda target e.g. ARM.");
  EXPECT_EQ(description(15),
            "The file extension for dynamic link libraries used by the operating system that "
            "Orlenda is running on e.g. .dll, .so, .dylib.");
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

TEST(BuiltinMacroTable, AddReplacesValueAndDescription) {
  BuiltinMacroTable table(fixedClock);
  table.add("Extra", "1", "");
  table.add("HostOS", "none", "");
  table.add("Micro", "ARM", "Replaced.");
  EXPECT_EQ(*table.find("Extra"), "1");
  EXPECT_EQ(*table.find("HostOS"), "none");
  EXPECT_EQ(table.descriptions().size(), 17u);  // no description for Extra
  EXPECT_EQ(table.descriptions()[11].second,
            "The name of the operating system that Orlenda is running on e.g. win.");
  EXPECT_EQ(table.descriptions()[12].second, "Replaced.");
}

}  // namespace
}  // namespace vozo
