#pragma once
// The text of an XML file without an XML parser: its bytes decoded to UTF-8 and the escapes of its
// character data. No DTD is read and no entity but the five predefined ones is known, so nothing
// outside the given text is ever looked at.

#include <string>
#include <string_view>

namespace dwin::text::xml {

// The document's bytes as UTF-8, its byte-order mark left out. The encoding is the one the
// byte-order mark gives (UTF-8, UTF-16 or UTF-32, little or big endian); else UTF-16 when the
// text opens with "<?" in it; else the one the XML declaration names (any iconv knows, in the
// spelling the declaration may use; ISO-8859-1 and US-ASCII are read as Windows-1252, as browsers
// read them, since files so declared are mostly written so); else UTF-8. Text taken as UTF-8
// keeps its well-formed sequences and reads each byte that starts none as Windows-1252
// (CodePage::utf8OrWindows1252ToUtf8), so it always reads. Throws dwin::core::TextException
// whose msg() is the reason when the document cannot be read so: "encoding <name> not
// supported", "not valid <name>: <what is wrong, where>", "not written in its declared encoding
// <name>".
std::string decodeDocument(std::string_view bytes);

// The text with the predefined escapes (&amp; &lt; &gt; &quot; &apos;) and the character
// references (&#N; &#xN;) replaced by their characters. Any other "&" (another entity, a
// reference to no character XML allows) stays as it stands.
std::string decodeEscapes(std::string_view text);

// The character data between an element's tags as it stands in the file: CDATA sections give
// their text as it is, the rest decodeEscapes.
std::string decodeContent(std::string_view text);

} // namespace dwin::text::xml
