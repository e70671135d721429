#pragma once
// The character encoding an HTML text declares for itself.

#include <optional>
#include <string>
#include <string_view>

namespace dwin::text {

// The label of the first <meta charset="..."> or <meta http-equiv="Content-Type"
// content="...; charset=..."> within the first 1024 bytes, in lower case; no value when there is
// none or the label holds anything but letters, digits and "-_.:".
std::optional<std::string> declaredCharset(std::string_view html);

// True for the labels that name UTF-8 ("utf-8", "utf8", "unicode-1-1-utf-8").
bool isUtf8Label(std::string_view label);

} // namespace dwin::text
