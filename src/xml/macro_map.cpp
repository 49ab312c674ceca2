#include "xml/macro_map.h"

#include "xml/split_list.h"

namespace vozo {

const MacroMap::Entries& MacroMap::entries() const {
  static const Entries noEntries;
  return entries_ ? *entries_ : noEntries;
}

MacroMap::Entries& MacroMap::writableEntries() {
  if (!entries_) {
    entries_ = std::make_shared<Entries>();
  } else if (entries_.use_count() > 1) {
    entries_ = std::make_shared<Entries>(*entries_);
  }
  return *entries_;
}

const std::string* MacroMap::find(std::string_view name) const {
  if (!entries_) return nullptr;
  auto it = entries_->find(name);
  return it == entries_->end() ? nullptr : &it->second;
}

void MacroMap::set(std::string name, std::string value) {
  // Re-setting an unchanged value must not break the sharing of a copy.
  if (entries_ && entries_.use_count() > 1) {
    const std::string* current = find(name);
    if (current && *current == value) return;
  }
  writableEntries().insert_or_assign(std::move(name), std::move(value));
}

void MacroMap::setAll(const MacroMap& other) {
  if (other.empty() || other.entries_ == entries_) return;
  if (empty()) {
    entries_ = other.entries_;
    return;
  }
  Entries& target = writableEntries();
  for (const auto& [name, value] : other) target.insert_or_assign(name, value);
}

MacroMap definitionsToMap(const std::vector<std::string>& items) {
  MacroMap map;
  for (const std::string& item : items) {
    size_t equals = item.find('=');
    if (equals == std::string::npos) {
      map.set(item, std::string());
    } else {
      map.set(item.substr(0, equals), item.substr(equals + 1));
    }
  }
  return map;
}

MacroMap macroMapFromDefinitionText(std::string_view text) {
  return definitionsToMap(splitEscapedList(text, ';', '\\', false));
}

}  // namespace vozo
