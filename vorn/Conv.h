#pragma once
// Strict text-to-number conversion for numbers read from service replies.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vorn {

// A text that is not a number of the wanted type (malformed or out of range).
class ConvException : public std::runtime_error {
public:
    explicit ConvException(const std::string& msg) : std::runtime_error(msg) {}
};

// The whole text as a signed 32-bit decimal number: an optional sign, then digits only.
// Throws ConvException ("Could not convert `text` from type string to type int") otherwise.
std::int32_t toInt32(std::string_view text);

} // namespace vorn
