// The application functions: addresses, values, time text, widths, and the submit page as the
// menus see it.
#include "dwin/net/Services.h"
#include "qmk/Base.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"
#include "qmk/tab/TableView.h"
#include "window/Fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <algorithm>
#include <regex>

namespace qmk {
namespace {

struct UrlCase {
    const char* text;
    bool hostOnly;
    const char* expected;
};

TEST(NormalizeUrl, DropsSchemeWwwAndLoneTrailingSlash)
{
    const UrlCase cases[] = {
        {"HTTP://WWW.Example.COM/", false, "example.com"},
        {"https://www.example.com/a/", false, "example.com/a/"},
        {"www.example.com/download/", true, "example.com"},
        {"Example.com", false, "example.com"},
        {"http://https://www.x.org", false, "x.org"},
        {"www.www.x.org", false, "www.x.org"},
        {"", false, ""},
        {"/", false, ""},
        {"x.org/a", true, "x.org"},
    };
    for (const UrlCase& c : cases)
        EXPECT_EQ(normalizeUrl(c.text, c.hostOnly), c.expected) << c.text;
}

TEST(PageUrl, AddsWwwOnlyToBareTwoPartDomains)
{
    EXPECT_EQ(pageUrl("example.com/", true), "http://www.example.com");
    EXPECT_EQ(pageUrl("example.com/a", true), "http://www.example.com/a");
    EXPECT_EQ(pageUrl("example.com", false), "http://example.com");
    EXPECT_EQ(pageUrl("www.example.com", true), "http://www.example.com");
    EXPECT_EQ(pageUrl("download.example.com", true), "http://download.example.com");
    EXPECT_EQ(pageUrl("www.download.example.com", true), "http://download.example.com");
}

TEST(NormalizeRecordUrl, WritesBackOnlyAChangeOfLength)
{
    tab::Software product;
    product.set("home", "Example.com");
    EXPECT_FALSE(normalizeRecordUrl(product));
    EXPECT_EQ(product.get("home"), "Example.com");
    product.set("home", "http://www.example.com/");
    product.set("id", "http://not.touched/");
    EXPECT_TRUE(normalizeRecordUrl(product));
    EXPECT_EQ(product.get("home"), "example.com");
    EXPECT_EQ(product.get("id"), "http://not.touched/");

    tab::Shareware_Site site;
    site.set("id", "https://www.Site.org/files/list.html");
    EXPECT_TRUE(normalizeRecordUrl(site));
    EXPECT_EQ(site.get("id"), "site.org");
}

TEST(FixSiteUrl, DecodesOnlyAddressesOfTheDownloadSite)
{
    const std::string domain = dwin::net::downloadSiteDomain();
    const std::string pasted =
        "https://" + domain + "/category.php%5Bid%5D[cid]42[SiteID]" + domain;
    EXPECT_EQ(fixSiteUrl(pasted), "https://" + domain + "/category.php[id][cid]42");
    EXPECT_EQ(fixSiteUrl("https://other.example/a%5Bb%5D"), "https://other.example/a%5Bb%5D");
}

TEST(IsUsableValue, PlaceholdersAndEmptyAreNotUsable)
{
    EXPECT_FALSE(isUsableValue(""));
    EXPECT_FALSE(isUsableValue("[Enter id]"));
    EXPECT_FALSE(isUsableValue(std::optional<std::string>()));
    EXPECT_TRUE(isUsableValue("a[b]"));
    EXPECT_TRUE(isUsableValue(std::string(" ")));
}

TEST(FormatTime, SortableLocalTime)
{
    std::tm local{};
    local.tm_year = 2008 - 1900;
    local.tm_mon = 8;
    local.tm_mday = 17;
    local.tm_hour = 14;
    local.tm_min = 5;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    EXPECT_EQ(formatTime(std::mktime(&local)), "2008-09-17T14:05:09");
    EXPECT_TRUE(std::regex_match(nowText(), std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)")));
}

TEST(ColumnWidth, KnownColumnsAndTheRest)
{
    EXPECT_EQ(columnWidth("id"), 150);
    EXPECT_EQ(columnWidth("pr"), 30);
    EXPECT_EQ(columnWidth("home"), 250);
    EXPECT_EQ(columnWidth("notes"), 0);
    EXPECT_EQ(columnWidth("listed_url"), 150);
    EXPECT_EQ(columnWidth("sub_to"), 150);
    EXPECT_EQ(columnWidth("backlink"), 65);
}

TEST(IsDigits, DecimalDigitsOfEveryScript)
{
    const std::pair<const char*, bool> cases[] = {
        {"", false},       {"0042", true},          {"\u0663", true}, // Arabic-Indic three
        {"\uFF13", true},  {"1\u0663\uFF14", true}, {"12a", false},
        {"\u00B2", false}, {"\u2163", false}, // superscript two, Roman numeral four
        {"1\xFF", false},  {"\xD9", false}, // no UTF-8
    };
    for (const auto& [text, digits] : cases)
        EXPECT_EQ(isDigits(text), digits) << text;
    EXPECT_EQ(getSimtelCid("https://dl.example/list[cid]\u0663\u0664"), "\u0663\u0664");
}

// "Open Submit Page" needs a submit page beginning with "http" of more than 10 characters.
class SubmitPage : public test::WindowTest {};

TEST_F(SubmitPage, LengthCountsCharactersNotBytes)
{
    const std::pair<const char*, bool> pages[] = {
        {"http://\u00FC.d", false}, // 10 characters in 11 bytes
        {"http://\u4E2D\u6587", false}, // 9 characters in 13 bytes
        {"http://\u00FC.de", true},
        {"http://a.c/", true},
    };
    for (const auto& page : pages)
        addSite("Shareware_Sites", page.first);
    exec("UPDATE Shareware_Sites SET sub_page=id;");
    openWindow();
    selectTab(0);
    for (const auto& [page, enabled] : pages) {
        viewerAt(0)->setSelection({rowOfId(0, page)});
        QApplication::processEvents();
        QMenu* menu = viewAt(0)->menuManager();
        emit menu->aboutToShow();
        const QList<QAction*> actions = menu->actions();
        const auto open = std::find_if(actions.begin(), actions.end(), [](QAction* action) {
            return action->text() == "Open &Submit Page";
        });
        ASSERT_NE(open, actions.end());
        EXPECT_EQ((*open)->isEnabled(), enabled) << page;
    }
}

} // namespace
} // namespace qmk
