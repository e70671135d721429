// Both link harvests through the find prompt, against loopback services, on a real database.
#include "Fixture.h"
#include "HarvestServices.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/Base.h"
#include "qmk/MyAction.h"
#include "qmk/MyActionHarvest.h"
#include "qmk/dialog/FindDialog.h"
#include "qmk/extends/Commands.h"
#include "qmk/tab/Temp_Site.h"
#include "vorn/Texts.h"

#include <QDialog>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

#include <iostream>
#include <sstream>

namespace qmk::test {
namespace {

using dialog::FindDialog;

std::string page(const std::string& site, const std::string& path = "/p")
{
    return "http://www." + site + path;
}

class Harvest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        addSite("Shareware_Sites", "known1.example");
        addSite("Temp_Sites", "known2.example", "4");
        addSite("Black_Sites", "known3.example");
        // sorted by site: the counter numbers them 0..11
        engine_.ranks = {{"site1.example", "5"},  {"site2.example", "0"},
                         {"site3.example", "9"},  {"site4.example", "10"},
                         {"site6.example", "5"},  {"sitea.example", "down"},
                         {"sitez.example", "3"},  {"known1.example", "5"},
                         {"known2.example", "5"}, {"known3.example", "5"}};
        links_ = {page("site1.example"),
                  page("site2.example"),
                  page("site3.example"),
                  page("site4.example"),
                  page("site5.example"),
                  page("site6.example", "/forum/t1"),
                  page("known1.example"),
                  page("known2.example"),
                  page("known3.example"),
                  page("sitea.example"),
                  page("sitez.example"),
                  "http://www.sitey.example/" + vorn::Texts::excludedSource() + "x"};
        openWindow();
        QObject::connect(window_->statusBar(), &QStatusBar::messageChanged,
                         [this](const QString& text) { statuses_.push_back(text.toStdString()); });
    }
    void TearDown() override
    {
        if (window_)
            QObject::disconnect(window_->statusBar(), nullptr, nullptr, nullptr);
        WindowTest::TearDown();
    }
    // Runs the command, types the text and presses Enter, as the user does.
    void harvest(extends::Command command, const QString& text)
    {
        extends::Commands::run(command);
        FindDialog::getInstance().field()->clear();
        QTest::keyClicks(FindDialog::getInstance().field(), text);
        QTest::keyClick(FindDialog::getInstance().field(), Qt::Key_Return);
    }
    bool dialogVisible() { return FindDialog::getInstance().shell()->isVisible(); }
    std::vector<std::string> tempSites()
    {
        return column("SELECT id || ' ' || pr || ' ' || sub_page FROM Temp_Sites ORDER BY id");
    }
    // Runs once, in the first pumped wait after the first kept site.
    void atFirstKept(std::function<void()> action)
    {
        QObject::connect(window_->statusBar(), &QStatusBar::messageChanged, window_.get(),
                         [this, action, done = std::make_shared<bool>(false)](const QString& text) {
                             if (*done ||
                                 !(text.contains("\tinbound link: ") || text.contains("\tlink: ")))
                                 return;
                             *done = true;
                             QTimer::singleShot(0, window_.get(), action);
                         });
    }

    SearchEngine engine_;
    std::vector<std::string> links_;
    std::vector<std::string> statuses_;
};

const std::vector<std::string> keptRows = {
    "known2.example 4 [Enter page]", "site1.example 5 http://www.site1.example/p",
    "site2.example 0 http://www.site2.example/p", "sitez.example 3 http://www.sitez.example/p"};

