// Writes that fail while the program's own operations run: a trigger or the authoriser in the
// middle of a cascade, another program's lock, a full file, a read-only file. Each time the file
// is checked through a raw SQLite connection of its own.
#include "Fixture.h"

#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

using namespace qmk;
using namespace qmk::test;
namespace sqlite = dwin::database::sqlite;

namespace {

// A second connection to the same file, as another program would hold it.
class Raw {
public:
    explicit Raw(const std::filesystem::path& file)
    {
        if (sqlite3_open(file.c_str(), &handle_) != SQLITE_OK)
            ADD_FAILURE() << "raw open failed";
    }
    ~Raw() { close(); }
    void close()
    {
        sqlite3_close(handle_);
        handle_ = nullptr;
    }
    int exec(const std::string& sql)
    {
        return sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr);
    }
    // The first column of every row, "<none>" when the query fails.
    std::vector<std::string> rows(const std::string& sql)
    {
        std::vector<std::string> out;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            return {"<none>"};
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(statement, 0);
            out.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
        }
        sqlite3_finalize(statement);
        return out;
    }
    std::string one(const std::string& sql)
    {
        auto all = rows(sql);
        return all.empty() ? "<no row>" : all.front();
    }

private:
    sqlite3* handle_ = nullptr;
};

// Denies the actions the test names, on the program's own connection.
class Denier : public sqlite::IAuthorizer {
public:
    std::function<bool(sqlite::SQLiteAuthAction, std::string_view)> deny;
    sqlite::SQLiteAuthCode authorize(sqlite::SQLiteAuthAction action, std::string_view,
                                     std::string_view table, std::string_view,
                                     std::string_view) override
    {
        return deny && deny(action, table) ? sqlite::SQLiteAuthCode::Deny
                                           : sqlite::SQLiteAuthCode::Ok;
    }
};

class Faults : public DbTest {
protected:
    Raw raw{dir.path() / "qmk.db"};

    // Alpha (pr 5) > Beta (pr 3) > Gamma (pr 1), each listing s.com.
    void threeProductsListing(const std::string& site)
    {
        addProduct("Alpha", "5");
        addProduct("Beta", "3");
        addProduct("Gamma", "1");
        ASSERT_TRUE(db->add(*this->site(site, "first"), "Shareware_Sites"));
        window.clearCalls();
    }
    std::vector<std::string> listedIn(const std::string& site)
    {
        std::vector<std::string> tables;
        for (const char* table : {"Shareware_Sites", "Alpha", "Beta", "Gamma"})
            if (raw.one(std::string("SELECT count(*) FROM \"") + table + "\" WHERE id = '" + site +
                        "'") == "1")
                tables.push_back(table);
        return tables;
    }
    bool successShown() const
    {
        for (const auto& call : window.calls)
            if (call.find("rows inserted") != std::string::npos ||
                call.find("rows updated") != std::string::npos)
                return true;
        return false;
    }
    std::shared_ptr<Denier>
    deny(std::function<bool(sqlite::SQLiteAuthAction, std::string_view)> rule)
    {
        auto denier = std::make_shared<Denier>();
        denier->deny = std::move(rule);
        db->getConnection().setAuthorizer(denier);
        return denier;
    }
};

const std::vector<std::string> kAll = {"Shareware_Sites", "Alpha", "Beta", "Gamma"};

