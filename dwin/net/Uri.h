#pragma once
// Encoding of a text as a value in the query of a URL: blank to "+", the kept characters
// [0-9A-Za-z] and ";/?:@&=+$,-.!~*'()" unchanged, every other byte as %XX (upper case).

#include <cstdint>
#include <string>
#include <string_view>

namespace dwin::net::Uri {

// Encodes the UTF-8 bytes of `text`.
std::string encode(std::string_view text);

// Encodes the bytes of `text` converted to Windows code page `codePage` (65001: UTF-8 as is).
// Throws dwin::core::IllegalArgumentException when the conversion fails.
std::string encode(std::string_view text, std::uint32_t codePage);

} // namespace dwin::net::Uri
