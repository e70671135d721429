#pragma once
// The string scrambler for the few built-in texts stored scrambled. A small reversible byte
// routine: unscramble(scramble(x)) == x, and both keep the length.

#include <string>
#include <string_view>

namespace vorn::Crypt {

std::string scramble(std::string_view plain);
std::string unscramble(std::string_view scrambled);

} // namespace vorn::Crypt