TEST_F(Faults, TriggerInTheMiddleOfEachSiteCascadeLeavesNothingHalfWritten)
{
    threeProductsListing("s.com");

    // add: the catalogue row and Alpha's copy go back with Beta's refusal; Gamma is not skipped
    // silently, the whole add is reported.
    raw.exec("CREATE TRIGGER stop BEFORE INSERT ON Beta BEGIN SELECT RAISE(ABORT, 'Beta refuses'); "
             "END;");
    EXPECT_FALSE(db->add(*site("n.com"), "Shareware_Sites"));
    EXPECT_EQ(listedIn("n.com"), std::vector<std::string>{});
    EXPECT_EQ(window.statusText, "row n.com of Shareware_Sites not stored: Beta refuses");
    EXPECT_FALSE(successShown());
    raw.exec("DROP TRIGGER stop;");
    EXPECT_TRUE(db->add(*site("n.com"), "Shareware_Sites"));
    EXPECT_EQ(listedIn("n.com"), kAll);

    // update of a catalogue column that travels into every listing
    raw.exec("CREATE TRIGGER stop BEFORE UPDATE ON Beta BEGIN SELECT RAISE(ABORT, 'Beta refuses'); "
             "END;");
    window.clearCalls();
    EXPECT_FALSE(db->updateFieldCascade("Shareware_Sites", "s.com", "notes", "second"));
    for (const auto& table : kAll)
        EXPECT_EQ(raw.one("SELECT notes FROM \"" + table + "\" WHERE id = 's.com'"), "first")
            << table;
    EXPECT_EQ(window.statusText, "notes of row s.com in Shareware_Sites not stored: Beta refuses");
    EXPECT_FALSE(successShown());
    EXPECT_TRUE(window.called("open:Listed_Urls")); // the listing on show is read again
    raw.exec("DROP TRIGGER stop;");
    EXPECT_TRUE(db->updateFieldCascade("Shareware_Sites", "s.com", "notes", "second"));
    for (const auto& table : kAll)
        EXPECT_EQ(raw.one("SELECT notes FROM \"" + table + "\" WHERE id = 's.com'"), "second")
            << table;

    // delete of a catalogue site
    raw.exec("CREATE TRIGGER stop BEFORE DELETE ON Gamma BEGIN SELECT RAISE(ABORT, 'Gamma "
             "refuses'); END;");
    EXPECT_EQ(db->deleteRecord(*stored(site("s.com")), "Shareware_Sites"), DB::notStored);
    EXPECT_EQ(listedIn("s.com"), kAll);
    EXPECT_EQ(window.statusText,
              "removal of row s.com from Shareware_Sites not stored: Gamma refuses");
    raw.exec("DROP TRIGGER stop;");
    EXPECT_EQ(db->deleteRecord(*stored(site("s.com")), "Shareware_Sites"), 1);
    EXPECT_EQ(listedIn("s.com"), std::vector<std::string>{});

    // a site added to the current listing reaches the catalogue and the other listings, or nothing does
    show("Alpha");
    raw.exec("CREATE TRIGGER stop BEFORE INSERT ON Gamma BEGIN SELECT RAISE(ABORT, 'Gamma "
             "refuses'); END;");
    tab::Listed_Url row;
    row.set("id", "l.com");
    EXPECT_FALSE(db->add(row, "Alpha"));
    EXPECT_EQ(listedIn("l.com"), std::vector<std::string>{});
    raw.exec("DROP TRIGGER stop;");
    EXPECT_TRUE(db->add(row, "Alpha"));
    EXPECT_EQ(listedIn("l.com"), kAll);
    EXPECT_TRUE(db->getConnection().isAutoCommit());
}

TEST_F(Faults, ProductCascadesStoppedByTheAuthoriserKeepProductAndTableTogether)
{
    threeProductsListing("s.com");
    const auto products = [this] { return raw.rows("SELECT id FROM Softwares ORDER BY id"); };
    const std::vector<std::string> before = {"Alpha", "Beta", "Gamma"};

    // rename: the row is renamed first, the table after it; the refused table rename takes the row back
    auto denier = deny([](auto action, std::string_view table) {
        return action == sqlite::SQLiteAuthAction::AlterTable && table == "Beta";
    });
    EXPECT_FALSE(db->updateFieldCascade("Softwares", "Beta", "id", "Delta"));
    EXPECT_EQ(products(), before);
    EXPECT_EQ(listedIn("s.com"), kAll);
    EXPECT_FALSE(hasTable("Delta"));
    EXPECT_EQ(window.statusText, "id of row Beta in Softwares not stored: not authorized");
    EXPECT_FALSE(window.called("unregister:Beta")); // the registry still matches the file

    // a letter-case rename refused on its second step, through the free name
    denier->deny = [](auto action, std::string_view table) {
        return action == sqlite::SQLiteAuthAction::AlterTable && table == "Beta (renaming)";
    };
    EXPECT_FALSE(db->updateFieldCascade("Softwares", "Beta", "id", "BETA"));
    EXPECT_EQ(products(), before);
    EXPECT_EQ(raw.rows("SELECT name FROM sqlite_master WHERE name LIKE 'beta%'"),
              std::vector<std::string>{"Beta"});

    // a product's delete without its table's drop
    denier->deny = [](auto action, std::string_view) {
        return action == sqlite::SQLiteAuthAction::DropTable;
    };
    tab::Software gamma;
    gamma.set("id", "Gamma");
    gamma.setStored();
    EXPECT_EQ(db->deleteRecord(gamma, "Softwares"), DB::notStored);
    EXPECT_EQ(products(), before);
    EXPECT_TRUE(hasTable("Gamma"));

    // a new product without its listing table
    denier->deny = [](auto action, std::string_view) {
        return action == sqlite::SQLiteAuthAction::CreateTable;
    };
    tab::Software omega;
    omega.set("id", "Omega");
    EXPECT_FALSE(db->add(omega, "Softwares"));
    EXPECT_EQ(products(), before);
    EXPECT_FALSE(window.called("register:Omega"));

    // the same edits once nothing stands in the way
    db->getConnection().setAuthorizer(nullptr);
    EXPECT_TRUE(db->updateFieldCascade("Softwares", "Beta", "id", "BETA"));
    EXPECT_EQ(raw.one("SELECT count(*) FROM BETA WHERE id = 's.com'"), "1");
    EXPECT_TRUE(db->updateFieldCascade("Softwares", "BETA", "id", "Delta"));
    EXPECT_EQ(raw.one("SELECT count(*) FROM Delta WHERE id = 's.com'"), "1");
    EXPECT_EQ(db->deleteRecord(gamma, "Softwares"), 1);
    EXPECT_FALSE(hasTable("Gamma"));
    EXPECT_TRUE(db->add(omega, "Softwares"));
    EXPECT_TRUE(hasTable("Omega"));
    EXPECT_EQ(products(), (std::vector<std::string>{"Alpha", "Delta", "Omega"}));
}

