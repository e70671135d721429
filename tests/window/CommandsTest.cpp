// The commands as a user runs them: menu entries and context menus found by their text, the
// file checked through its own connection, the rank service on loopback.
#include "Fixture.h"
#include "lookups/FakeService.h"

#include "dwin/time/WallClock.h"
#include "qmk/Base.h"
#include "qmk/MessageDialog.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/MyMenuListener.h"
#include "qmk/extends/RecordTableModel.h"
#include "qmk/tab/Black_Site.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

#include <sys/stat.h>

#include <ctime>
#include <fstream>

namespace qmk::test {
namespace {

using lookups_test::FakeService;

enum Tab { SharewareTab = 0, SoftwaresTab = 1, BlackTab = 2, TempTab = 3, ListingTab = 4 };

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

class Commands : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        MessageDialog::setInterceptor(
            [this](MessageDialog::Kind kind, const std::string& title, const std::string& text) {
                dialogs_.push_back((kind == MessageDialog::Kind::Error ? "error " : "info ") +
                                   title + ": " + text);
            });
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        MessageDialog::setInterceptor(nullptr);
    }

    // The entry of the menu with that text (mnemonics and all), after the menu's listener ran.
    QAction* entry(QMenu* menu, const std::string& text)
    {
        emit menu->aboutToShow();
        for (QAction* action : menu->actions())
            if (action->text().toStdString() == text)
                return action;
        ADD_FAILURE() << "no entry " << text;
        return nullptr;
    }
    QMenu* contextMenu(int tab) { return viewAt(tab)->menuManager(); }
    bool enabledIn(int tab, const std::string& text)
    {
        QAction* action = entry(contextMenu(tab), text);
        return action && action->isEnabled();
    }
    // Chooses the entry of the table's context menu (an entry the listener disabled cannot be chosen).
    void choose(int tab, const std::string& text)
    {
        selectTab(tab);
        if (QAction* action = entry(contextMenu(tab), text))
            action->trigger();
        QApplication::processEvents();
    }
    // The tool-bar button, which keeps the state of the last menu opened.
    void press(const std::string& text)
    {
        for (QAction* action : window_->toolBar()->actions())
            if (action->text().toStdString() == text) {
                action->setEnabled(true);
                action->trigger();
                return;
            }
        ADD_FAILURE() << "no button " << text;
    }
    void select(int tab, const std::string& id)
    {
        selectTab(tab);
        viewerAt(tab)->setSelection({rowOfId(tab, id)});
        QApplication::processEvents();
    }
    void unselect(int tab)
    {
        selectTab(tab);
        viewerAt(tab)->getTable()->clearSelection();
    }
    std::string one(const std::string& sql)
    {
        std::vector<std::string> values = column(sql);
        return values.empty() ? "<none>" : values.front();
    }
    void addListing(const std::string& product, const std::string& id,
                    const std::string& extra = "", const std::string& values = "")
    {
        exec("INSERT INTO \"" + product + "\" (id, pr" + extra + ") VALUES (" + quoted(id) +
             ", '-1'" + values + ");");
    }

    // The command wherever it is placed: menus, tool bar, context menus.
    QAction* placed(const std::string& text)
    {
        std::vector<QList<QAction*>> places = {window_->toolBar()->actions()};
        for (const char* menu : {"&File", "&Edit", "&Net", "&Help"})
            places.push_back(window_->menu(menu)->actions());
        for (int tab = 0; tab < window_->getTabFolder()->count(); ++tab)
            places.push_back(contextMenu(tab)->actions());
        for (const QList<QAction*>& actions : places)
            for (QAction* action : actions)
                if (action->text().toStdString() == text)
                    return action;
        return nullptr;
    }

    std::vector<std::string> dialogs_;
    std::vector<std::string> statuses_;
};

const char* const needsARow[] = {"&Get PageRank",
                                 "&Remove Record",
                                 "&Move to Black Sites List",
                                 "&Move to Shareware Sites List",
                                 "Open &Home Page",
                                 "Open &Submit Page",
                                 "Set submit date to &Today",
                                 "Set &version to current Version"};

TEST_F(Commands, WithoutARowEachTableTellsAndChangesNothing)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com");
    addSite("Temp_Sites", "t.com");
    addSite("Black_Sites", "b.com");
    addListing("Tool", "a.com");
    FakeService rank("QMK_SEARCH_URL", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("Rank_1:1:5", "text/plain");
    });
    openWindow();
    for (int tab : {SharewareTab, SoftwaresTab, BlackTab, TempTab, ListingTab}) {
        unselect(tab);
        for (const char* text : needsARow) {
            SCOPED_TRACE(std::to_string(tab) + " " + text);
            QAction* action = placed(text);
            ASSERT_NE(action, nullptr);
            window_->setStatus("before");
            dialogs_.clear();
            emit action
                ->triggered(); // as a tool-bar button or accelerator still enabled from earlier
            EXPECT_EQ(status(), "Please selected a record first");
            EXPECT_EQ(dialogs_,
                      std::vector<std::string>{"info information: Please selected a record first"});
        }
    }
    EXPECT_EQ(rank.requestCount(), 0u);
    EXPECT_EQ(
        column("SELECT id FROM Shareware_Sites UNION ALL SELECT id FROM Temp_Sites UNION ALL "
               "SELECT id FROM "
               "Black_Sites UNION ALL SELECT id FROM Tool UNION ALL SELECT id FROM Softwares"),
        (std::vector<std::string>{"a.com", "t.com", "b.com", "a.com", "Tool"}));
}

