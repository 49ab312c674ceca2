#include "linkscript/gnu_ld_fixed_size.h"

#include <cstdio>

namespace vozo {

namespace {

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// The whole text as one unsigned 32-bit C number; none on any other
// character, no digits, or a value above 32 bits.
std::optional<uint32_t> parseUnsigned32(std::string_view text) {
  uint32_t base = 10;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.size() >= 2 && text[0] == '0') {
    base = 8;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    int digit = digitValue(c);
    if (digit >= static_cast<int>(base)) return std::nullopt;
    value = value * base + static_cast<uint64_t>(digit);
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

std::optional<uint32_t> fixedSizeOf(const SectionRecord& record,
                                    const std::map<std::string, std::string>& symbols) {
  std::optional<std::string_view> size = record.element->sizeText();
  if (!size || size->empty()) return std::nullopt;
  return parseFixedSize(*size, symbols);
}

}  // namespace

std::optional<uint32_t> parseFixedSize(std::string_view sizeText,
                                       const std::map<std::string, std::string>& symbols) {
  auto symbol = symbols.find(std::string(sizeText));
  if (symbol != symbols.end()) sizeText = symbol->second;
  sizeText = trimBlanks(sizeText);
  uint32_t multiplier = 1;
  if (!sizeText.empty()) {
    char last = sizeText.back();
    if (last == 'K' || last == 'k') multiplier = 1024;
    if (last == 'M' || last == 'm') multiplier = 1048576;
    if (multiplier != 1) sizeText = trimBlanks(sizeText.substr(0, sizeText.size() - 1));
  }
  std::optional<uint32_t> number = parseUnsigned32(sizeText);
  if (!number) return std::nullopt;
  return static_cast<uint32_t>(*number * multiplier);
}

std::vector<UnplacedAtSegmentEnd> markPlacedFromSegmentEnd(
    const std::vector<SectionRecord*>& records, const std::map<std::string, std::string>& symbols,
    std::FILE* warnings) {
  std::vector<UnplacedAtSegmentEnd> unplaced;
  for (SectionRecord* last : records) {
    if (!last->lastInSegment) continue;
    uint32_t offset = 0;
    SectionRecord* chosen = nullptr;
    uint32_t chosenOffset = 0;
    SectionRecord* unsized = nullptr;
    for (SectionRecord* x = last; x; x = x->previous) {
      std::optional<uint32_t> size = fixedSizeOf(*x, symbols);
      if (!size) {
        unsized = x;
        break;
      }
      offset += *size;
      if (x->element->placeFromSegmentEnd()) {
        chosen = x;
        chosenOffset = offset;
      }
    }
    if (chosen) {
      chosen->placeFromSegmentEnd = true;
      chosen->segmentEndOffset = chosenOffset;
    }
    // Every marked section from the unsized one back stays in its place.
    bool warned = chosen != nullptr || warnings == nullptr;
    for (SectionRecord* y = unsized; y; y = y->previous) {
      if (!y->element->placeFromSegmentEnd()) continue;
      unplaced.push_back({y, unsized});
      if (warned || y == unsized) continue;
      std::fprintf(warnings,
                   "warning: cannot place section %s at end of segment because section %s does "
                   "not have a fixed size\n",
                   y->name.c_str(), unsized->name.c_str());
      warned = true;
    }
  }
  return unplaced;
}

}  // namespace vozo