TEST_F(Faults, NamesSqliteTakesForOneAreRefused)
{
    addProduct("Tool", "1");
    exec("CREATE TABLE \"Spare\" (id);");
    const auto product = [](const std::string& id) {
        tab::Software record;
        record.set("id", id);
        return record;
    };
    EXPECT_FALSE(db->add(product("TOOL"), "Softwares"));
    EXPECT_EQ(window.statusText,
              "product id TOOL refused: it differs from Tool only in letter case, and both would "
              "share one table");
    EXPECT_FALSE(db->add(product("temp_sites"), "Softwares"));
    EXPECT_EQ(window.statusText,
              "product id temp_sites refused: it differs from Temp_Sites only in letter case, "
              "and both would share one table");
    EXPECT_EQ(raw.rows("SELECT id FROM Softwares"), std::vector<std::string>{"Tool"});

    // a rename onto a table that exists never adopts its rows
    exec("INSERT INTO \"Spare\" VALUES ('stranger.com');");
    EXPECT_FALSE(db->updateFieldCascade("Softwares", "Tool", "id", "Spare"));
    EXPECT_EQ(window.statusText, "product id Spare refused: a table named Spare exists already");
    EXPECT_EQ(raw.rows("SELECT id FROM Softwares"), std::vector<std::string>{"Tool"});
    EXPECT_TRUE(hasTable("Tool"));

    // a zero byte in a name: nothing throws, and no product is kept without its table
    const std::string zero("a\0b", 3);
    EXPECT_FALSE(hasTable(zero));
    EXPECT_NO_THROW(EXPECT_FALSE(db->add(product(zero), "Softwares")));
    EXPECT_EQ(raw.rows("SELECT id FROM Softwares"), std::vector<std::string>{"Tool"});
    EXPECT_NE(window.statusText.find("not stored"), std::string::npos) << window.statusText;
}