TEST_F(Commands, EnablingFollowsTableSelectionAndCell)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com");
    addSite("Shareware_Sites", "ten.com");
    addSite("Temp_Sites", "t.com");
    exec("UPDATE Shareware_Sites SET sub_page='http://a.c/' WHERE id='a.com';"); // 11 characters
    exec("UPDATE Shareware_Sites SET sub_page='http://a.c' WHERE id='ten.com';"); // 10 characters
    addListing("Tool", "a.com", ", username, g_pass", ", 'bob', '[Enter Global Password]'");
    openWindow();
    // Temp_Sites: the harvest commands with or without a row; elsewhere never
    unselect(TempTab);
    EXPECT_TRUE(enabledIn(TempTab, "Get Yahoo Inbound Links"));
    EXPECT_TRUE(enabledIn(TempTab, "Get Sites from Google"));
    EXPECT_FALSE(enabledIn(TempTab, "&Get PageRank"));
    select(SharewareTab, "a.com");
    EXPECT_FALSE(entry(window_->menu("&Net"), "Get Yahoo Inbound Links")->isEnabled());
    EXPECT_TRUE(enabledIn(SharewareTab, "&Get PageRank"));
    EXPECT_TRUE(enabledIn(SharewareTab, "Open &Home Page"));
    EXPECT_TRUE(enabledIn(SharewareTab, "Open &Submit Page"));
    select(SharewareTab, "ten.com");
    EXPECT_FALSE(enabledIn(SharewareTab, "Open &Submit Page"));
    // a product's home decides, not its usable id
    select(SoftwaresTab, "Tool");
    EXPECT_FALSE(enabledIn(SoftwaresTab, "Open &Home Page"));
    EXPECT_TRUE(enabledIn(SoftwaresTab, "&Remove Record"));
    // the listing table: stamps and credentials
    unselect(ListingTab);
    EXPECT_FALSE(enabledIn(ListingTab, "Set submit date to &Today"));
    EXPECT_FALSE(enabledIn(ListingTab, "Copy &username to clipboard"));
    select(ListingTab, "a.com");
    EXPECT_TRUE(enabledIn(ListingTab, "Set submit date to &Today"));
    EXPECT_TRUE(enabledIn(ListingTab, "Set &version to current Version"));
    EXPECT_TRUE(enabledIn(ListingTab, "Copy &username to clipboard"));
    EXPECT_FALSE(enabledIn(ListingTab, "Copy &password to clipboard"));
    // the tool-bar button keeps the state of the last menu opened
    unselect(ListingTab);
    QAction* rankButton = nullptr;
    for (QAction* action : window_->toolBar()->actions())
        if (action->text() == "&Get PageRank")
            rankButton = action;
    ASSERT_NE(rankButton, nullptr);
    EXPECT_TRUE(rankButton->isEnabled());
    emit window_->menu("&Edit")->aboutToShow();
    EXPECT_FALSE(rankButton->isEnabled());
    // the submit test without a browser window
    testing::internal::CaptureStdout();
    EXPECT_EQ(extends::MyMenuListener::isSubmitProductEnabled(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "isSubmitProductEnabled failed: webBrowser is null\n");
}

// A rank service on loopback answering per site.
class RankService {
public:
    RankService()
        : service_("QMK_SEARCH_URL", [this](const httplib::Request& req, httplib::Response& res) {
              std::lock_guard lock(mutex_);
              const std::string q = req.get_param_value("q");
              asked_.push_back(q);
              auto it = ranks_.find(q);
              res.set_content(it == ranks_.end() ? std::string() : "Rank_1:1:" + it->second,
                              "text/plain");
          })
    {
    }
    void rank(const std::string& url, const std::string& rank)
    {
        std::lock_guard lock(mutex_);
        ranks_["info:" + url] = rank;
    }
    std::vector<std::string> asked()
    {
        std::lock_guard lock(mutex_);
        return std::exchange(asked_, {});
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::string> ranks_;
    std::vector<std::string> asked_;
    FakeService service_;
};

TEST_F(Commands, RankUpdateChangedSameUnrankedAndOffline)
{
    addProduct("Tool", "1");
    addProduct("Other", "0");
    addSite("Shareware_Sites", "a.com", "2");
    addSite("Shareware_Sites", "b.com", "3");
    addSite("Shareware_Sites", "c.com", "4");
    for (const char* product : {"Tool", "Other"})
        for (const char* site : {"a.com", "c.com"})
            addListing(product, site);
    std::optional<RankService> service(std::in_place);
    service->rank("http://www.a.com", "5");
    service->rank("http://www.b.com", "3");
    openWindow();
    QObject::connect(window_->statusBar(), &QStatusBar::messageChanged,
                     [this](const QString& text) { statuses_.push_back(text.toStdString()); });
    // the rank text, then the database's report of the rows it updated
    auto shown = [this](const std::string& text) {
        return std::find(statuses_.begin(), statuses_.end(), text) != statuses_.end();
    };
    select(SharewareTab, "a.com");
    choose(SharewareTab, "&Get PageRank");
    EXPECT_TRUE(shown("http://www.a.com PageRank updated to 5"));
    EXPECT_EQ(
        column(
            "SELECT pr FROM Shareware_Sites WHERE id='a.com' UNION ALL SELECT pr FROM Tool WHERE "
            "id='a.com' UNION ALL SELECT pr FROM Other WHERE id='a.com'"),
        (std::vector<std::string>{"5", "5", "5"}));
    EXPECT_EQ(viewAt(SharewareTab)->getById("a.com")->get("pr"), "5");
    EXPECT_EQ(service->asked(), std::vector<std::string>{"info:http://www.a.com"});

    select(SharewareTab, "b.com");
    QTest::keyClick(window_.get(), Qt::Key_G,
                    Qt::ControlModifier); // the accelerator of the Net menu
    EXPECT_EQ(status(), "http://www.b.com PageRank same as old value 3");

    // nothing for the page, nothing for the page with "/": unranked, stored as -1 everywhere
    select(SharewareTab, "c.com");
    choose(SharewareTab, "&Get PageRank");
    EXPECT_EQ(service->asked(),
              (std::vector<std::string>{"info:http://www.b.com", "info:http://www.c.com",
                                        "info:http://www.c.com/"}));
    EXPECT_TRUE(shown("http://www.c.com unranked"));
    EXPECT_TRUE(shown("http://www.c.com PageRank updated to -1"));
    EXPECT_EQ(column("SELECT pr FROM Shareware_Sites WHERE id='c.com' UNION ALL SELECT pr FROM "
                     "Tool WHERE id='c.com'"),
              (std::vector<std::string>{"-1", "-1"}));
    EXPECT_TRUE(dialogs_.empty());

    service.reset();
    ::setenv("QMK_SEARCH_URL", lookups_test::deadBaseUrl().c_str(), 1);
    select(SharewareTab, "a.com");
    choose(SharewareTab, "&Get PageRank");
    ::unsetenv("QMK_SEARCH_URL");
    EXPECT_EQ(
        dialogs_,
        std::vector<std::string>{
            "error Error on reterive Google Page Rank: Please connected to the Internet first"});
    EXPECT_EQ(one("SELECT pr FROM Shareware_Sites WHERE id='a.com'"), "5");
    EXPECT_EQ(viewAt(SharewareTab)->getById("a.com")->get("pr"), "5");
}

TEST_F(Commands, ARankLookUpStoresTheEditOpenInItsRowFirst)
{
    addListedSiteWithNotes("a.com", "'old'");
    RankService service;
    service.rank("http://www.a.com", "7");
    openWindow();
    window_->activateWindow();
    selectTab(SharewareTab);
    // a double click on the cell, as a user opens its editor
    QTableView* table = viewerAt(SharewareTab)->getTable();
    const QRect cell = table->visualRect(table->model()->index(0, columnIndex(0, "notes")));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QApplication::processEvents();
    auto* notes = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
    ASSERT_NE(notes, nullptr);
    notes->selectAll();
    QTest::keyClicks(notes, "typed");
    QAction* rank = entry(window_->menu("&Net"), "&Get PageRank");
    ASSERT_NE(rank, nullptr);
    rank->trigger();
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT notes || ' ' || pr FROM Shareware_Sites UNION ALL SELECT notes || ' ' "
                     "|| pr FROM Tool"),
              (std::vector<std::string>{"typed 7", "typed 7"}));

    // an id the store refuses: no look-up, and the refusal stays
    addSite("Shareware_Sites", "b.com", "2");
    service.rank("http://www.b.com", "8");
    window_->openTab(WindowPort::Tab::Shareware_Sites);
    auto* id = qobject_cast<QLineEdit*>(openEditor(SharewareTab, rowOfId(0, "b.com"), "id"));
    ASSERT_NE(id, nullptr);
    id->selectAll();
    QTest::keyClicks(id, "a.com");
    rank->trigger();
    QApplication::processEvents();
    EXPECT_EQ(status(), "Shareware_Sites already exists a.com");
    EXPECT_EQ(column("SELECT id || ' ' || pr FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com 7", "b.com 2"}));
}

