#pragma once
// Checks of single attribute values against the form their attribute takes.
// Each reports at the element, quoting the attribute as written, what it was
// taken for, and what was expected.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "check/check_context.h"
#include "memory/memory_map_element.h"

namespace vozo {

// How the tool reads an address or size text.
enum class AddressForm {
  Start,       // expression; a leading "+" adds the enclosing base
  Size32,      // expression; the low 32 bits are kept
  PlainNumber  // C number with automatic base, read up to the first character that does not fit
};
void checkAddressText(CheckContext& context, const MemoryMapElement& element,
                      std::string_view attribute, std::string_view text, AddressForm form);

// What checkAddressText reports after the subject ("" when nothing), with
// `evaluate` giving the evaluation of a text when one is needed (evaluateOnce
// there). When `evaluate` gives none, neither does this.
using TextEvaluator = std::function<const Evaluation*(std::string_view text)>;
std::optional<std::string> addressTextProblem(std::string_view text, AddressForm form,
                                              const TextEvaluator& evaluate);

// `text` without the blanks (spaces, tabs, line ends) at either end.
std::string_view trimmed(std::string_view text);

// The value of an evaluation that gives a whole number, not negative, with
// nothing left unread; none otherwise.
std::optional<uint64_t> wholeNumberOf(const Evaluation& evaluation);

// A decimal `start` or `size` that is not a multiple of 1 KiB while the same
// digits read as hex are ("30000000" written for 0x30000000).
void checkDecimalMeantAsHex(CheckContext& context, const MemoryMapElement& element,
                            std::string_view attribute, std::string_view text);

// A section size: a number with an optional K or M suffix, a symbol given
// with -symbols, an expression, or a text using $(SEGMENT_SIZE_REMAINING).
void checkSectionSize(CheckContext& context, const MemoryMapElement& element,
                      std::string_view text);

// `alignment`: a C number that is a power of two.
void checkAlignment(CheckContext& context, const MemoryMapElement& element, std::string_view text);

// Yes or No in any case; `whenNo` says what "No" means for this attribute.
void checkYesNo(CheckContext& context, const MemoryMapElement& element,
                std::string_view attribute, std::string_view text, std::string_view whenNo);

// `access` of a segment: ReadOnly, ReadWrite, WriteOnly or None.
void checkAccess(CheckContext& context, const MemoryMapElement& element, std::string_view text);

// A value written into the script as a name: the element's `name` (spaces
// become "_") or a symbol attribute such as `address_symbol`.
void checkScriptName(CheckContext& context, const MemoryMapElement& element,
                     std::string_view attribute, std::string_view value);

// What names and symbols may hold, for messages.
extern const char* const kNameRule;
extern const char* const kSymbolRule;
// A character as messages quote it: "\";\"", or "byte 0x09" for a control
// character.
std::string shownCharacter(char c);

// The first character that cannot stand in a script name, or 0. Spaces are
// allowed when `spacesReplaced`.
char firstBadNameCharacter(std::string_view name, bool spacesReplaced);

// A number as messages show it: decimal below 10, else "0x" and hex digits.
std::string shownNumber(uint64_t value);

}  // namespace vozo
