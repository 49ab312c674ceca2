#pragma once
// Evaluation of the `start` and `size` attributes of a memory description
// tree into the elements' numbers.
//
// What each element kind reads (see ElementKind):
//   - MemorySegment, ProgramSection, RegisterGroup: `start` is an expression,
//     a leading "+" adds the base handed down by the enclosing elements, and
//     the low 32 bits of the result become the base for the element's
//     children; `size` is an expression whose low 32 bits are kept (an
//     expression that does not evaluate leaves the size as it was);
//   - Register: `start` as above but the children keep the base received;
//     `size` is a plain unsigned C number (64 bits);
//   - BitField, Enum: a relative `start` is taken against 0; `size` as for
//     Register;
//   - Root, Processor, Vector and every other tag: nothing is read.
// A start text that is empty or does not evaluate counts as 0 (plus the base
// for the relative form). Nothing is reported.
//
// An element whose content was left out of the tree when it was read (see
// memory/register_filter.h) spends the expression text of that content,
// already evaluated then, right after its own evaluation.
//
// Children that are not elements (CDATA sections) are passed over and the
// walk goes on with the next sibling. The walk uses an explicit stack, so
// any nesting depth is fine.

#include <cstdint>
#include <functional>
#include <string_view>

#include "expr/simple_expression_parser.h"
#include "memory/memory_map_element.h"

namespace vozo {

// Evaluates every element of the subtree of `root` (which may be null), the
// root itself getting the base 0. `visit`, when set, is called for each
// element right after its own evaluation.
void evaluateAddresses(MemoryMapElement* root, SimpleExpressionParser& parser,
                       const std::function<void(const MemoryMapElement&)>& visit = {});

// The value of the commonest texts, a bare hexadecimal or decimal number,
// without the expression parser; false for every other text (octal, suffixes,
// signs, expressions, numbers too long to be sure of), which then needs the
// evaluator.
bool plainNumber(std::string_view text, uint64_t& value);

// The value of a start text against `base` (see above).
uint64_t startValue(std::string_view text, uint64_t base, SimpleExpressionParser& parser);

// The text that evaluating a `start` text, or the `size` text of an element
// whose size is an expression, hands to the expression parser: the whole
// text, or empty when it is empty or a plain number.
std::string_view evaluatedStartText(std::string_view text);
std::string_view evaluatedSizeText(std::string_view text);

}  // namespace vozo