TEST_F(Faults, AnotherProgramsLockIsWaitedForThenReported)
{
    addProduct("Tool", "1");
    ASSERT_TRUE(db->add(*site("s.com", "first"), "Shareware_Sites"));
    window.clearCalls();

    ASSERT_EQ(raw.exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
    EXPECT_EQ(db->updateField("Shareware_Sites", "s.com", "notes", "second"), DB::notStored);
    EXPECT_EQ(window.statusText,
              "notes of row s.com in Shareware_Sites not stored: database is locked");
    EXPECT_FALSE(db->updateFieldCascade("Shareware_Sites", "s.com", "notes", "second"));
    EXPECT_FALSE(db->add(*site("n.com"), "Shareware_Sites"));
    EXPECT_FALSE(db->clearTable());
    EXPECT_FALSE(successShown());
    EXPECT_FALSE(window.called("open:Listed_Urls")); // nothing is read while the file is locked
    ASSERT_EQ(raw.exec("ROLLBACK;"), SQLITE_OK);
    EXPECT_EQ(listedIn("s.com"), (std::vector<std::string>{"Shareware_Sites"}));
    EXPECT_EQ(raw.one("SELECT notes FROM Tool WHERE id = 's.com'"), "first");

    // A lock let go within the wait is no failure at all.
    ASSERT_EQ(raw.exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
    db->getConnection().setBusyTimeout(5000);
    std::thread release([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        raw.exec("ROLLBACK;");
    });
    EXPECT_TRUE(db->updateFieldCascade("Shareware_Sites", "s.com", "notes", "second"));
    release.join();
    EXPECT_EQ(raw.one("SELECT notes FROM Tool WHERE id = 's.com'"), "second");

    // At opening: the same wait, then the error that the start-up dialog shows.
    ASSERT_EQ(raw.exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
    try {
        DB locked((dir.path() / "qmk.db").string(), nullptr, 100);
        ADD_FAILURE() << "opened under an exclusive lock";
    } catch (const sqlite::SQLiteVMException& e) {
        EXPECT_NE(std::string(e.what()).find("database is locked"), std::string::npos) << e.what();
    }
    std::thread later([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        raw.exec("ROLLBACK;");
    });
    EXPECT_NO_THROW(DB patient((dir.path() / "qmk.db").string(), nullptr, 5000));
    later.join();
}

TEST_F(Faults, FullFileStopsACascadeHalfWayAndNothingOfItIsKept)
{
    threeProductsListing("s.com");
    // Each copy of a site with long notes needs a page of its own; the file may grow by two.
    const std::string pages = raw.one("PRAGMA page_count;");
    exec("PRAGMA max_page_count = " + std::to_string(std::stoi(pages) + 2) + ";");
    const std::string longNotes(6000, 'n');
    EXPECT_FALSE(db->add(*site("big.com", longNotes), "Shareware_Sites"));
    EXPECT_EQ(window.statusText,
              "row big.com of Shareware_Sites not stored: database or disk is full");
    EXPECT_EQ(listedIn("big.com"), std::vector<std::string>{});
    EXPECT_TRUE(db->getConnection().isAutoCommit());
    exec("PRAGMA max_page_count = 1000000;");
    EXPECT_TRUE(db->add(*site("big.com", longNotes), "Shareware_Sites"));
    EXPECT_EQ(listedIn("big.com"), kAll);
}

// A read-only file: root writes whatever the file's mode says, so the check runs in a child
// process that has given up root.
TEST_F(Faults, ReadOnlyFileIsSeenAtOpeningAndEveryWriteIsReported)
{
    addProduct("Tool", "1");
    ASSERT_TRUE(db->add(*site("s.com", "first"), "Shareware_Sites"));
    db.reset();
    const std::string file = (dir.path() / "qmk.db").string();
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const auto check = [&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            std::exit(3);
        FakeWindow fake;
        DB readOnly(file, &fake, 100);
        fake.db = &readOnly;
        if (!readOnly.isReadOnly())
            std::exit(4);
        const bool refused =
            readOnly.updateField("Shareware_Sites", "s.com", "notes", "second") == DB::notStored &&
            fake.statusText ==
                "notes of row s.com in Shareware_Sites not stored: attempt to "
                "write a readonly database" &&
            !readOnly.add(*site("n.com"), "Shareware_Sites");
        std::exit(refused ? 0 : 5);
    };
    EXPECT_EXIT(check(), testing::ExitedWithCode(0), "");
    EXPECT_EQ(raw.one("SELECT notes FROM Tool WHERE id = 's.com'"), "first");
    EXPECT_EQ(raw.one("SELECT count(*) FROM Shareware_Sites"), "1");

    // The file in WAL mode, its last change in the log (copied aside while it was open): read-only
    // as it stands, and through its log and index; a log whose index is missing is said.
    namespace fs = std::filesystem;
    const fs::path aside = dir.path() / "aside";
    fs::create_directory(aside);
    ASSERT_EQ(raw.exec("PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; UPDATE Tool SET "
                       "notes = 'logged' WHERE id = 's.com';"),
              SQLITE_OK);
    for (const char* ending : {"", "-wal", "-shm"})
        fs::copy_file(file + ending, aside / (std::string("qmk.db") + ending));
    raw.close(); // checkpointed: no log left
    const auto reads = [&](const char* notes, const char* refusal) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            std::exit(3);
        try {
            FakeWindow fake;
            DB readOnly(file, &fake, 100);
            auto cursor = readOnly.getConnection().createCursor();
            cursor.execute("SELECT notes FROM Tool WHERE id = 's.com'");
            std::exit(readOnly.isReadOnly() && !refusal && cursor.getText(0) == notes ? 0 : 4);
        } catch (const std::exception& e) {
            std::exit(refusal && std::string(e.what()) == file + ": it cannot be read: " + refusal
                          ? 0
                          : 5);
        }
    };
    ASSERT_FALSE(fs::exists(file + "-wal"));
    EXPECT_EXIT(reads("logged", nullptr), testing::ExitedWithCode(0), "");
    for (const char* ending : {"", "-wal", "-shm"})
        fs::copy_file(aside / (std::string("qmk.db") + ending), file + ending,
                      fs::copy_options::overwrite_existing);
    EXPECT_EXIT(reads("logged", nullptr), testing::ExitedWithCode(0), "");
    fs::remove(file + "-shm");
    const std::string missing = "its write-ahead log " + file +
        "-wal holds changes that are read through the index " + file +
        "-shm, which is missing, and the folder does not let the program make it.";
    EXPECT_EXIT(reads(nullptr, missing.c_str()), testing::ExitedWithCode(0), "");
}

} // namespace
