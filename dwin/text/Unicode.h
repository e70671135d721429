#pragma once
// Unicode character properties and case mapping of UTF-8 text, the same in every locale.
// Bytes that are no well-formed UTF-8 are kept as they are and never raise.

#include <cstddef>
#include <string>
#include <string_view>

namespace dwin::text::Unicode {

// The full lower-case mapping of every character ("MÜNCHEN" gives "münchen", a final "Σ"
// gives "ς"); ill-formed bytes stay unchanged.
std::string toLower(std::string_view utf8);

// The number of characters (code points); each ill-formed sequence counts as one.
std::size_t length(std::string_view utf8);

// A decimal digit of any script (general category Nd): "7", "٣", "３".
bool isDecimalDigit(char32_t c);

} // namespace dwin::text::Unicode