TEST_F(Harvest, InboundLinksKeepNewRankedSites)
{
    InboundService inbound;
    inbound.links = links_;
    const std::string url = "http://www.mine.example/";
    harvest(extends::Command::InboundLinksAction, "  HTTP://www.MINE.example/ ");
    EXPECT_EQ(FindDialog::getInstance().shell()->windowTitle(),
              "Get Inbound Links from yahoo search");
    EXPECT_EQ(FindDialog::getInstance().field()->toolTip(), "must start with http://");

    EXPECT_EQ(tempSites(), keptRows);
    EXPECT_EQ(idsShown(3).size(), 4u);
    const std::vector<std::string> expected = {
        "begin to get inbound links of " + url + " please wait a minute",
        "3\t" + url + "\tinbound link: http://www.site1.example/p\tPR: 5",
        "4\t" + url + "\tinbound link: http://www.site2.example/p\tPR: 0",
        "Failed to get PageRank of sitea.example\nPlease connected to the Internet first",
        "11\t" + url + "\tinbound link: http://www.sitez.example/p\tPR: 3",
        "1 rows inserted into Temp_Sites", // the store's own report
        "3 URLs linking to " + url};
    std::vector<std::string> seen;
    for (const std::string& s : statuses_)
        if (!s.empty())
            seen.push_back(s);
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(dialogVisible());
    // excluded and known sites never cost a rank request; sites 3, 4, 5 (none), a (down), 1, 2, z do
    EXPECT_EQ(engine_.rankRequests, 8); // site5 is asked twice, with and without "/"

    // The same results again: every site is known now, nothing is kept, the prompt stays.
    FindDialog::getInstance().show();
    harvest(extends::Command::InboundLinksAction, QString::fromStdString(url));
    EXPECT_EQ(status(), "finished, not get valid inbound links for " + url);
    EXPECT_TRUE(dialogVisible());
    EXPECT_EQ(tempSites(), keptRows);

    // Input rules and failures of the service.
    for (const char* bad : {"https://www.mine.example/", "http://ab", ""}) {
        harvest(extends::Command::InboundLinksAction, bad);
        EXPECT_EQ(status(), "Enter http url first") << bad;
    }
    inbound.links = {page("fresh.example")};
    inbound.total = "many"; // a count that is not a number
    engine_.ranks["fresh.example"] = "2";
    std::ostringstream console;
    std::streambuf* out = std::cout.rdbuf(console.rdbuf());
    harvest(extends::Command::InboundLinksAction, "http://www.mine.example/");
    std::cout.rdbuf(out);
    EXPECT_EQ(status(), "finished, not get valid inbound links for " + url);
    EXPECT_EQ(console.str().rfind("getInboundLinks catch ", 0), 0u) << console.str();
    EXPECT_TRUE(dialogVisible());
    inbound.links.clear();
    inbound.total = "0";
    harvest(extends::Command::InboundLinksAction, "http://a.b"); // 10 characters: asked
    EXPECT_EQ(status(), "not got Inbound Links for http://a.b");
}

TEST_F(Harvest, OnlyWebHostsCountAsTheListsKnowThem)
{
    addSite("Black_Sites", "black.example");
    addSite("Black_Sites", "xn--caf-dma.example");
    addSite("Shareware_Sites", "known.example");
    addSite("Shareware_Sites",
            "b\xc3\xbc"
            "cher.example");
    // ids typed with capitals, stored as typed; two rows waiting under a placeholder typed over
    addSite("Black_Sites", "Spam2.Example.biz");
    addSite("Shareware_Sites", "Mixed2.Example.com");
    addSite("Temp_Sites", "Cand.Example.net");
    addSite("Black_Sites", "spam3.example");
    addSite("Temp_Sites", "cand2.example");
    for (int tab : {0, 2, 3})
        viewAt(tab)->openView();
    edit(2, rowOfId(2, "spam3.example"), "id", QString("[z]"));
    edit(3, rowOfId(3, "cand2.example"), "id", QString("[y]"));
    engine_.otherRank = "2"; // every site asked for is ranked
    engine_.links = {"http://spam2.example.biz/",
                     "http://www.mixed2.example.com/",
                     "http://cand.example.net./",
                     "http://spam3.example/x",
                     "http://WWW.Cand2.Example/",
                     "http:///nohost",
                     "http://www.black.example:80/",
                     "http://known.example./",
                     "javascript:alert(1)",
                     "data:text/html,x",
                     "file:///etc/passwd",
                     "http://user:pw@evil.example/",
                     "HTTP://WWW.UPPER.example.net/",
                     "http://xn--bcher-kva.example/",
                     "https://caf\xc3\xa9.example/"};
    harvest(extends::Command::GoogleSearchAction, "cheap software");
    EXPECT_EQ(status(), "finished, get 2 URLs linking to cheap software");
    EXPECT_EQ(column("SELECT id || ' ' || sub_page FROM Temp_Sites ORDER BY id"),
              (std::vector<std::string>{
                  "Cand.Example.net [Enter page]", "cand2.example [Enter page]",
                  "evil.example http://user:pw@evil.example/", "known2.example [Enter page]",
                  "upper.example.net HTTP://WWW.UPPER.example.net/"}));
    EXPECT_EQ(engine_.rankRequests, 2); // the known sites cost no rank request
}

