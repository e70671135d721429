#pragma once
// The text of an XML element as the document means it: its references replaced.

#include <string>
#include <string_view>

namespace vorn::net {

// The text with the five predefined entities (&amp; &lt; &gt; &quot; &apos;) and the character
// references (&#N; &#xN;) replaced by their characters, in UTF-8. A reference to a character
// that XML does not allow (NUL and the other controls but tab, line feed and carriage return,
// a surrogate, U+FFFE, U+FFFF, anything above U+10FFFF) and anything else that starts with "&"
// (an unknown name, no ";") is kept as written, so nothing invalid is ever put in. Linear in
// the length of the text; throws nothing but std::bad_alloc.
std::string decodeXmlText(std::string_view text);

} // namespace vorn::net
