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

// White space of any script (the White_Space property): the ASCII blanks, U+0085, the no-break
// spaces U+00A0 and U+202F, U+1680, U+2000 to U+200A, U+2028, U+2029, U+205F and the
// ideographic space U+3000.
bool isWhiteSpace(char32_t c);
// The text without the white space at either end; ill-formed bytes are no white space.
std::string trim(std::string_view utf8);
// True when the text is empty or nothing but white space.
bool isBlank(std::string_view utf8);

} // namespace dwin::text::Unicode
