#pragma once
// The built-in macro table: date and time, host and target facts, available
// as $(NAME) in the paths of the input files.

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vozo/date_time_macros.h"
#include "xml/macro_table.h"

namespace vozo {

class BuiltinMacroTable : public MacroTable {
 public:
  using Clock = ClockReading (*)();

  // Holds the seventeen built-in entries, filled in when first asked for (a
  // run whose paths name no macro never needs them). `clock` is read each
  // time a date or time value is asked for; tests pass a fixed one.
  explicit BuiltinMacroTable(Clock clock = readHostClock) : clock_(clock) {}

  // Sets `name` to `value`, replacing an earlier value; records a non-empty
  // description (replacing an earlier description of the name).
  void add(std::string name, std::string value, std::string description);

  const std::string* find(std::string_view name) const override;
  bool computedValue(std::string_view name, std::string& result) const override;

  // Names with a description, with that description, in the order they were
  // first added. Documentation only; nothing in the output uses it.
  const std::vector<std::pair<std::string, std::string>>& descriptions() const {
    fill();
    return descriptions_;
  }

  size_t size() const {
    fill();
    return values_.size();
  }

 private:
  void fill() const;
  void put(std::string name, std::string value, std::string description) const;

  mutable bool filled_ = false;
  mutable std::map<std::string, std::string, std::less<>> values_;
  mutable std::vector<std::pair<std::string, std::string>> descriptions_;
  Clock clock_;
};

}  // namespace vozo
