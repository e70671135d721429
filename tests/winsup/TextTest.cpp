// UTF-8, UTF-16 and UTF-32 conversions; the encoding an HTML text declares; XML text.
#include "dwin/core/Exception.h"
#include "dwin/sys/win32/CodePage.h"
#include "dwin/text/HtmlCharset.h"
#include "dwin/text/XmlText.h"
#include "dwin/text/convert/Utf.h"

#include <gtest/gtest.h>

namespace Utf = dwin::text::convert::Utf;
namespace CodePage = dwin::sys::win32::CodePage;
using dwin::core::UtfException;

namespace {

const std::string aUmlaut = "\xC3\xA4"; // U+00E4
const std::string gClef = "\xF0\x9D\x84\x9E"; // U+1D11E
const std::string euro = "\xE2\x82\xAC"; // U+20AC

TEST(Utf, AUmlautIsOneUtf16Unit)
{
    EXPECT_EQ(Utf::toString16(aUmlaut), std::u16string(1, u'\u00E4'));
    EXPECT_EQ(Utf::toString32(aUmlaut), std::u32string(1, U'\u00E4'));
    EXPECT_EQ(Utf::toString(std::u16string(1, u'\u00E4')), aUmlaut);
}

TEST(Utf, CharacterAboveFFFFIsSurrogatePair)
{
    const std::u16string units = Utf::toString16(gClef);
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0], 0xD834);
    EXPECT_EQ(units[1], 0xDD1E);
    const std::u32string points = Utf::toString32(gClef);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0], U'\U0001D11E');
    EXPECT_EQ(Utf::toString(units), gClef);
    EXPECT_EQ(Utf::toString(points), gClef);
}

TEST(Utf, RoundTripOfMixedText)
{
    const std::string text = "A" + aUmlaut + "b" + euro + gClef + std::string("\0z", 2) + "\x7F";
    EXPECT_EQ(Utf::toString(Utf::toString16(text)), text);
    EXPECT_EQ(Utf::toString(Utf::toString32(text)), text);
    EXPECT_EQ(Utf::toString16(text).size(), 9u);
    EXPECT_EQ(Utf::toString32(text).size(), 8u);
}

TEST(Utf, BoundariesOfEachSequenceLength)
{
    const std::u32string points = {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF};
    const std::string text = Utf::toString(points);
    EXPECT_EQ(text, "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Utf::toString32(text), points);
}

TEST(Utf, EmptyInputGivesEmptyResult)
{
    EXPECT_TRUE(Utf::toString16("").empty());
    EXPECT_TRUE(Utf::toString32("").empty());
    EXPECT_TRUE(Utf::toString(std::u16string()).empty());
}

TEST(Utf, ZeroTerminatedStopsAtFirstZero)
{
    const char16_t units[] = {u'a', 0x00E4, 0, u'x', u'y', 0};
    EXPECT_EQ(Utf::toString(units), "a" + aUmlaut);
    const char16_t* none = nullptr;
    EXPECT_EQ(Utf::toString(none), "");
}

struct Malformed {
    const char* name;
    std::string bytes;
};

class MalformedUtf8 : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedUtf8, Throws)
{
    EXPECT_THROW(Utf::toString16(GetParam().bytes), UtfException);
    EXPECT_THROW(Utf::toString32(GetParam().bytes), UtfException);
    EXPECT_THROW(CodePage::toUtf16z(GetParam().bytes), UtfException);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, MalformedUtf8,
    testing::Values(Malformed{"LoneContinuation", "a\x80"}, Malformed{"TruncatedTwo", "a\xC3"},
                    Malformed{"TruncatedFour", "\xF0\x9D\x84"},
                    Malformed{"BadContinuation", "\xE2\x28\xA1"}, Malformed{"Overlong", "\xC0\xAF"},
                    Malformed{"OverlongThree", "\xE0\x80\xAF"},
                    Malformed{"Surrogate", "\xED\xA0\x80"},
                    Malformed{"AboveMax", "\xF4\x90\x80\x80"}, Malformed{"InvalidLead", "\xFF"}),
    [](const auto& info) { return info.param.name; });

TEST(Utf, MalformedOffsetPointsAtTheBadSequence)
{
    try {
        Utf::toString16("abc\xC3");
        FAIL() << "no exception";
    } catch (const UtfException& e) {
        EXPECT_EQ(e.offset(), 3u);
        EXPECT_NE(std::string(e.what()).find("incomplete"), std::string::npos);
    }
}

TEST(Utf, UnpairedSurrogatesThrow)
{
    EXPECT_THROW(Utf::toString(std::u16string{0xD834}), UtfException);
    EXPECT_THROW(Utf::toString(std::u16string{0xD834, u'a'}), UtfException);
    EXPECT_THROW(Utf::toString(std::u16string{0xDD1E, 0xD834}), UtfException);
    EXPECT_THROW(Utf::toString(std::u32string{0x110000}), UtfException);
    EXPECT_THROW(Utf::toString(std::u32string{0xDC00}), UtfException);
}

TEST(Utf16z, EmptyTextIsAbsent)
{
    const std::u16string units = CodePage::toUtf16z("");
    EXPECT_EQ(CodePage::nullIfEmpty(units), nullptr);
}

TEST(Utf16z, IsZeroTerminated)
{
    const std::u16string units = CodePage::toUtf16z("x" + aUmlaut);
    const char16_t* p = CodePage::nullIfEmpty(units);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], u'x');
    EXPECT_EQ(p[1], 0x00E4);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(Utf::toString(p), "x" + aUmlaut);
}

