#pragma once
// Entity and character references of XML text ("&lt;", "&#65;", "&#x41;")
// and the in-place rewrite that replaces them by the bytes they stand for.

#include <cstddef>
#include <string_view>

namespace vozo {

// The byte that the reference between "&" and ";" stands for; false when it
// is not one the parser knows. A character reference keeps the low byte of
// its value (which wraps in 32 bits); digits are 0-9 and then 'a'-'z' for
// 10-35, and every other character counts as 0.
bool decodeReference(std::string_view reference, char& out);

// Rewrites [begin, end) where it stands: each known reference becomes its
// byte, and with `removeCarriageReturns` the literal carriage returns are
// dropped (a "&#13;" reference still gives one). A reference yielding a zero
// byte ends the text. Returns the decoded length, which never exceeds the
// input's.
size_t decodeReferencesInPlace(char* begin, char* end, bool removeCarriageReturns);

}  // namespace vozo
