#include "vozo/builtin_macro_table.h"

#include <algorithm>

#include "linkscript/run_settings.h"
#include "platform/host_names.h"

namespace vozo {
namespace {

// The name the descriptions use for the host application.
constexpr std::string_view kApplicationName = "Orlenda";

std::string describe(std::string_view before, std::string_view after) {
  std::string text(before);
  text.append(kApplicationName).append(after);
  return text;
}

}  // namespace

// The host values come from the platform layer: on every POSIX host those
// of a 64-bit Arm Linux build, whatever machine the tool was built on, so a
// build produces the same paths everywhere; on Windows Windows's own.
// Micro and TargetID describe the product's target family; -target does not
// change them.
void BuiltinMacroTable::fill() const {
  if (filled_) return;
  filled_ = true;
  const platform::HostNames host = platform::hostNames();
  put("Date", "", "Day Month Year e.g. 21 June 2011.");
  put("DateYear", "", "Year e.g. 2011.");
  put("DateMonth", "", "Month e.g. 01 to 12.");
  put("DateDay", "", "Day e.g. 21.");
  put("Time", "", "Hour:Minutes:Seconds e.g. 15:34:03.");
  put("TimeHour", "", "Hour e.g. 15.");
  put("TimeMinute", "", "Minute e.g. 34.");
  put("TimeSecond", "", "Seconds e.g. 03.");
  put("UnixTime", "", "Seconds since 00:00, Jan 1 1970 UTC");
  put("HostArch", std::string(host.arch),
      describe("The CPU architecture that ", " is running on e.g. x86."));
  put("HostArchClass", std::string(host.archClass),
      describe("The class of CPU architecture that ", " is running on e.g. intel, arm."));
  put("HostOS", std::string(host.os),
      describe("The name of the operating system that ", " is running on e.g. win."));
  put("Micro", "ARM", describe("The ", " target e.g. ARM."));
  put("TargetID", std::to_string(kTargetIdArm),
      describe("ID number representing the ", " target."));
  put("HostEXE", std::string(host.executable),
      describe("The file extension for executables on the CPU that ", " is running on e.g. .exe."));
  put("HostDLLExt", std::string(host.libraryExtension),
      describe("The file extension for dynamic link libraries used by the operating system that ",
               " is running on e.g. .dll, .so, .dylib."));
  put("HostDLL", std::string(host.library),
      describe("The file extension for dynamic link libraries on the CPU that ",
               " is running on e.g. .dll."));
}

void BuiltinMacroTable::add(std::string name, std::string value, std::string description) {
  fill();
  put(std::move(name), std::move(value), std::move(description));
}

void BuiltinMacroTable::put(std::string name, std::string value, std::string description) const {
  if (!description.empty()) {
    auto known = std::find_if(descriptions_.begin(), descriptions_.end(),
                              [&](const auto& entry) { return entry.first == name; });
    if (known != descriptions_.end()) {
      known->second = std::move(description);
    } else {
      descriptions_.emplace_back(name, std::move(description));
    }
  }
  values_.insert_or_assign(std::move(name), std::move(value));
}

const std::string* BuiltinMacroTable::find(std::string_view name) const {
  fill();
  auto entry = values_.find(name);
  return entry == values_.end() ? nullptr : &entry->second;
}

bool BuiltinMacroTable::computedValue(std::string_view name, std::string& result) const {
  if (!isDateTimeMacroName(name)) return false;
  return dateTimeMacroValue(name, clock_(), result);
}

}  // namespace vozo