TEST_F(Commands, ARefusedEditTurnsNoCommandOntoTheRowItSelected)
{
    for (const char* id : {"a.com", "b.com", "c.com", "d.com"})
        addSite("Shareware_Sites", id);
    addProduct("Tool", "1");
    addSite("Tool", "a.com");
    addSite("Tool", "b.com");
    openWindow();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    // b.com's id (or the edited row's) typed over, or nothing typed; a right click on a row's
    // second cell as the window system hands it over, and the entry clicked in the menu it
    // opened: the status line and the selected row once the entry ran.
    const auto rightClickAndChoose = [this](int tab, const char* typed, const char* row,
                                            const char* text,
                                            const char* edited = "b.com") -> std::string {
        selectTab(tab);
        if (auto* editor = qobject_cast<QLineEdit*>(
                typed ? openEditor(tab, rowOfId(tab, edited), "id") : nullptr)) {
            editor->selectAll();
            QTest::keyClicks(editor, typed);
        }
        QTableView* table = viewerAt(tab)->getTable();
        const QPoint at = table->viewport()->mapTo(
            window_.get(), table->visualRect(table->model()->index(rowOfId(tab, row), 1)).center());
        QTest::mousePress(window_->windowHandle(), Qt::RightButton, {}, at);
        QTest::mouseRelease(window_->windowHandle(), Qt::RightButton, {}, at);
        QApplication::processEvents();
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* entry : menu ? menu->actions() : QList<QAction*>())
            if (entry->text() == text)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        QApplication::processEvents();
        const base::RecordPtr selected = selectedRecord();
        return status() + " | " + (selected ? *selected->get("id") : "none");
    };
    // another row, and the edited row itself
    EXPECT_EQ(rightClickAndChoose(SharewareTab, "a.com", "d.com", "&Remove Record"),
              "Shareware_Sites already exists a.com | a.com");
    EXPECT_EQ(rightClickAndChoose(ListingTab, "a.com", "b.com", "Set submit date to &Today"),
              "Tool already exists a.com | a.com");
    // an id refused as another window takes the focus: a command from there, as from the browser
    auto* editor = qobject_cast<QLineEdit*>(openEditor(ListingTab, rowOfId(4, "b.com"), "id"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "a.com");
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QApplication::processEvents();
    extends::Commands::find(extends::Command::TodayAction)->trigger();
    EXPECT_EQ(status(), "Tool already exists a.com");
    // the window used again: the menu after no edit
    window_->activateWindow();
    EXPECT_EQ(rightClickAndChoose(SharewareTab, nullptr, "d.com", "&Remove Record"), " | none");
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com", "b.com", "c.com"}));
    EXPECT_EQ(column("SELECT id || ' ' || quote(sub_date) FROM Tool ORDER BY id"),
              (std::vector<std::string>{"a.com NULL", "b.com NULL"}));

    // the shown product renamed by the store a command makes first: its listing comes forward,
    // and the command meant for the products does not run there
    selectTab(SoftwaresTab);
    editor = qobject_cast<QLineEdit*>(openEditor(SoftwaresTab, 0, "id"));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Tool2");
    extends::Commands::find(extends::Command::AddAction)->trigger();
    EXPECT_EQ(viewAt(ListingTab)->name, "Tool2");
    EXPECT_EQ(idsShown(ListingTab), (std::vector<std::string>{"a.com", "b.com"}));
    // the same ended by a right click: no menu of the products over the listing
    rightClickAndChoose(SoftwaresTab, "Tool3", "Tool2", "&Add Record", "Tool2");
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(viewAt(ListingTab)->name, "Tool3");
    EXPECT_EQ(idsShown(ListingTab), (std::vector<std::string>{"a.com", "b.com"}));
}