TEST_F(Harvest, ServiceFailingInTheMiddleKeepsWhatCameBefore)
{
    InboundService inbound;
    for (int k = 1; k <= 150; ++k)
        inbound.links.push_back(page("s" + std::to_string(k) + ".example"));
    inbound.failStart = 101; // the second page of 100 fails
    engine_.ranks = {{"s1.example", "1"}, {"s50.example", "1"}, {"s120.example", "1"}};
    harvest(extends::Command::InboundLinksAction, "http://www.mine.example/");
    EXPECT_EQ(status(), "2 URLs linking to http://www.mine.example/");
    EXPECT_EQ(column("SELECT id FROM Temp_Sites WHERE pr = '1' ORDER BY id"),
              (std::vector<std::string>{"s1.example", "s50.example"}));
}

TEST_F(Harvest, AStoreTheFileRefusesIsReportedAsNotStored)
{
    exec("CREATE TRIGGER full BEFORE INSERT ON Temp_Sites WHEN NEW.id = 'site2.example' "
         "BEGIN SELECT RAISE(ABORT, 'disk full'); END;");
    engine_.links = links_;
    // another program stores a site the run has found: the unique index refuses it then
    atFirstKept([this] { addSite("Temp_Sites", "site1.example", "7"); });
    harvest(extends::Command::GoogleSearchAction, "Cheap Software");
    EXPECT_EQ(status(),
              "finished, get 1 URLs linking to cheap software, 2 not stored (row "
              "site1.example of Temp_Sites not stored: UNIQUE constraint failed: "
              "Temp_Sites.id)");
    EXPECT_NE(std::find(statuses_.begin(), statuses_.end(),
                        "row site2.example of Temp_Sites not stored: disk full"),
              statuses_.end());
    // each refused site is left out, the others are stored, the table shows what was stored
    EXPECT_EQ(
        tempSites(),
        (std::vector<std::string>{"known2.example 4 [Enter page]", "site1.example 7 [Enter page]",
                                  "sitez.example 3 http://www.sitez.example/p"}));
    EXPECT_EQ(idsShown(3), (std::vector<std::string>{"known2.example", "sitez.example"}));

    // Another program takes the write lock as the second write begins (site1 is refused again
    // first): the store ends after that one wait, the sites after it are not tried; the report
    // counts all four and names the lock.
    exec("DROP TRIGGER full;");
    engine_.ranks["z1.example"] = "2";
    engine_.ranks["z2.example"] = "2";
    engine_.links.push_back(page("z1.example"));
    engine_.links.push_back(page("z2.example"));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((folder_ + "/qmk.db").c_str(), &other), SQLITE_OK);
    int writes = 0;
    int locked = SQLITE_ERROR;
    db_->getConnection().setTrace([&](dwin::database::sqlite::Connection&, std::string_view sql) {
        if (sql.starts_with("BEGIN") && ++writes == 2)
            locked = sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr);
    });
    harvest(extends::Command::GoogleSearchAction, "Cheap Software");
    db_->getConnection().setTrace({});
    EXPECT_EQ(locked, SQLITE_OK);
    EXPECT_EQ(writes, 2);
    EXPECT_EQ(status(),
              "finished, not get valid links for cheap software, 4 not stored (row "
              "site2.example of Temp_Sites not stored: database is locked)");
    EXPECT_EQ(idsShown(3), (std::vector<std::string>{"known2.example", "sitez.example"}));

    // the lock released, the same search stores them
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    harvest(extends::Command::GoogleSearchAction, "Cheap Software");
    EXPECT_EQ(status(),
              "finished, get 3 URLs linking to cheap software, 1 not stored (row "
              "site1.example of Temp_Sites not stored: UNIQUE constraint failed: "
              "Temp_Sites.id)");
    EXPECT_EQ(tempSites(),
              (std::vector<std::string>{
                  "known2.example 4 [Enter page]", "site1.example 7 [Enter page]",
                  "site2.example 0 http://www.site2.example/p",
                  "sitez.example 3 http://www.sitez.example/p",
                  "z1.example 2 http://www.z1.example/p", "z2.example 2 http://www.z2.example/p"}));
}

