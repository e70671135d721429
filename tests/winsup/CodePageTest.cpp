// Code-page conversions through iconv.
#include "dwin/core/Exception.h"
#include "dwin/sys/win32/CodePage.h"

#include <gtest/gtest.h>

namespace CodePage = dwin::sys::win32::CodePage;
using dwin::core::IllegalArgumentException;

namespace {

TEST(CodePage, Windows1252)
{
    EXPECT_EQ(CodePage::convert("a\xC3\xA4\xE2\x82\xAC", 1252), "a\xE4\x80");
    EXPECT_EQ(CodePage::toUtf8("a\xE4\x80", 1252), "a\xC3\xA4\xE2\x82\xAC");
}

TEST(CodePage, SystemAnsiPageIs1252)
{
    EXPECT_EQ(CodePage::convert("\xC3\xA9t\xC3\xA9", 0), "\xE9t\xE9");
    EXPECT_EQ(CodePage::iconvName(0), "CP1252");
}

TEST(CodePage, Utf8PageKeepsTheBytes)
{
    const std::string text = "x\xC3\xA4\xF0\x9D\x84\x9E";
    EXPECT_EQ(CodePage::convert(text, 65001), text);
}

TEST(CodePage, EmptyTextGivesEmptyResult)
{
    EXPECT_EQ(CodePage::convert("", 1252), "");
    EXPECT_EQ(CodePage::convert("", 99999), "");
}

TEST(CodePage, UnmappableCharacterBecomesDefaultCharacter)
{
    // U+4E2D and U+1D11E have no place in Windows-1252.
    EXPECT_EQ(CodePage::convert("a\xE4\xB8\xAD"
                                "b\xF0\x9D\x84\x9E"
                                "c",
                                1252),
              "a?b?c");
}

TEST(CodePage, UnknownCodePageThrows)
{
    try {
        CodePage::convert("abc", 99999);
        FAIL() << "no exception";
    } catch (const IllegalArgumentException& e) {
        EXPECT_EQ(std::string(e.what()).rfind("CodePage.convert :: ", 0), 0u) << e.what();
        EXPECT_GT(std::string(e.what()).size(), std::string("CodePage.convert :: ").size());
    }
    EXPECT_THROW(CodePage::toUtf8("abc", 99999), IllegalArgumentException);
}

TEST(CodePage, MalformedUtf8Throws)
{
    EXPECT_THROW(CodePage::convert("ab\xC3", 1252), IllegalArgumentException);
    EXPECT_THROW(CodePage::convert("\xFF", 65001), IllegalArgumentException);
}

TEST(CodePage, MalformedPageBytesThrow)
{
    // 0x81 is not a character in Shift-JIS on its own at the end of the text.
    EXPECT_THROW(CodePage::toUtf8("a\x81", 932), IllegalArgumentException);
}

TEST(CodePage, MultiBytePage)
{
    // U+3042 HIRAGANA LETTER A in Shift-JIS.
    EXPECT_EQ(CodePage::convert("\xE3\x81\x82", 932), "\x82\xA0");
    EXPECT_EQ(CodePage::toUtf8("\x82\xA0", 932), "\xE3\x81\x82");
}

TEST(CodePage, StatefulPageIsFlushed)
{
    // UTF-7 closes its base64 run only when the converter is flushed.
    EXPECT_EQ(CodePage::convert("\xC3\xA4", 65000), "+AOQ-");
}

TEST(CodePage, LongTextCrossesTheWorkBuffer)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "\xC3\xA4";
    const std::string bytes = CodePage::convert(text, 1252);
    EXPECT_EQ(bytes, std::string(5000, '\xE4'));
    EXPECT_EQ(CodePage::toUtf8(bytes, 1252), text);
}

TEST(CodePage, IconvNames)
{
    EXPECT_EQ(CodePage::iconvName(65001), "UTF-8");
    EXPECT_EQ(CodePage::iconvName(28591), "ISO-8859-1");
    EXPECT_EQ(CodePage::iconvName(28605), "ISO-8859-15");
    EXPECT_EQ(CodePage::iconvName(1251), "CP1251");
}

} // namespace