TEST_F(Commands, OnlyAWholeNumberFromZeroToTenIsStoredAsARank)
{
    addProduct("Tool", "2");
    exec("UPDATE Softwares SET home = 'tool.example';");
    addSite("Shareware_Sites", "a.com", "2");
    addListing("Tool", "a.com");
    addListing("Tool", "l.com");
    addSite("Black_Sites", "b.com", "2");
    addSite("Temp_Sites", "t.com", "2");
    RankService service;
    service.rank("http://www.a.com", "abc<b>x</b>");
    service.rank("http://www.a.com/", "-3");
    service.rank("http://www.b.com", "11");
    service.rank("http://www.t.com", std::string(5u << 20, '7'));
    service.rank("http://www.l.com", "1e1");
    service.rank("http://www.tool.example", " 08 ");
    openWindow();
    const std::pair<int, const char*> rows[] = {{SharewareTab, "a.com"},
                                                {BlackTab, "b.com"},
                                                {TempTab, "t.com"},
                                                {ListingTab, "l.com"},
                                                {SoftwaresTab, "Tool"}};
    for (const auto& [tab, id] : rows) {
        select(tab, id);
        QTest::keyClick(window_.get(), Qt::Key_G, Qt::ControlModifier);
    }
    EXPECT_EQ(status(), "1 rows updated on Softwares, column: pr, new value: 8");
    // an answer that is no rank is none: unranked, stored as -1 (a.com also in the listing)
    EXPECT_EQ(column("SELECT id || ' ' || pr FROM Shareware_Sites UNION ALL SELECT id || ' ' || "
                     "pr FROM Black_Sites UNION ALL SELECT id || ' ' || pr FROM Temp_Sites UNION "
                     "ALL SELECT id || ' ' || pr FROM Tool UNION ALL SELECT id || ' ' || pr FROM "
                     "Softwares"),
              (std::vector<std::string>{"a.com -1", "b.com -1", "t.com -1", "a.com -1", "l.com -1",
                                        "Tool 8"}));
    EXPECT_EQ(viewAt(TempTab)->getById("t.com")->get("pr"), "-1");
}

TEST_F(Commands, MovesBetweenTheSiteListsWithTheirCascades)
{
    const std::string product = "Bob's \"Tool\"; DROP TABLE Softwares;--";
    const std::string site = "o'hare.com";
    exec("INSERT INTO Softwares (id, home, pr, pad_locale, exe_locale, notes) VALUES (" +
         quoted(product) + ", '[Enter homepage]', '5', '', '', '');");
    exec("CREATE TABLE \"Bob's \"\"Tool\"\"; DROP TABLE Softwares;--\" (id UNIQUE NOT "
         "NULL,pr,listed_url,username,"
         "password,version,sub_date,backlink,sub_method,sort,sub_page,rev_days,g_user,g_pass,notes)"
         ";");
    addProduct("Other", "1");
    exec("INSERT INTO Shareware_Sites (id, pr) VALUES (" + quoted(site) + ", '4');");
    exec("INSERT INTO \"Bob's \"\"Tool\"\"; DROP TABLE Softwares;--\" (id, pr) VALUES (" +
         quoted(site) + ", '4');");
    exec("INSERT INTO Other (id, pr) VALUES (" + quoted(site) + ", '4');");
    exec("INSERT INTO Temp_Sites (id, pr, sub_page, notes) VALUES ('new''s.com', '6', "
         "'http://new.com/add', 'found');");
    openWindow();
    ASSERT_EQ(viewAt(ListingTab)->name, product);

    // a listing row to Black_Sites: gone from the catalogue and every listing table
    select(ListingTab, site);
    choose(ListingTab, "&Move to Black Sites List");
    EXPECT_EQ(column("SELECT id || '/' || pr FROM Black_Sites"),
              std::vector<std::string>{site + "/4"});
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites UNION ALL SELECT id FROM Other UNION ALL "
                     "SELECT id FROM "
                     "\"Bob's \"\"Tool\"\"; DROP TABLE Softwares;--\""),
              std::vector<std::string>{});
    EXPECT_EQ(idsShown(ListingTab), std::vector<std::string>{});
    EXPECT_EQ(idsShown(SharewareTab), std::vector<std::string>{});
    EXPECT_EQ(viewerAt(BlackTab)->selectedRecords().size(), 1u);

    // a candidate to the catalogue: copied into every listing table, gone from Temp_Sites
    select(TempTab, "new's.com");
    choose(TempTab, "&Move to Shareware Sites List");
    EXPECT_EQ(column("SELECT id || pr || sub_page || notes FROM Shareware_Sites"),
              std::vector<std::string>{"new's.com6http://new.com/addfound"});
    EXPECT_EQ(column("SELECT id FROM Other UNION ALL SELECT id FROM \"Bob's \"\"Tool\"\"; DROP "
                     "TABLE Softwares;--\""),
              (std::vector<std::string>{"new's.com", "new's.com"}));
    EXPECT_EQ(column("SELECT id FROM Temp_Sites"), std::vector<std::string>{});
    EXPECT_EQ(idsShown(ListingTab), std::vector<std::string>{"new's.com"});

    // back from Black_Sites to the catalogue
    select(BlackTab, site);
    choose(BlackTab, "&Move to Shareware Sites List");
    EXPECT_EQ(column("SELECT id FROM Black_Sites"), std::vector<std::string>{});
    EXPECT_EQ(column("SELECT id FROM Other ORDER BY id"),
              (std::vector<std::string>{"new's.com", site}));
    EXPECT_EQ(one("SELECT count(*) FROM Softwares"), "2");
}

TEST_F(Commands, AMoveTakesTheSiteUnderItsStoredIdNotAPlaceholderTypedOverIt)
{
    addProduct("Tool", "1");
    for (const char* site : {"s6.example", "s7.example"}) {
        addSite("Shareware_Sites", site);
        addListing("Tool", site);
    }
    addSite("Temp_Sites", "t.example");
    openWindow();
    // the id typed over with a placeholder, another cell edited meanwhile, then the move
    const auto move = [this](int tab, const std::string& id, const std::string& command) {
        edit(tab, rowOfId(tab, id), "id", QString("[p]"));
        edit(tab, rowOfId(tab, "[p]"), "g_user", QString("u"));
        select(tab, "[p]");
        choose(tab, command);
    };
    move(SharewareTab, "s6.example", "&Move to Black Sites List");
    edit(SharewareTab, rowOfId(SharewareTab, "s7.example"), "id", QString("[c]"));
    move(ListingTab, "s7.example", "&Move to Black Sites List");
    move(TempTab, "t.example", "&Move to Shareware Sites List");
    EXPECT_FALSE(db_->add(tab::Black_Site(), "Black_Sites"));
    EXPECT_EQ(status(), "please set the value of id");
    EXPECT_EQ(
        column("SELECT id || g_user FROM Black_Sites UNION ALL SELECT '/' || id || g_user "
               "FROM Shareware_Sites UNION ALL SELECT '/' || id || g_user FROM Tool "
               "UNION ALL SELECT id FROM Temp_Sites"),
        (std::vector<std::string>{"s6.exampleu", "s7.exampleu", "/t.exampleu", "/t.exampleu"}));
}

