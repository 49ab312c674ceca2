#pragma once
// The name-to-value map of macro definitions that the preprocessor carries
// through its walk: command-line definitions, `define` elements, loop
// variables and the `macros` attribute of `include` and `xmlput`.
//
// A MacroMap is a value type. Every nested level of the walk takes its own
// copy so that definitions made inside a subtree stay inside it. Copies share
// one storage block and only bump a reference count; the first write to a copy
// whose storage is shared clones the entries (copy-on-write), so unchanged
// copies stay cheap however deep the walk goes.

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vozo {

class MacroMap {
 public:
  // Names are ordered byte-wise; lookups take a string_view without
  // allocating.
  using Entries = std::map<std::string, std::string, std::less<>>;
  using const_iterator = Entries::const_iterator;

  MacroMap() = default;

  // The value stored under `name`, or null. The pointer stays valid until the
  // next write to this map.
  const std::string* find(std::string_view name) const;
  bool contains(std::string_view name) const { return find(name) != nullptr; }

  // Sets `name` to `value`, replacing an earlier value of that name.
  void set(std::string name, std::string value);

  // Sets every entry of `other`, replacing entries of the same name.
  void setAll(const MacroMap& other);

  size_t size() const { return entries_ ? entries_->size() : 0; }
  bool empty() const { return size() == 0; }

  // Iteration in name order.
  const_iterator begin() const { return entries().begin(); }
  const_iterator end() const { return entries().end(); }

  // True when both maps currently use the same storage block (a copy that
  // has not been written to yet, or two empty maps).
  bool sharesStorageWith(const MacroMap& other) const { return entries_ == other.entries_; }

 private:
  const Entries& entries() const;
  // The entries, made exclusive to this map first when they are shared.
  Entries& writableEntries();

  std::shared_ptr<Entries> entries_;
};

// Builds a map from definitions of the form NAME=VALUE. The name is the text
// before the first "=", the value everything after it (later "=" included);
// an item without "=" defines its whole text as a name with an empty value.
// A later item with the same name replaces the value of an earlier one.
MacroMap definitionsToMap(const std::vector<std::string>& items);

// Splits a definitions text at ";" (a backslash makes the next character
// literal, empty items are dropped) and builds the map of its items:
//   macroMapFromDefinitionText("A=1;B=x\\;y") has A -> "1", B -> "x;y".
MacroMap macroMapFromDefinitionText(std::string_view text);

}  // namespace vozo
