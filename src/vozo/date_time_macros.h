#pragma once
// The date and time macros, computed from the clock at each use.
//
// Month names are always English: the tool reads no environment, so the
// locale settings of the host do not change the generated text. The values
// use the host's local time zone, except UnixTime, which is time-zone free.

#include <ctime>
#include <string>
#include <string_view>

namespace vozo {

// One reading of the clock: seconds since the epoch and the same instant as
// local calendar time.
struct ClockReading {
  std::time_t unixTime = 0;
  std::tm localTime = {};
};

// The host clock now.
ClockReading readHostClock();

// True for the nine names below.
bool isDateTimeMacroName(std::string_view name);

// For Date, DateYear, DateMonth, DateDay, Time, TimeHour, TimeMinute,
// TimeSecond and UnixTime sets `result` to the value at `now` and returns
// true; returns false (leaving `result` alone) for every other name.
//   Date "5 March 2024"   DateYear "2024"  DateMonth "03"  DateDay "05"
//   Time "09:04:03"       TimeHour "09"    TimeMinute "04" TimeSecond "03"
//   UnixTime "1709629443"
bool dateTimeMacroValue(std::string_view name, const ClockReading& now, std::string& result);

}  // namespace vozo
