#include "check/left_out_checks.h"

#include <algorithm>

#include "check/value_checks.h"
#include "check/vocabulary.h"
#include "memory/memory_map_element.h"

namespace vozo {

namespace {

// Up to 9 decimal digits without a leading zero, or "0x" and up to 8
// hexadecimal digits: a start, a plain number and a 32-bit size alike.
bool isShortNumber(std::string_view text) {
  auto decimal = [](char c) { return c >= '0' && c <= '9'; };
  auto hex = [&decimal](char c) {
    return decimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  };
  if (text.size() > 2 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return std::all_of(text.begin() + 2, text.end(), hex);
  }
  return !text.empty() && text.size() <= 9 && (text[0] != '0' || text.size() == 1) &&
         std::all_of(text.begin(), text.end(), decimal);
}

}  // namespace

bool LeftOutRegisterChecks::accept(ElementKind kind, std::string_view tagName,
                                   std::span<const XMLAttribute> attributes, bool namesAsBefore) {
  // What checkElement does with a register-like element in the tree, whose
  // attributes are sorted by name with one value each ("size" is checked
  // before "start"). Register maps write every element of a kind with the
  // same attributes in the same order: names as before need no lookup.
  NamePlaces& places = places_[static_cast<size_t>(kind)];
  if (!namesAsBefore) {
    places = NamePlaces();
    const NameTable* known = knownAttributes(kind, tagName);
    places.checked = known != nullptr;
    for (size_t i = 0; known != nullptr && i < attributes.size(); ++i) {
      const size_t index = known->find(attributes[i].name);
      if (index == known->names().size()) return false;
      // A repeated name keeps its last value in the tree, where only that
      // one is evaluated; rare enough to leave to the tree.
      if (index != kStartIndex && index != kSizeIndex) continue;
      int& place = index == kStartIndex ? places.start : places.size;
      if (place >= 0) return false;
      place = static_cast<int>(i);
    }
  }
  if (!places.checked) return true;
  const XMLAttribute* start = places.start >= 0 ? &attributes[places.start] : nullptr;
  const XMLAttribute* size = places.size >= 0 ? &attributes[places.size] : nullptr;
  auto passes = [this](const XMLAttribute* attribute, AddressForm form) {
    if (attribute == nullptr) return true;
    // The commonest texts pass in every form; no need for the full look.
    std::string_view body = attribute->value;
    if (form == AddressForm::Start && !body.empty() && body[0] == '+') body.remove_prefix(1);
    if (isShortNumber(body)) return true;
    std::optional<std::string> problem = addressTextProblem(attribute->value, form, evaluate_);
    return problem && problem->empty();
  };
  const AddressForm sizeForm =
      kind == ElementKind::RegisterGroup ? AddressForm::Size32 : AddressForm::PlainNumber;
  return passes(size, sizeForm) && passes(start, AddressForm::Start);
}

}  // namespace vozo