TEST_F(Commands, RowsWhoseIdsAnOlderFileHoldsAsANumberOrBytesAreWrittenAndRemoved)
{
    // twins: the same text held as a number, as a real shown "0.3", as bytes, and as text
    addProduct("Tool", "1");
    const std::string rows = "(12345, ''), ('12345', ''), (0.1 + 0.2, ''), (x'6869', ''), "
                             "('hi', ''), (777, '')";
    exec("INSERT INTO Shareware_Sites (id, notes) VALUES " + rows + ";");
    exec("INSERT INTO Tool (id, notes) VALUES " + rows + ";");
    exec("UPDATE Tool SET id = '777' WHERE id = 777;"); // a copy another version stored as text
    // one copy of twins: whose it is cannot be told, so an edit of either leaves it alone
    exec("INSERT INTO Shareware_Sites (id, notes) VALUES (555, ''), ('555', ''); INSERT INTO Tool "
         "(id, notes) VALUES ('555', 'kept');");
    openWindow();
    using Class = base::StoredKey::Class;
    const auto rowOf = [this](int tab, const std::string& id, Class type) {
        for (const base::RecordPtr& record : viewAt(tab)->getRecords())
            if (record->get("id") == id && record->storedKey()->type == type)
                return viewerAt(tab)->rowOf(record.get());
        return -1;
    };
    edit(SharewareTab, rowOf(SharewareTab, "12345", Class::Integer), "notes", QString("int"));
    edit(SharewareTab, rowOfId(SharewareTab, "0.3"), "notes", QString("real"));
    edit(SharewareTab, rowOf(SharewareTab, "hi", Class::Blob), "notes", QString("bytes"));
    edit(SharewareTab, rowOfId(SharewareTab, "777"), "notes", QString("copy"));
    edit(ListingTab, rowOf(ListingTab, "12345", Class::Text), "notes", QString("text"));
    edit(SharewareTab, rowOf(SharewareTab, "555", Class::Integer), "notes", QString("int"));
    const auto both = [this](const std::string& what) {
        return column("SELECT * FROM (SELECT " + what +
                      " FROM Shareware_Sites ORDER BY rowid) UNION ALL SELECT * FROM (SELECT '/' "
                      "|| " +
                      what + " FROM Tool ORDER BY rowid)");
    };
    EXPECT_EQ(both("typeof(id) || ' ' || id || ' ' || notes"),
              (std::vector<std::string>{"integer 12345 int", "text 12345 text", "real 0.3 real",
                                        "blob hi bytes", "text hi ", "integer 777 copy",
                                        "integer 555 int", "text 555 ", "/integer 12345 int",
                                        "/text 12345 text", "/real 0.3 real", "/blob hi bytes",
                                        "/text hi ", "/text 777 copy", "/text 555 kept"}));
    EXPECT_EQ(one("SELECT count(*) FROM Shareware_Sites WHERE id = 0.1 + 0.2"), "1");
    // the listing selects the row of the site selected in the catalogue, not its twin too
    selectTab(SharewareTab);
    clickRow(SharewareTab, rowOf(SharewareTab, "12345", Class::Integer));
    selectTab(ListingTab);
    const std::vector<base::RecordPtr> selected = viewerAt(ListingTab)->selectedRecords();
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0]->get("notes"), "int");

    // renamed and removed: the row acted on, in the catalogue and the listing
    edit(SharewareTab, rowOf(SharewareTab, "12345", Class::Integer), "id", QString("n.example"));
    select(SharewareTab, "0.3");
    choose(SharewareTab, "&Remove Record");
    selectTab(SharewareTab);
    viewerAt(SharewareTab)->setSelection({rowOf(SharewareTab, "hi", Class::Blob)});
    choose(SharewareTab, "&Remove Record");
    EXPECT_EQ(both("typeof(id) || ' ' || id"),
              (std::vector<std::string>{"text n.example", "text 12345", "text hi", "integer 777",
                                        "integer 555", "text 555", "/text n.example", "/text 12345",
                                        "/text hi", "/text 777", "/text 555"}));
    EXPECT_EQ(idsShown(SharewareTab).size(), 6u);

    // a row the file no longer holds: said, and the screen goes back
    exec("DELETE FROM Shareware_Sites;");
    const std::string lacks = " not stored: the file holds no row of that id";
    select(SharewareTab, "12345");
    choose(SharewareTab, "&Remove Record");
    EXPECT_EQ(status(), "removal of row 12345 from Shareware_Sites" + lacks);
    edit(SharewareTab, rowOfId(SharewareTab, "12345"), "notes", QString("again"));
    EXPECT_EQ(status(), "notes of row 12345 in Shareware_Sites" + lacks);
    EXPECT_EQ(viewAt(SharewareTab)->getById("12345")->get("notes"), "text");
}

TEST_F(Commands, ARowNeverStoredIsRemovedFromTheScreenOnly)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "[Enter id]"); // as older versions stored them
    addListing("Tool", "[Enter id]");
    openWindow();
    choose(SharewareTab, "&Add Record");
    ASSERT_EQ(idsShown(SharewareTab), (std::vector<std::string>{"[Enter id]", "[Enter id]"}));
    choose(SharewareTab, "&Remove Record");
    EXPECT_EQ(idsShown(SharewareTab), std::vector<std::string>{"[Enter id]"});
    EXPECT_TRUE(viewAt(SharewareTab)->getRecords().at(0)->storedId());
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites UNION ALL SELECT id FROM Tool"),
              (std::vector<std::string>{"[Enter id]", "[Enter id]"}));
}

