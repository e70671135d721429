// Matchers: leftmost-first search, greedy and lazy repetition, byte classes, successive finds.
#include "dwin/text/scregexp.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

using dwin::text::scregexp::grouprec;
using dwin::text::scregexp::groupSlice;
using dwin::text::scregexp::screg;

namespace {

using TotalMatcher = screg<"totalResultsAvailable=\"([^\"]+)\"">;
using UrlMatcher = screg<"<Url>(.+?)</Url>">;
using CountMatcher = screg<"of (?:about )<b>([\\d,]+)</b> for">;
using LinkMatcher = screg<"href=.([^ ]+?). target=_blank class=l">;

template <class M>
std::vector<std::string> allGroups(const std::string& text)
{
    M m;
    std::vector<std::string> out;
    while (m.find(text))
        out.push_back(m.group(1));
    return out;
}

using V = std::vector<std::string>;

TEST(Scregexp, EmptyInputFinds_Nothing)
{
    UrlMatcher u;
    EXPECT_FALSE(u.find(""));
    LinkMatcher l;
    EXPECT_FALSE(l.find(""));
    EXPECT_EQ(u.getPosition(), 0u);
}

TEST(Scregexp, UrlIsLazyAndStaysOnOneLine)
{
    EXPECT_EQ(allGroups<UrlMatcher>("<Url>a</Url><Url>b</Url>"), (V{"a", "b"}));
    // A line feed inside an element: no match there; the next element still matches.
    EXPECT_EQ(allGroups<UrlMatcher>("<Url>x\ny</Url> <Url>z</Url>"), (V{"z"}));
    // A carriage return is an ordinary byte for ".".
    EXPECT_EQ(allGroups<UrlMatcher>("<Url>a\rb</Url>"), (V{"a\rb"}));
    // Needs at least one byte.
    EXPECT_EQ(allGroups<UrlMatcher>("<Url></Url>"), (V{}));
    // Lazy: the shortest text, even when it holds the opening marker again.
    EXPECT_EQ(allGroups<UrlMatcher>("<Url><Url>q</Url>"), (V{"<Url>q"}));
}

TEST(Scregexp, WholeMatchAndPositions)
{
    const std::string text = "xx<Url>abc</Url>yy<Url>d</Url>zz";
    UrlMatcher m;
    ASSERT_TRUE(m.find(text));
    EXPECT_EQ(m.group(0), "<Url>abc</Url>");
    EXPECT_EQ(m.getPosition(), 16u);
    ASSERT_TRUE(m.find(text));
    EXPECT_EQ(m.group(0), "<Url>d</Url>");
    EXPECT_FALSE(m.find(text));
    // A failed search leaves the position on the last start, so it keeps failing.
    EXPECT_EQ(m.getPosition(), text.size() - 1);
    EXPECT_FALSE(m.find(text));
    m.reset();
    ASSERT_TRUE(m.find(text));
    EXPECT_EQ(m.group(1), "abc");
}

TEST(Scregexp, SetPositionSkipsEarlierMatches)
{
    const std::string text = "<Url>a</Url><Url>b</Url>";
    UrlMatcher m;
    m.setPosition(1);
    ASSERT_TRUE(m.find(text));
    EXPECT_EQ(m.group(1), "b");
}

TEST(Scregexp, MatchAtMatchesOnlyAtThePosition)
{
    const std::string text = " <Url>a</Url>";
    UrlMatcher m;
    EXPECT_FALSE(m.find("zz")); // binds an input
    m.reset();
    ASSERT_TRUE(m.find(text));
    m.setPosition(0);
    EXPECT_FALSE(m.matchAt());
    EXPECT_EQ(m.getPosition(), 0u);
    m.setPosition(1);
    EXPECT_TRUE(m.matchAt());
    EXPECT_EQ(m.getPosition(), text.size());
    EXPECT_EQ(m.group(1), "a");
    m.setPosition(1000);
    EXPECT_FALSE(m.matchAt());
    EXPECT_FALSE(m.find(text));
}

TEST(Scregexp, TotalIsGreedyAndCrossesLineFeeds)
{
    EXPECT_EQ(allGroups<TotalMatcher>("<R totalResultsAvailable=\"5000\" x=\"1\">"), (V{"5000"}));
    EXPECT_EQ(allGroups<TotalMatcher>("totalResultsAvailable=\"a\nb\""), (V{"a\nb"}));
    EXPECT_EQ(allGroups<TotalMatcher>("totalResultsAvailable=\"\""), (V{}));
    EXPECT_EQ(allGroups<TotalMatcher>("totalResultsAvailable=\"12"), (V{}));
    EXPECT_EQ(allGroups<TotalMatcher>("totalResultsAvailable=\"1\" totalResultsAvailable=\"2\""),
              (V{"1", "2"}));
}

TEST(Scregexp, CountNeedsAboutAndTakesDigitsAndCommas)
{
    EXPECT_EQ(allGroups<CountMatcher>("Results 1 - 1 of about <b>1,234</b> for <b>x</b>"),
              (V{"1,234"}));
    EXPECT_EQ(allGroups<CountMatcher>("Results 1 - 1 of <b>1,234</b> for x"), (V{}));
    EXPECT_EQ(allGroups<CountMatcher>("of about <b>12a</b> for"), (V{}));
    EXPECT_EQ(allGroups<CountMatcher>("of about <b></b> for"), (V{}));
    // An earlier "of " that fails does not hide a later one.
    EXPECT_EQ(allGroups<CountMatcher>("of of about <b>0</b> for"), (V{"0"}));
}

TEST(Scregexp, LinkSkipsTargetsWithBlanks)
{
    const std::string good = "<a href=\"http://a.com/x\" target=_blank class=l>";
    const std::string blank = "<a href=\"http://b.com/a b\" target=_blank class=l>";
    EXPECT_EQ(allGroups<LinkMatcher>(good), (V{"http://a.com/x"}));
    EXPECT_EQ(allGroups<LinkMatcher>(blank), (V{}));
    EXPECT_EQ(allGroups<LinkMatcher>(blank + good), (V{"http://a.com/x"}));
    // Any one byte delimits, a line feed does not.
    EXPECT_EQ(allGroups<LinkMatcher>("href='q' target=_blank class=l"), (V{"q"}));
    EXPECT_EQ(allGroups<LinkMatcher>("href=\nq\n target=_blank class=l"), (V{}));
    // A negated class accepts a line feed.
    EXPECT_EQ(allGroups<LinkMatcher>("href=\"a\nb\" target=_blank class=l"), (V{"a\nb"}));
    // Other links of the page do not match.
    EXPECT_EQ(allGroups<LinkMatcher>("<a href=\"/x\" class=q>y</a>" + good), (V{"http://a.com/x"}));
}

TEST(Scregexp, BytesNotCharacters)
{
    // U+00E9 is two bytes; both are ordinary bytes for "." and for the classes.
    EXPECT_EQ(allGroups<UrlMatcher>("<Url>\xC3\xA9</Url>"), (V{"\xC3\xA9"}));
    UrlMatcher m;
    ASSERT_TRUE(m.find("\xC3\xA9<Url>z</Url>"));
    EXPECT_EQ(m.group(0), "<Url>z</Url>");
    EXPECT_EQ(m.getPosition(), 14u);
    // A NUL byte is just a byte.
    const std::string withNul("<Url>a\0b</Url>", 14);
    EXPECT_EQ(allGroups<UrlMatcher>(withNul), (V{std::string("a\0b", 3)}));
}

TEST(Scregexp, LongInputsNeitherRecurseNorCrawl)
{
    // A run of 8 MiB inside one element: the repetition loops rather than recursing.
    std::string huge = "<Url>" + std::string(8u << 20, 'x') + "</Url>";
    UrlMatcher m;
    ASSERT_TRUE(m.find(huge));
    EXPECT_EQ(m.group(1).size(), 8u << 20);

    // Many openers without a closer on one long line.
    std::string openers;
    for (int i = 0; i < 200000; ++i)
        openers += "<Url>abcdef";
    EXPECT_EQ(allGroups<UrlMatcher>(openers), (V{}));
    std::string links;
    for (int i = 0; i < 200000; ++i)
        links += "href=\"abc";
    EXPECT_EQ(allGroups<LinkMatcher>(links), (V{}));
    EXPECT_EQ(allGroups<LinkMatcher>(links + "\" target=_blank class=l").size(), 1u);
    // ... and the first closer after them still ends the right element.
    EXPECT_EQ(allGroups<UrlMatcher>(openers + "</Url>").size(), 1u);
}

// On short texts without carriage returns, std::regex has the same semantics: compare all matches
// of random texts built from fragments of the patterns.
template <class M>
void agreesWithStdRegex(const char* pattern, const std::vector<std::string>& pieces, unsigned seed)
{
    const std::regex re(pattern);
    std::mt19937 rng(seed);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = std::uniform_int_distribution<int>(0, 12)(rng);
        for (int i = 0; i < count; ++i)
            text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
        std::vector<std::string> expected;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), re);
             it != std::sregex_iterator(); ++it)
            expected.push_back((*it)[0].str() + "|" + (*it)[1].str());
        std::vector<std::string> got;
        M m;
        while (m.find(text))
            got.push_back(m.group(0) + "|" + m.group(1));
        ASSERT_EQ(got, expected) << "text: " << text;
    }
}

