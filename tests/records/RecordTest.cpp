// Records and record kinds: columns, placeholders, set/get rules.
#include "qmk/tab/Black_Site.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"
#include "qmk/tab/Temp_Site.h"

#include <gtest/gtest.h>

#include <map>
#include <type_traits>

using namespace qmk;
using namespace qmk::tab;
using Names = std::vector<std::string>;

namespace {

const Names kSiteColumns{"id",       "pr",       "backlink", "sub_method", "sort",
                         "sub_page", "rev_days", "g_user",   "g_pass",     "notes"};

TEST(RecordKinds, ColumnOrderOfEveryKind)
{
    EXPECT_EQ(Shareware_Site().getColumnNames(), kSiteColumns);
    EXPECT_EQ(Temp_Site().getColumnNames(), kSiteColumns);
    EXPECT_EQ(Black_Site().getColumnNames(),
              (Names{"id", "pr", "reason", "backlink", "sub_method", "sort", "sub_page", "rev_days",
                     "g_user", "g_pass", "notes"}));
    EXPECT_EQ(
        Listed_Url().getColumnNames(),
        (Names{"id", "pr", "listed_url", "username", "password", "version", "sub_date", "backlink",
               "sub_method", "sort", "sub_page", "rev_days", "g_user", "g_pass", "notes"}));
    EXPECT_EQ(Software().getColumnNames(),
              (Names{"id", "home", "pr", "pad_locale", "exe_locale", "notes"}));
}

TEST(RecordKinds, OrderByClauses)
{
    EXPECT_EQ(Black_Site().orderBy, "reason ASC, pr DESC");
    EXPECT_EQ(Listed_Url().orderBy, "pr DESC, backlink ASC");
    EXPECT_EQ(Software().orderBy, "pr DESC, id DESC");
    EXPECT_EQ(Shareware_Site().orderBy, "pr DESC, backlink DESC, id DESC");
    EXPECT_EQ(Temp_Site().orderBy, "pr DESC, backlink DESC, id DESC");
}

TEST(RecordKinds, NewRecordHoldsPlaceholdersAndFirstChoices)
{
    Black_Site b;
    EXPECT_EQ(b.size(), 11u);
    EXPECT_EQ(b.get("id"), "[Enter id]");
    EXPECT_EQ(b.get("pr"), "-1");
    EXPECT_EQ(b.get("reason"), "linkBack");
    EXPECT_EQ(b.get("backlink"), "not");
    EXPECT_EQ(b.get("sub_method"), "pad");
    EXPECT_EQ(b.get("sort"), "title");
    EXPECT_EQ(b.get("rev_days"), "0");
    EXPECT_EQ(b.get("g_user"), "[Engter Global Username");
    EXPECT_EQ(b.get("g_pass"), "[Enter Global Password]");
    EXPECT_EQ(b.get("sub_page"), "[Enter page]");
    EXPECT_EQ(b.get("notes"), "[Enter notes]");

    Listed_Url l;
    EXPECT_EQ(l.get("listed_url"), "[Enter listed url]");
    EXPECT_EQ(l.get("username"), "[Enter Username]");
    EXPECT_EQ(l.get("password"), "[Enter Password]");
    EXPECT_EQ(l.get("version"), "[Enter Version]");
    EXPECT_EQ(l.get("sub_date"), "[Enter Date]");

    Software s;
    EXPECT_EQ(s.get("id"), "[Enter softname]");
    EXPECT_EQ(s.get("home"), "[Enter homepage]");
    EXPECT_EQ(s.get("pad_locale"), "[Enter locale PAD]");
    EXPECT_EQ(s.get("exe_locale"), "[Enter exe file location]");
}

TEST(RecordKinds, TipsAndOptionLists)
{
    const auto& site = Shareware_Site::getInstance();
    ASSERT_EQ(site.getColumnTips().size(), 10u);
    EXPECT_EQ(site.getColumnTips()[0].rfind(
                  "shareware download site, \nwithout http:// and www\ne.g. ", 0),
              0u);
    EXPECT_EQ(site.getColumnTips()[5],
              "software submit page, starts with http, right mouse double to navigate ");
    EXPECT_EQ(site.getColumnTips()[6], "submited software review days");
    EXPECT_EQ(site.getValueListsByColumn().at("pr").size(), 11u);
    EXPECT_EQ(site.getValueListsByColumn().at("rev_days"),
              (base::ValueList{"0", "1", "5", "10", "15", "30", "60", "100", "1000"}));
    EXPECT_EQ(site.getColumnValueLists()[3], (base::ValueList{"pad", "form", "email", "other"}));
    const auto& black = Black_Site::getInstance();
    EXPECT_EQ(black.getValueListsByColumn().at("reason").size(), 9u);
    EXPECT_EQ(black.getColumnTips()[2], "Why this is a bad download site");
    EXPECT_EQ(Software::getInstance().getColumnTips()[2], "Google pagerank of home");
    EXPECT_EQ(Software::getInstance().getColumnTips()[5], "notes, multiline supported");
    EXPECT_EQ(Listed_Url::getInstance().getColumnTips()[4], "Registered Password if needed");
}

// Every column's option list and tip, word for word (spelling included).
TEST(RecordKinds, EveryOptionListAndTipExactly)
{
    using VL = base::ValueList;
    struct Col {
        std::string name;
        VL options;
        std::string tip;
    };
    const VL ranks{"-1", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const std::map<std::string, Col> site{
        {"id", {"id", {"[Enter id]"}, "shareware download site, \nwithout http:// and www\ne.g. "}},
        {"pr",
         {"pr", ranks,
          "Google pagerank of shareware download site\nright mouse double click id to get the PR"}},
        {"backlink",
         {"backlink", {"not", "custom"}, "does this site link to shareware author site?"}},
        {"sub_method",
         {"sub_method", {"pad", "form", "email", "other"}, "PAD or PAD based on PADKIT or other"}},
        {"sort",
         {"sort", {"title", "date", "popular"}, "softwares on this site sort by title or date..."}},
        {"sub_page",
         {"sub_page",
          {"[Enter page]"},
          "software submit page, starts with http, right mouse double to navigate "}},
        {"rev_days",
         {"rev_days",
          {"0", "1", "5", "10", "15", "30", "60", "100", "1000"},
          "submited software review days"}},
        {"g_user", {"g_user", {"[Engter Global Username"}, "global username"}},
        {"g_pass", {"g_pass", {"[Enter Global Password]"}, "global password"}},
        {"notes", {"notes", {"[Enter notes]"}, "notes"}},
        {"reason",
         {"reason",
          {"linkBack", "purchase", "neverListed", "lowerPR", "spam", "non-english", "autolist",
           "submitFailed", "other"},
          "Why this is a bad download site"}},
        {"listed_url", {"listed_url", {"[Enter listed url]"}, "Listed Url, starts with http"}},
        {"username", {"username", {"[Enter Username]"}, "Registered Username if needed"}},
        {"password", {"password", {"[Enter Password]"}, "Registered Password if needed"}},
        {"version",
         {"version", {"[Enter Version]"}, "version number of submited or listed software"}},
        {"sub_date", {"sub_date", {"[Enter Date]"}, "Submit Date, YYYYMMDD"}},
    };
    const std::map<std::string, Col> software{
        {"id", {"id", {"[Enter softname]"}, "Software name without version number"}},
        {"home", {"home", {"[Enter homepage]"}, "software homepage, without http:// and www"}},
        {"pr", {"pr", ranks, "Google pagerank of home"}},
        {"pad_locale", {"pad_locale", {"[Enter locale PAD]"}, "load pad file"}},
        {"exe_locale", {"exe_locale", {"[Enter exe file location]"}, "exe location on computer"}},
        {"notes", {"notes", {"[Enter notes]"}, "notes, multiline supported"}},
    };
    auto check = [](const base::BaseRecord& kind, const std::map<std::string, Col>& expected) {
        const auto& names = kind.getColumnNames();
        ASSERT_EQ(kind.getColumnValueLists().size(), names.size());
        ASSERT_EQ(kind.getColumnTips().size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            const Col& want = expected.at(names[i]);
            EXPECT_EQ(kind.getColumnValueLists()[i], want.options) << names[i];
            EXPECT_EQ(kind.getValueListsByColumn().at(names[i]), want.options) << names[i];
            if (names[i] == "id" && want.tip.rfind("shareware", 0) == 0)
                EXPECT_EQ(kind.getColumnTips()[i].rfind(want.tip, 0), 0u)
                    << names[i]; // then an example domain
            else
                EXPECT_EQ(kind.getColumnTips()[i], want.tip) << names[i];
        }
    };
    check(Shareware_Site::getInstance(), site);
    check(Temp_Site::getInstance(), site);
    check(Black_Site::getInstance(), site);
    check(Listed_Url::getInstance(), site);
    check(Software::getInstance(), software);
}

TEST(RecordKinds, SiteKindsCarryTheMarker)
{
    EXPECT_TRUE((std::is_base_of_v<IShareware_Site, Black_Site>));
    EXPECT_TRUE((std::is_base_of_v<IShareware_Site, Listed_Url>));
    EXPECT_TRUE((std::is_base_of_v<IShareware_Site, Shareware_Site>));
    EXPECT_TRUE((std::is_base_of_v<IShareware_Site, Temp_Site>));
    EXPECT_FALSE((std::is_base_of_v<IShareware_Site, Software>));
}

TEST(RecordKinds, PrototypeIsOneObject)
{
    EXPECT_EQ(&Listed_Url::getInstance(), &Listed_Url::getInstance());
}

TEST(BaseRecordRules, SetNeverAddsAColumn)
{
    Temp_Site t;
    const auto before = t.toString();
    EXPECT_FALSE(t.set("nope", "x"));
    EXPECT_EQ(t.size(), 10u);
    EXPECT_EQ(t.toString(), before);
    EXPECT_FALSE(t.get("nope").has_value());
    EXPECT_TRUE(t.set("notes", ""));
    EXPECT_EQ(t.get("notes"), std::string());
}

TEST(BaseRecordRules, ToStringHasOneLinePerColumn)
{
    base::BaseRecord r;
    EXPECT_EQ(r.toString(), "");
    EXPECT_EQ(r.size(), 0u);
    r.setColumnNames({"id", "notes"}).setColumnValueLists({{"x"}, {"y"}});
    r.reset();
    r.set("id", "abc");
    r.set("notes", "");
    const auto text = r.toString();
    EXPECT_TRUE(text == "id = abc\nnotes = \n" || text == "notes = \nid = abc\n") << text;
}

TEST(BaseRecordRules, ResetRestoresDefaultsAndSettersDoNotTouchOtherRecords)
{
    Shareware_Site s;
    s.set("pr", "7");
    s.set("id", "x.com");
    s.reset();
    EXPECT_EQ(s.get("pr"), "-1");
    EXPECT_EQ(s.get("id"), "[Enter id]");

    s.setColumnTips({"only one"});
    EXPECT_EQ(s.getColumnTips().size(), 1u);
    EXPECT_EQ(Shareware_Site::getInstance().getColumnTips().size(), 10u);
}

TEST(BaseRecordRules, FieldsMapIsLive)
{
    Software s;
    s.getFields()["id"] = "Tool";
    EXPECT_EQ(s.get("id"), "Tool");
    // It reads like a map in name order: a missing name is added at its place; a copy is apart.
    auto& fields = s.getFields();
    fields["added"] = "x";
    EXPECT_EQ(fields.begin()->first, "added");
    EXPECT_EQ(std::next(fields.begin())->first, "exe_locale");
    const base::FieldMap kept = fields;
    fields["id"] = "Other";
    fields = kept;
    EXPECT_EQ(s.get("id"), "Tool");
    EXPECT_EQ(fields.erase("added"), 1u);
    EXPECT_EQ(s.size(), 6u);
}

} // namespace
