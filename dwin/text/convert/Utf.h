#pragma once
// Conversions between UTF-8 (std::string), UTF-16 (std::u16string) and UTF-32 (std::u32string).
// Malformed input (invalid or incomplete UTF-8, an unpaired surrogate, a code point above
// U+10FFFF or a surrogate code point) throws dwin::core::UtfException; nothing is returned.

#include <string>
#include <string_view>

namespace dwin::text::convert::Utf {

// UTF-16 to UTF-8; surrogate pairs are joined.
std::string toString(std::u16string_view text);
// Zero-terminated UTF-16 to UTF-8: the units before the first zero unit; null gives "".
std::string toString(const char16_t* zeroTerminated);
// UTF-32 to UTF-8.
std::string toString(std::u32string_view text);

// UTF-8 to UTF-16; code points above U+FFFF become surrogate pairs.
std::u16string toString16(std::string_view text);
// UTF-8 to UTF-32.
std::u32string toString32(std::string_view text);

// The length in bytes of the well-formed UTF-8 sequence the text opens with: 0 when it opens
// with a byte that starts none (or is empty). Never throws.
std::size_t sequenceLength(std::string_view text) noexcept;

} // namespace dwin::text::convert::Utf
