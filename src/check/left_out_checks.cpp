#include "check/left_out_checks.h"


#include <algorithm>

#include "check/value_checks.h"
#include "check/vocabulary.h"
#include "memory/memory_map_element.h"

namespace vozo {

const Evaluation* LeftOutRegisterChecks::evaluateForTrial(std::string_view text) {
  pending_.push_back(text);
  if (auto found = context_.evaluations.find(text); found != context_.evaluations.end()) {
    return &found->second;
  }
  if (auto found = trials_.find(text); found != trials_.end()) return &found->second;
  std::optional<Evaluation> evaluation = evaluateTextWithoutCounting(context_.parser, text);
  if (!evaluation) return nullptr;
  if (trials_.size() == CheckContext::kRememberedTexts) {
    lastTrial_ = std::move(*evaluation);
    return &lastTrial_;
  }
  return &trials_.emplace(text, std::move(*evaluation)).first->second;
}

bool LeftOutRegisterChecks::accept(ElementKind kind, std::string_view tagName,
                                   std::span<const XMLAttribute> attributes) {
  // What checkElement does with a register-like element in the tree, whose
  // attributes are sorted by name with one value each: "size" is checked
  // before "start".
  const NameTable* known = knownAttributes(kind, tagName);
  if (known == nullptr) return true;
  const XMLAttribute* start = nullptr;
  const XMLAttribute* size = nullptr;
  for (const XMLAttribute& attribute : attributes) {
    const size_t index = known->find(attribute.name);
    if (index == known->names().size()) return false;
    // A repeated name keeps its last value in the tree, where only that one
    // is evaluated; rare enough to leave to the tree.
    if (index == kStartIndex) {
      if (start != nullptr) return false;
      start = &attribute;
    } else if (index == kSizeIndex) {
      if (size != nullptr) return false;
      size = &attribute;
    }
  }
  auto passes = [this](const XMLAttribute* attribute, AddressForm form) {
    if (attribute == nullptr) return true;
    // The commonest texts, a short decimal number (after the "+" of a
    // start), pass in every form; no need for the full look.
    std::string_view body = attribute->value;
    if (form == AddressForm::Start && !body.empty() && body[0] == '+') body.remove_prefix(1);
    if (!body.empty() && body.size() <= 9 && (body[0] != '0' || body.size() == 1) &&
        std::all_of(body.begin(), body.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return true;
    }
    std::optional<std::string> problem = addressTextProblem(attribute->value, form, evaluate_);
    return problem && problem->empty();
  };
  const AddressForm sizeForm =
      kind == ElementKind::RegisterGroup ? AddressForm::Size32 : AddressForm::PlainNumber;
  return passes(size, sizeForm) && passes(start, AddressForm::Start);
}

void LeftOutRegisterChecks::leftOut(const MemoryMapElement& holder) {
  if (pending_.empty()) return;
  byHolder_[&holder] = std::move(pending_);
  pending_.clear();
}

void LeftOutRegisterChecks::replay(const MemoryMapElement& element) {
  if (byHolder_.empty()) return;
  auto found = byHolder_.find(&element);
  if (found == byHolder_.end()) return;
  for (std::string_view text : found->second) evaluateOnce(context_, text);
  byHolder_.erase(found);
}

}  // namespace vozo