TEST(Scregexp, AgreesWithAReferenceEngineOnRandomTexts)
{
    agreesWithStdRegex<UrlMatcher>("<Url>(.+?)</Url>",
                                   {"<Url>", "</Url>", "a", "\n", "<", "/", "U"}, 1);
    agreesWithStdRegex<TotalMatcher>("totalResultsAvailable=\"([^\"]+)\"",
                                     {"totalResultsAvailable=\"", "\"", "7", "\n", "x"}, 2);
    agreesWithStdRegex<CountMatcher>("of (?:about )<b>([\\d,]+)</b> for",
                                     {"of ", "about ", "<b>", "</b> for", "1", ",", "x", " "}, 3);
    agreesWithStdRegex<LinkMatcher>("href=.([^ ]+?). target=_blank class=l",
                                    {"href=", "\"", " ", " target=_blank class=l", "a", "\n"}, 4);
}

TEST(Scregexp, GroupSliceOfUnsetOrOutOfRange)
{
    const std::string input = "abcdef";
    const grouprec caps[] = {{0, 6}, {2, 0xFFFFFFFF}, {4, 9}};
    EXPECT_EQ(groupSlice(0, caps, input), "abcdef");
    EXPECT_EQ(groupSlice(1, caps, input), "");
    EXPECT_EQ(groupSlice(2, caps, input), "");
    EXPECT_EQ(groupSlice(3, caps, input), "");
    UrlMatcher fresh;
    EXPECT_EQ(fresh.group(0), "");
    EXPECT_EQ(fresh.group(1), "");
}

} // namespace