TEST(Utf16z, TrailingZeroIsNotDoubled)
{
    const std::u16string units = CodePage::toUtf16z(std::string("ab\0", 3));
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[2], 0);
    EXPECT_EQ(Utf::toString(CodePage::nullIfEmpty(units)), "ab");
}

} // namespace

TEST(HtmlCharset, DeclarationsInTheFirst1024Bytes)
{
    using dwin::text::declaredCharset;
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"<html><head><meta charset=\"UTF-8\"><title>x</title>", "utf-8"},
        {"<meta charset=utf8>", "utf8"},
        {"<meta charset='windows-1252' />", "windows-1252"},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-2\">",
         "iso-8859-2"},
        {"<meta name=\"x\"><meta content=\"text/html;charset = utf-8\" "
         "http-equiv=\"content-type\">",
         "utf-8"},
        {"<html><head><title>charset=utf-8</title></head>", std::nullopt},
        {"<metadata charset=utf-8>", std::nullopt},
        {"<meta charset=\"utf-8;text/html\"x\">", "utf-8"},
        {"<meta charset=\"utf-8<script>\">", std::nullopt},
        {std::string(1024, ' ') + "<meta charset=utf-8>", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [html, label] : cases)
        EXPECT_EQ(declaredCharset(html), label) << html;
    EXPECT_TRUE(dwin::text::isUtf8Label("UTF-8"));
    EXPECT_TRUE(dwin::text::isUtf8Label("utf8"));
    EXPECT_FALSE(dwin::text::isUtf8Label("utf-16"));
}

TEST(XmlText, DecodedAsTheFileSaysOrTheReason)
{
    using namespace std::string_literals;
    const std::string decl = "<?xml version=\"1.0\" encoding=";
    const std::pair<std::string, std::string> cases[] = {
        {"\xEF\xBB\xBF<a>\xC3\xA9</a>", "<a>\xC3\xA9</a>"},
        {"\xFE\xFF\0<\0a\0>\x20\xAC"s, "<a>\xE2\x82\xAC"},
        {"\xFF\xFE\0\0<\0\0\0\x1E\xD1\x01\0"s, "<\xF0\x9D\x84\x9E"},
        {"<\0?\0x\0"s, "<?x"},
        {decl + "'Shift_JIS'?>\x82\xA0", decl + "'Shift_JIS'?>\xE3\x81\x82"},
        {decl + "\"iso-8859-1\"?>\x93\xE9\x81",
         decl + "\"iso-8859-1\"?>\xE2\x80\x9C\xC3\xA9\xC2\x81"},
        {"<?xml version=\"1.0\"?><a>\x80</a>", "<?xml version=\"1.0\"?><a>\xE2\x82\xAC</a>"},
        {decl + "\"IBM037\"?><a/>", "!not written in its declared encoding IBM037"},
        {decl + "\"UTF-8//IGNORE\"?>", "!encoding UTF-8//IGNORE not supported"},
        {"\xFF\xFE<\0a"s, "!not valid UTF-16LE: invalid or incomplete character at byte 4"},
        // taken as UTF-8: well-formed sequences as they are, each stray byte as Windows-1252
        {decl + "\"UTF-8\"?><a>\xA9 A\xAE</a>", decl + "\"UTF-8\"?><a>\xC2\xA9 A\xC2\xAE</a>"},
        {decl + "'utf8'?>\xC3\xA9\xA9\xC3\xA9\xA9\xE2\x82\xAC",
         decl + "'utf8'?>\xC3\xA9\xC2\xA9\xC3\xA9\xC2\xA9\xE2\x82\xAC"},
        {"\xEF\xBB\xBF<a>\xE2\x82<\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80</a>\xC3",
         "<a>\xC3\xA2\xE2\x80\x9A<\xC3\x80\xC2\xAF\xC3\xAD\xC2\xA0\xE2\x82\xAC\xC3\xB4\xC2\x90"
         "\xE2\x82\xAC\xE2\x82\xAC</a>\xC3\x83"},
        {"<a>\x80\x81\x8D\x8F\x90\x9D\x9F\xF0\x9F\x98\x80</a>",
         "<a>\xE2\x82\xAC\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC5\xB8\xF0\x9F\x98\x80</a>"},
        {"<a>\xC3\xA9\xE9</a>", "<a>\xC3\xA9\xC3\xA9</a>"},
        // declared in another encoding: read in it alone
        {decl + "\"windows-1252\"?>\xC3\xA9", decl + "\"windows-1252\"?>\xC3\x83\xC2\xA9"},
        {"\xFF\xFE<\0\0\xDC>\0"s, "!not valid UTF-16LE: invalid or incomplete character at byte 4"},
    };
    for (const auto& [bytes, expected] : cases) {
        try {
            EXPECT_EQ(dwin::text::xml::decodeDocument(bytes), expected) << bytes;
        } catch (const dwin::core::TextException& e) {
            EXPECT_EQ("!" + e.msg(), expected) << bytes;
        }
    }
    EXPECT_EQ(dwin::text::xml::decodeEscapes("&amp;lt; &#x20AC;&#8364; &#xD800; &nbsp; &amp"),
              "&lt; \xE2\x82\xAC\xE2\x82\xAC &#xD800; &nbsp; &amp");
    EXPECT_EQ(dwin::text::xml::decodeContent("&lt;<![CDATA[&lt;]]>&gt;"), "<&lt;>");
}
