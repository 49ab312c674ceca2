#pragma once
// The element checks of register content that the memory map leaves out of
// its tree (memory/register_filter.h): each descendant is judged as it is
// read, and only one with nothing to report may be left out.
//
// The checks' evaluation store must fill as it would with the whole tree,
// text by text in document order, because what it holds decides which
// failing texts are counted again (the bound on failures). So a judgement
// reads the store but never adds to it: it keeps the texts it evaluated and
// replays them into the store when the holding element is checked, where
// the whole tree would have checked them.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "check/check_context.h"
#include "check/value_checks.h"
#include "memory/register_filter.h"

namespace vozo {

class LeftOutRegisterChecks : public LeftOutContentCheck {
 public:
  explicit LeftOutRegisterChecks(CheckContext& context)
      : context_(context),
        evaluate_([this](std::string_view text) { return evaluateForTrial(text); }) {}

  void restart() override { pending_.clear(); }
  bool accept(ElementKind kind, std::string_view tagName,
              std::span<const XMLAttribute> attributes, bool namesAsBefore) override;
  void leftOut(const MemoryMapElement& holder) override;

  // Called right after `element` itself is checked: puts the texts of its
  // left-out content into the store.
  void replay(const MemoryMapElement& element);

 private:
  // The evaluation of a text that evaluates, from the store or a trial of
  // its own; null for one that does not. Notes the text for the replay.
  const Evaluation* evaluateForTrial(std::string_view text);

  // What the names of the last element of a kind that passed showed:
  // whether its kind is checked, and where its start and size stood (-1:
  // not there).
  struct NamePlaces {
    bool checked = false;
    int start = -1;
    int size = -1;
  };

  CheckContext& context_;
  const TextEvaluator evaluate_;
  std::array<NamePlaces, static_cast<size_t>(ElementKind::Other) + 1> places_;
  std::vector<std::string_view> pending_;
  std::unordered_map<const MemoryMapElement*, std::vector<std::string_view>> byHolder_;
  // Trial results, as many as the store keeps: a register map repeats its
  // offsets in every group.
  std::unordered_map<std::string, Evaluation, CheckContext::TextHash, std::equal_to<>> trials_;
  Evaluation lastTrial_;
};

}  // namespace vozo