TEST_F(Harvest, OnlyAWholeNumberFromZeroToTenIsARank)
{
    engine_.ranks = {{"junk.example", "abc<b>x</b>"}, {"neg.example", "-3"},
                     {"eleven.example", "11"},        {"huge.example", std::string(5u << 20, '7')},
                     {"half.example", "4.5"},         {"blank.example", " 07 "}};
    engine_.links = {page("junk.example"), page("neg.example"),  page("eleven.example"),
                     page("huge.example"), page("half.example"), page("blank.example")};
    harvest(extends::Command::GoogleSearchAction, "cheap software");
    EXPECT_EQ(status(), "finished, get 1 URLs linking to cheap software");
    EXPECT_EQ(tempSites(),
              (std::vector<std::string>{"blank.example 7 http://www.blank.example/p",
                                        "known2.example 4 [Enter page]"}));
}

TEST_F(Harvest, WebSearchKeepsNewRankedSites)
{
    engine_.links = links_;
    harvest(extends::Command::GoogleSearchAction, "Cheap Software");
    const std::string text = "cheap software";
    EXPECT_EQ(tempSites(), keptRows);
    EXPECT_NE(std::find(statuses_.begin(), statuses_.end(),
                        text + "\tbegins Google Search, please wait a minute"),
              statuses_.end());
    EXPECT_NE(std::find(statuses_.begin(), statuses_.end(),
                        "11\t" + text + "\tlink: http://www.sitez.example/p\tPR: 3"),
              statuses_.end());
    EXPECT_EQ(status(), "finished, get 3 URLs linking to " + text);
    EXPECT_FALSE(dialogVisible());

    harvest(extends::Command::GoogleSearchAction, "abcd");
    EXPECT_EQ(status(), "Please enter search text");
    harvest(extends::Command::GoogleSearchAction, "abcde"); // the client wants more than 5
    EXPECT_EQ(status(), "not got urls for abcde");
    harvest(extends::Command::GoogleSearchAction, text.c_str());
    EXPECT_EQ(status(), "finished, not get valid links for " + text);
    EXPECT_TRUE(dialogVisible());
    {
        ::setenv("QMK_SEARCH_URL", lookups_test::deadBaseUrl().c_str(), 1);
        harvest(extends::Command::GoogleSearchAction, text.c_str());
        ::setenv("QMK_SEARCH_URL", engine_.service.baseUrl().c_str(), 1);
    }
    EXPECT_EQ(status(), "Pleae connect to the internet first");
}