TEST_F(Commands, AMoveTakesTheRowAsTheFileHoldsItNow)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.example", "2", "old a");
    addSite("Shareware_Sites", "b.example", "3", "old b");
    addListing("Tool", "b.example", ", notes", ", 'old listing b'");
    openWindow();
    // another window on the file stores its notes meanwhile
    exec("UPDATE Shareware_Sites SET notes = 'new a', pr = '5' WHERE id = 'a.example';"
         "UPDATE Tool SET notes = 'new listing b' WHERE id = 'b.example';");
    select(SharewareTab, "a.example");
    choose(SharewareTab, "&Move to Black Sites List");
    select(ListingTab, "b.example");
    choose(ListingTab, "&Move to Black Sites List");
    EXPECT_EQ(column("SELECT id || ' ' || pr || ' ' || notes FROM Black_Sites"),
              (std::vector<std::string>{"a.example 5 new a", "b.example -1 new listing b"}));
    EXPECT_EQ(viewAt(BlackTab)->getById("a.example")->get("notes"), "new a");
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites UNION ALL SELECT id FROM Tool"),
              std::vector<std::string>{});
}

TEST_F(Commands, AWriteThatFailsIsNeverAMoveOrAStamp)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com", "2");
    addListing("Tool", "a.com", ", listed_url", ", 'keep'");
    // the file refuses new Black_Sites rows and changed listing rows
    exec(
        "CREATE TRIGGER full BEFORE INSERT ON Black_Sites BEGIN SELECT RAISE(ABORT, 'disk full'); "
        "END;"
        "CREATE TRIGGER frozen BEFORE UPDATE ON Tool BEGIN SELECT RAISE(ABORT, 'disk full'); END;");
    RankService service;
    service.rank("http://www.a.com", "7");
    openWindow();
    select(ListingTab, "a.com");
    choose(ListingTab, "&Move to Black Sites List");
    EXPECT_NE(status().find("not stored"), std::string::npos) << status();
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites UNION ALL SELECT listed_url FROM Tool UNION "
                     "ALL SELECT id FROM "
                     "Black_Sites"),
              (std::vector<std::string>{"a.com", "keep"}));
    EXPECT_EQ(idsShown(ListingTab), std::vector<std::string>{"a.com"});
    EXPECT_EQ(idsShown(SharewareTab), std::vector<std::string>{"a.com"});
    EXPECT_EQ(idsShown(BlackTab), std::vector<std::string>{});

    select(ListingTab, "a.com");
    choose(ListingTab, "Set submit date to &Today");
    EXPECT_EQ(status().find("submit date setted"), std::string::npos) << status();
    EXPECT_EQ(viewAt(ListingTab)->getById("a.com")->get("sub_date"),
              one("SELECT sub_date FROM Tool"));

    // the rank reaches the catalogue row but not the listing table: none of it is kept
    select(SharewareTab, "a.com");
    choose(SharewareTab, "&Get PageRank");
    EXPECT_EQ(column("SELECT pr FROM Shareware_Sites UNION ALL SELECT pr FROM Tool"),
              (std::vector<std::string>{"2", "-1"}));
    EXPECT_EQ(viewAt(SharewareTab)->getById("a.com")->get("pr"), "2");
}

