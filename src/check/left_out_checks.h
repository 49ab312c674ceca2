#pragma once
// The element checks of register content that the memory map leaves out of
// its tree (memory/register_filter.h): each descendant is judged as it is
// read, and only one with nothing to report may be left out. Its texts are
// evaluated as the checks of the tree evaluate them (evaluateOnce).

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "check/check_context.h"
#include "check/value_checks.h"
#include "memory/register_filter.h"

namespace vozo {

class LeftOutRegisterChecks : public LeftOutContentCheck {
 public:
  explicit LeftOutRegisterChecks(CheckContext& context)
      : evaluate_([&context](std::string_view text) { return &evaluateOnce(context, text); }) {}

  bool accept(ElementKind kind, std::string_view tagName, std::span<const XMLAttribute> attributes,
              bool namesAsBefore) override;

 private:
  // What the names of the last element of a kind that passed showed:
  // whether its kind is checked, and where its start and size stood (-1:
  // not there).
  struct NamePlaces {
    bool checked = false;
    int start = -1;
    int size = -1;
  };

  const TextEvaluator evaluate_;
  std::array<NamePlaces, static_cast<size_t>(ElementKind::Other) + 1> places_;
};

}  // namespace vozo