TEST_F(Harvest, EnterAgainOtherHarvestAndEditsWhileWaiting)
{
    InboundService inbound;
    inbound.links = links_;
    engine_.links = links_;
    std::size_t inboundRequests = 0;
    int searchesSeen = 0;
    atFirstKept([&] {
        inboundRequests = inbound.service.requestCount();
        // Enter again in the prompt, the other harvest from its command and from its worker: none
        // starts a second run. Then the prompt is closed.
        QTest::keyClick(FindDialog::getInstance().field(), Qt::Key_Return);
        harvest(extends::Command::GoogleSearchAction, "cheap software");
        MyAction::googleSearchAction->searchSites("cheap software");
        searchesSeen = int(engine_.service.requestCount());
        FindDialog::getInstance().shell()->close();
        // The user adds a site that the run has already collected, edits a cell, switches tabs.
        auto record = std::make_shared<tab::Temp_Site>();
        record->set("id", "site1.example");
        viewAt(3)->addAndStore(record, false);
        edit(3, rowOfId(3, "known2.example"), "notes", "edited meanwhile");
        selectTab(0);
    });
    const int searchesBefore = int(engine_.service.requestCount());
    harvest(extends::Command::InboundLinksAction, "http://www.mine.example/");
    EXPECT_EQ(inbound.service.requestCount(), inboundRequests);
    EXPECT_EQ(searchesSeen, searchesBefore + 1); // the rank request of site1 and nothing else
    EXPECT_EQ(column("SELECT count(*) FROM Temp_Sites WHERE id = 'site1.example'"),
              std::vector<std::string>{"1"});
    EXPECT_EQ(status(), "2 URLs linking to http://www.mine.example/");
    EXPECT_EQ(column("SELECT id FROM Temp_Sites ORDER BY id"),
              (std::vector<std::string>{"known2.example", "site1.example", "site2.example",
                                        "sitez.example"}));
    EXPECT_FALSE(FindDialog::getInstance().busy());
    EXPECT_EQ(column("SELECT notes FROM Temp_Sites WHERE id = 'known2.example'"),
              std::vector<std::string>{"edited meanwhile"});
}

TEST_F(Harvest, WindowKeepsRunningThroughUnrankedResults)
{
    InboundService inbound;
    for (int k = 1; k <= 30; ++k)
        inbound.links.push_back(page("u" + std::to_string(k) + ".example"));
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [this] { ++engine_.ticks; });
    timer.start(0);
    harvest(extends::Command::InboundLinksAction, "http://www.mine.example/");
    timer.stop();
    EXPECT_EQ(status(), "finished, not get valid inbound links for http://www.mine.example/");
    // each site costs two rank requests (without and with "/"); between two sites the event loop
    // has turned
    std::lock_guard lock(engine_.mutex);
    ASSERT_EQ(engine_.ticksAtRank.size(), 60u);
    for (std::size_t i = 2; i < 60; i += 2)
        EXPECT_GT(engine_.ticksAtRank[i], engine_.ticksAtRank[i - 2]) << i;
}

TEST_F(Harvest, KnownSitesFollowEveryChangeOfTheLists)
{
    EXPECT_FALSE(isNewSite("known3.example")); // only in Black_Sites
    EXPECT_TRUE(isNewSite("KNOWN1.example"));
    edit(0, rowOfId(0, "known1.example"), "id", "other.example"); // the user renames a site
    EXPECT_FALSE(isNewSite("other.example"));
    EXPECT_TRUE(isNewSite("known1.example"));
    viewAt(2)->removeById("known3.example");
    EXPECT_TRUE(isNewSite("known3.example"));
    auto added = std::make_shared<tab::Temp_Site>();
    added->set("id", "added.example");
    viewAt(3)->getRecords().push_back(added); // as a load fills a list
    EXPECT_FALSE(isNewSite("added.example"));
    added->getFields()["id"] = "written.example"; // a write that is not followed by id
    EXPECT_FALSE(isNewSite("written.example"));
    added->reset();
    EXPECT_TRUE(isNewSite("written.example"));
    // One lower case in every script: a site typed in capitals is stored, refused elsewhere and
    // known to a harvest under the host a link gives.
    const std::string typed = "www.M\xc3\x9cNCHEN.example", host = "m\xc3\xbcnchen.example";
    selectTab(0);
    window_->addNewRecord();
    edit(0, rowOfId(0, "[Enter id]"), "id", QString::fromStdString(typed));
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites WHERE id LIKE 'm%'"),
              std::vector<std::string>{host});
    EXPECT_FALSE(isNewSite(host));
    selectTab(3);
    window_->addNewRecord();
    edit(3, rowOfId(3, "[Enter id]"), "id", QString::fromStdString(typed));
    EXPECT_EQ(status(), "Shareware_Sites " + host + " already exists");
}

} // namespace
} // namespace qmk::test