TEST_F(Commands, RemoveAllSynchronizeAndRemove)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com");
    addSite("Shareware_Sites", "b.com");
    addListing("Tool", "a.com");
    addSite("Temp_Sites", "t1.com");
    addSite("Temp_Sites", "t2.com");
    openWindow();
    unselect(TempTab);
    choose(TempTab, "Remove &All Record");
    EXPECT_EQ(column("SELECT id FROM Temp_Sites"), std::vector<std::string>{});
    EXPECT_EQ(viewerAt(TempTab)->rowCount(), 0);
    EXPECT_EQ(viewAt(TempTab)->length(), 0u);

    unselect(ListingTab);
    choose(ListingTab, "&Synchronize Shareware Sites");
    EXPECT_EQ(column("SELECT id FROM Tool ORDER BY id"),
              (std::vector<std::string>{"a.com", "b.com"}));
    EXPECT_EQ(idsShown(ListingTab).size(), 2u);

    select(SharewareTab, "b.com");
    choose(SharewareTab, "&Remove Record");
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites UNION ALL SELECT id FROM Tool"),
              (std::vector<std::string>{"a.com", "a.com"}));

    entry(window_->menu("&File"), "E&xit")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(Commands, StampsFromTodayAndThePadFile)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com");
    addListing("Tool", "a.com", ", username, password", ", '[user]', ''");
    exec("UPDATE Tool SET g_user='bob', g_pass='';");
    openWindow();
    const std::string today = dwin::time::WallClock::today(std::time(nullptr), true);
    select(ListingTab, "a.com");
    choose(ListingTab, "Set submit date to &Today");
    EXPECT_EQ(status(), "a.com submit date setted to " + today);
    EXPECT_EQ(one("SELECT sub_date FROM Tool"), today);

    // "t" typed into the cell runs the same command
    exec("UPDATE Tool SET sub_date='';");
    viewAt(ListingTab)->getById("a.com")->set("sub_date", "");
    edit(ListingTab, 0, "sub_date", QString("t"));
    EXPECT_EQ(one("SELECT sub_date FROM Tool"), today);

    // a new row keeps its date until its id is set, and is stored with it
    choose(ListingTab, "&Add Record");
    base::RecordPtr added = viewerAt(ListingTab)->selectedRecords().at(0);
    const std::string placeholder = added->get("id").value_or("");
    choose(ListingTab, "Set submit date to &Today");
    EXPECT_EQ(status(), placeholder + " submit date setted to " + today);
    edit(ListingTab, rowOfId(ListingTab, placeholder), "id", QString("n.com"));
    EXPECT_EQ(one("SELECT sub_date FROM Tool WHERE id='n.com'"), today);

    // version: missing, huge, not a plain file, binary, then a good PAD file
    const std::string folder = dir_.path().toStdString();
    const std::string pad = folder + "/pad.xml";
    auto versionFrom = [&](const std::string& path) {
        viewAt(SoftwaresTab)->getById("Tool")->set("pad_locale", "  " + path + " ");
        select(ListingTab, "a.com");
        choose(ListingTab, "Set &version to current Version");
        return one("SELECT version FROM Tool");
    };
    const std::string before = one("SELECT version FROM Tool");
    EXPECT_EQ(versionFrom(folder + "/missing.xml"), before);
    EXPECT_EQ(status(), " version for Tool not setted");
    const std::string notRead = " version for Tool not setted: pad file ";
    EXPECT_EQ(versionFrom(folder), before);
    EXPECT_EQ(status(), notRead + folder + " not read: not a file");
    ASSERT_EQ(::mkfifo((folder + "/fifo").c_str(), 0600), 0);
    EXPECT_EQ(versionFrom(folder + "/fifo"), before); // nothing waits for a writer
    EXPECT_EQ(status(), notRead + folder + "/fifo not read: not a file");
    {
        std::ofstream huge(pad, std::ios::binary);
        huge << "<Program_Version>9</Program_Version>" << std::string(5 * 1024 * 1024, 'x');
    }
    EXPECT_EQ(versionFrom(pad), before);
    EXPECT_EQ(status(), notRead + pad + " not read: too large (5242916 bytes, at most 4194304)");
    // a file that declares nothing and is no UTF-8 is read as Windows-1252
    auto write = [&](const std::string& bytes) {
        std::ofstream(pad, std::ios::binary | std::ios::trunc) << bytes;
    };
    write(std::string("\0\xff\xfe<Program_Version>2.\xe9\xff</Program_Version>\x80", 43));
    EXPECT_EQ(versionFrom(pad), "2.\xc3\xa9\xc3\xbf");
    write("<PAD><Program_Version>2.1</Program_Version></PAD>");
    EXPECT_EQ(versionFrom(pad), "2.1");
    EXPECT_EQ(status(), "a.com submited version setted to 2.1");

    // the file's own encoding, its escapes and character references; no entity of a DTD
    write("<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n<Program_Version>2.0 b\xEAta &amp; "
          "\x93q\x94</Program_Version>");
    EXPECT_EQ(versionFrom(pad), "2.0 b\xC3\xAAta & \xE2\x80\x9Cq\xE2\x80\x9D");
    const std::u16string utf16 = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                 u"<Program_Version>3 \u03B1&lt;&#x1F600;&#946;</Program_Version>";
    std::string bytes;
    for (char16_t unit : utf16)
        bytes += {char(unit & 0xFF), char(unit >> 8)};
    write(bytes);
    EXPECT_EQ(versionFrom(pad), "3 \xCE\xB1<\xF0\x9F\x98\x80\xCE\xB2");
    write("<!DOCTYPE PAD [<!ENTITY v SYSTEM \"" + pad +
          "\"><!ENTITY w \"9\">]><PAD>"
          "<Program_Version>&v;&w;&#0;&#65<![CDATA[ &amp;]]></Program_Version></PAD>");
    EXPECT_EQ(versionFrom(pad), "&v;&w;&#0;&#65 &amp;");
    const std::string kept = one("SELECT version FROM Tool");
    write("<?xml version='1.0' encoding='x-unknown'?><Program_Version>9</Program_Version>");
    EXPECT_EQ(versionFrom(pad), kept);
    EXPECT_EQ(status(), notRead + pad + " not read: encoding x-unknown not supported");

    // taken as UTF-8, a stray byte reads as its Windows-1252 character; the value is trimmed
    const std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<PAD>";
    write(utf8 +
          "<Company_Name>Brightfen\xAE \xA9 2009</Company_Name>\r\n  <Program_Version>"
          "\r\n      3.4.5\r\n    </Program_Version></PAD>");
    EXPECT_EQ(versionFrom(pad), "3.4.5");
    EXPECT_EQ(status(), "a.com submited version setted to 3.4.5");
    write(utf8 +
          "<Program_Version>\t4\xC2\xA0\xE9\xC3\xA9 \x93"
          "b\x94\xA0</Program_Version>");
    EXPECT_EQ(versionFrom(pad),
              "4\xC2\xA0\xC3\xA9\xC3\xA9 \xE2\x80\x9C"
              "b\xE2\x80\x9D");
    write("\xEF\xBB\xBF<Program_Version><![CDATA[ 5\xA9 ]]></Program_Version>");
    edit(ListingTab, rowOfId(ListingTab, "a.com"), "version", QString("v")); // as the command does
    EXPECT_EQ(one("SELECT version FROM Tool"), "5\xC2\xA9");
    write(utf8 + "<Program_Version> \r\n\t</Program_Version>");
    EXPECT_EQ(versionFrom(pad), "5\xC2\xA9");
    EXPECT_EQ(status(), " version for Tool not setted");

    // outside a listing table the stamps only clear the status line
    select(SharewareTab, "a.com");
    window_->setStatus("x");
    emit placed("Set submit date to &Today")->triggered();
    EXPECT_EQ(status(), "");

    // credentials: the row's own, else the general one
    QApplication::clipboard()->setText("kept");
    select(ListingTab, "a.com");
    choose(ListingTab, "Copy &username to clipboard");
    EXPECT_EQ(status(), "copied to clipboard : bob");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "bob");
    QApplication::clipboard()->setText("kept");
    emit entry(contextMenu(ListingTab), "Copy &password to clipboard")->triggered();
    EXPECT_EQ(status(), "failed to get password");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "kept");
}

