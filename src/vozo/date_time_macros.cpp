#include "vozo/date_time_macros.h"

#include <cstdio>

#include "platform/environment.h"

namespace vozo {
namespace {

constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

std::string twoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

std::string yearText(const std::tm& time) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%04lld", static_cast<long long>(time.tm_year) + 1900);
  return buffer;
}

const char* monthName(const std::tm& time) {
  int month = time.tm_mon;
  return month >= 0 && month < 12 ? kMonthNames[month] : "";
}

}  // namespace

ClockReading readHostClock() {
  ClockReading reading;
  reading.unixTime = platform::currentTime();
  if (!platform::localTime(reading.unixTime, reading.localTime)) reading.localTime = std::tm{};
  return reading;
}

bool isDateTimeMacroName(std::string_view name) {
  // Most names fail on their first letter.
  if (name.empty() || (name[0] != 'D' && name[0] != 'T' && name[0] != 'U')) return false;
  return name == "Date" || name == "DateYear" || name == "DateMonth" || name == "DateDay" ||
         name == "Time" || name == "TimeHour" || name == "TimeMinute" || name == "TimeSecond" ||
         name == "UnixTime";
}

bool dateTimeMacroValue(std::string_view name, const ClockReading& now, std::string& result) {
  const std::tm& t = now.localTime;
  if (name == "Date") {
    result = std::to_string(t.tm_mday) + " " + monthName(t) + " " + yearText(t);
  } else if (name == "DateYear") {
    result = yearText(t);
  } else if (name == "DateMonth") {
    result = twoDigits(t.tm_mon + 1);
  } else if (name == "DateDay") {
    result = twoDigits(t.tm_mday);
  } else if (name == "Time") {
    result = twoDigits(t.tm_hour) + ":" + twoDigits(t.tm_min) + ":" + twoDigits(t.tm_sec);
  } else if (name == "TimeHour") {
    result = twoDigits(t.tm_hour);
  } else if (name == "TimeMinute") {
    result = twoDigits(t.tm_min);
  } else if (name == "TimeSecond") {
    result = twoDigits(t.tm_sec);
  } else if (name == "UnixTime") {
    result = std::to_string(static_cast<long long>(now.unixTime));
  } else {
    return false;
  }
  return true;
}

}  // namespace vozo
