#pragma once
// Text at the boundary to UTF-16 calls and to Windows code pages (through iconv).
// Code page numbers: 65001 is UTF-8; 0 (the system's ANSI page) and 3 are Windows-1252;
// 1 (the OEM page) is 437; 1200/1201 UTF-16LE/BE, 20127 US-ASCII, 28591-28606 ISO-8859-n,
// 65000 UTF-7, 54936 GB18030, 20866 KOI8-R, 21866 KOI8-U, 51932 EUC-JP, 51949 EUC-KR;
// any other number n is iconv's "CPn".

#include <cstdint>
#include <string>
#include <string_view>

namespace dwin::sys::win32::CodePage {

// UTF-8 to UTF-16 for calls that want a zero-terminated string: c_str() of the result is that
// string. An empty result stands for the absent string (use nullIfEmpty for the pointer); a text
// ending in U+0000 keeps that zero as its last unit. Throws dwin::core::UtfException on
// malformed UTF-8.
std::u16string toUtf16z(std::string_view utf8);

// The pointer a call taking an optional zero-terminated string wants: null for an empty text.
inline const char16_t* nullIfEmpty(const std::u16string& text) noexcept
{
    return text.empty() ? nullptr : text.c_str();
}

// UTF-8 to the bytes of code page `codePage`. Characters the page cannot hold become '?'
// (the page's default character). An empty text gives "". Throws
// dwin::core::IllegalArgumentException "CodePage.convert :: <reason>" for malformed UTF-8 or
// an unknown code page.
std::string convert(std::string_view utf8, std::uint32_t codePage);

// The reverse: bytes in code page `codePage` to UTF-8. Same failures as convert().
std::string toUtf8(std::string_view bytes, std::uint32_t codePage);

// Bytes in the character set iconv knows as `charset` to UTF-8, all or nothing. Throws
// dwin::core::IllegalArgumentException ("CodePage.convert :: unsupported code page ...") for a
// set iconv does not know, and dwin::core::UtfException, whose offset() is that byte, for a
// byte that starts no character of the set.
std::string charsetToUtf8(std::string_view bytes, const std::string& charset);

// Windows-1252 to UTF-8 as Windows reads it: the five bytes the page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90 and 0x9D) become the control characters of the same number. Never throws
// but for an iconv without the page (IllegalArgumentException as above).
std::string windows1252ToUtf8(std::string_view bytes);

// Text taken as UTF-8 to UTF-8: each well-formed UTF-8 sequence stays as it is, and each byte
// that starts none (a stray 0xA9 typed in an ANSI editor, the first byte of a broken or cut
// sequence) is the Windows-1252 character it stands for, as windows1252ToUtf8 reads it (0xA9
// gives U+00A9, 0x81 the control character U+0081). Never throws but as windows1252ToUtf8.
std::string utf8OrWindows1252ToUtf8(std::string_view bytes);

// The iconv name used for `codePage`.
std::string iconvName(std::uint32_t codePage);

} // namespace dwin::sys::win32::CodePage