TEST_F(Commands, AcceleratorsLeaveTextBeingEditedAlone)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com");
    addSite("Shareware_Sites", "b.com");
    // a command that slipped through would find no service
    ::setenv("QMK_SEARCH_URL", lookups_test::deadBaseUrl().c_str(), 1);
    ::setenv("QMK_MAKER_URL", lookups_test::deadBaseUrl().c_str(), 1);
    openWindow();
    QSignalSpy home(extends::Commands::find(extends::Command::HomeAction), &QAction::triggered);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    select(SharewareTab, "a.com");
    QTableView* table = viewerAt(SharewareTab)->getTable();
    QModelIndex cell = table->model()->index(rowOfId(SharewareTab, "a.com"), 0);
    table->setCurrentIndex(cell);
    table->edit(cell);
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->setText("abc");
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier); // cuts
    EXPECT_EQ(editor->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "abc");
    editor->setText("abc");
    for (Qt::Key key : {Qt::Key_A, Qt::Key_G, Qt::Key_B, Qt::Key_M, Qt::Key_D})
        QTest::keyClick(editor, key, Qt::ControlModifier);
    EXPECT_EQ(editor->selectedText(), "abc");
    QTest::keyClick(editor, Qt::Key_F1); // Home, also without Ctrl
    EXPECT_EQ(home.count(), 0);
    EXPECT_TRUE(dialogs_.empty());
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites"),
              (std::vector<std::string>{"a.com", "b.com"}));
    EXPECT_EQ(viewerAt(SharewareTab)->rowCount(), 2);
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();

    // the notes box
    window_->notesText()->setFocus();
    QTest::keyClick(window_->notesText(), Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(window_->notesText(), Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(window_->notesText(), Qt::Key_M, Qt::ControlModifier);
    QTest::keyClick(window_->notesText(), Qt::Key_F1);
    EXPECT_EQ(home.count(), 0);
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites"),
              (std::vector<std::string>{"a.com", "b.com"}));
    EXPECT_EQ(viewerAt(SharewareTab)->rowCount(), 2);

    // in the window the same keys are the commands
    table->setFocus();
    select(SharewareTab, "b.com");
    QTest::keyClick(table, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{"a.com"});
    QTest::keyClick(table, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(viewerAt(SharewareTab)->rowCount(), 2); // a new row waits for its id

    // and so are the shown table's context-menu entries; Ctrl+D takes the current cell
    const std::string path = ::getenv("PATH");
    ::setenv("PATH", "/nonexistent", 1); // no desktop opener: no browser
    const QModelIndex rank = table->model()->index(rowOfId(SharewareTab, "a.com"), 1);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(rank).center());
    select(SharewareTab, "a.com");
    QTest::keyClick(table, Qt::Key_D, Qt::ControlModifier);
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(status(), "navigate to http://www.a.com");
    QTest::keyClick(table, Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(column("SELECT id FROM Black_Sites"), std::vector<std::string>{"a.com"});
    select(BlackTab, "a.com");
    QTest::keyClick(viewerAt(BlackTab)->getTable(), Qt::Key_S, Qt::ControlModifier);
    exec("DELETE FROM Tool;");
    selectTab(ListingTab);
    QTest::keyClick(viewerAt(ListingTab)->getTable(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites UNION ALL SELECT id FROM Tool"),
              (std::vector<std::string>{"a.com", "a.com"}));

    // a restored window: the first key acts, also with the focus on the tab bar or the tool bar
    closeWindow();
    exec("DROP TABLE Tool; DELETE FROM Softwares;");
    addSite("Shareware_Sites", "c.com");
    reopenDatabase();
    setSetting("last_ctabitem_index", std::to_string(SharewareTab));
    setSetting("last_id", "a.com");
    openWindow();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    auto press = [this](Qt::Key key) { // where a real key press goes
        QWidget* focus = window_->focusWidget();
        QTest::keyClick(focus ? focus : window_.get(), key, Qt::ControlModifier);
        QApplication::processEvents();
    };
    EXPECT_EQ(window_->focusWidget(), viewerAt(SharewareTab)->getTable());
    press(Qt::Key_M);
    EXPECT_EQ(column("SELECT id FROM Black_Sites"), std::vector<std::string>{"a.com"});
    selectTab(BlackTab);
    select(BlackTab, "a.com");
    window_->getTabFolder()->tabBar()->setFocus();
    press(Qt::Key_S);
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com", "c.com"}));
    select(SharewareTab, "c.com");
    window_->toolBar()->setFocus();
    press(Qt::Key_M);
    EXPECT_EQ(column("SELECT id FROM Black_Sites"), std::vector<std::string>{"c.com"});

    // the listing of the first product comes forward when its id is given
    selectTab(SoftwaresTab);
    extends::Commands::run(extends::Command::AddAction);
    edit(SoftwaresTab, 0, "id", QString("Kit"));
    EXPECT_EQ(window_->focusWidget(), viewerAt(ListingTab)->getTable());
    exec("DELETE FROM Kit;");
    press(Qt::Key_Y);
    EXPECT_EQ(column("SELECT id FROM Kit"), std::vector<std::string>{"a.com"});
    ::unsetenv("QMK_SEARCH_URL");
    ::unsetenv("QMK_MAKER_URL");
}

TEST_F(Commands, PagesOfTheClickedCellAndTheSelectedRow)
{
    // the desktop's opener, as the shell command finds it on the path
    const std::string folder = dir_.path().toStdString();
    const std::string opened = folder + "/opened.txt";
    std::ofstream(folder + "/xdg-open") << "#!/bin/sh\necho \"$1\" >> '" << opened << "'\n";
    ::chmod((folder + "/xdg-open").c_str(), 0700);
    const std::string path = ::getenv("PATH") ? ::getenv("PATH") : "";
    ::setenv("PATH", (folder + ":" + path).c_str(), 1);
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com");
    addSite("Shareware_Sites", "ten.com");
    exec("UPDATE Shareware_Sites SET sub_page='http://a.c' WHERE id='ten.com';");
    addListing("Tool", "a.com", ", listed_url", ", 'ftp://x'");
    openWindow();
    auto click = [this](int tab, const std::string& id, const std::string& columnName) {
        selectTab(tab);
        QTableView* table = viewerAt(tab)->getTable();
        const QRect cell = table->visualRect(
            table->model()->index(rowOfId(tab, id), columnIndex(tab, columnName)));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QApplication::processEvents();
    };
    click(SharewareTab, "a.com", "id");
    window_->setStatus("x");
    choose(SharewareTab, "Open URL with default Browser");
    EXPECT_EQ(status(), "navigate to http://www.a.com");
    for (int i = 0; i < 200 && readFile(opened).empty(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(readFile(opened), "http://www.a.com\n");
    ::setenv("PATH", path.c_str(), 1);

    // a product's id and a listing address that is no web page are no addresses
    click(SoftwaresTab, "Tool", "id");
    EXPECT_FALSE(enabledIn(SoftwaresTab, "Open URL with default Browser"));
    EXPECT_FALSE(enabledIn(SoftwaresTab, "Open &URL with internal Browser"));
    click(ListingTab, "a.com", "listed_url");
    EXPECT_FALSE(enabledIn(ListingTab, "Open URL with default Browser"));

    // pages of the selected row that are not filled in
    select(SoftwaresTab, "Tool");
    emit placed("Open &Home Page")->triggered();
    EXPECT_EQ(status(), "home page for Tool not setted");
    select(SharewareTab, "ten.com");
    emit placed("Open &Submit Page")->triggered();
    EXPECT_EQ(status(), "home page for ten.com not setted");
}

} // namespace
} // namespace qmk::test
