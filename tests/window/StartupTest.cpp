// Start-up and shutdown as the program runs them, on a data folder of the test's own.
#include "Fixture.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/DBOpen.h"
#include "qmk/Startup.h"
#include "qmk/config/Config.h"
#include "winsup/ScopedEnv.h"

#include <QApplication>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include <unistd.h>

namespace qmk::test {
namespace {

// Closes whatever the program shows once its event loop runs, and notes what it saw.
struct Closer {
    std::string modalText;
    std::string status;
    int tabs = -1;
    void arm()
    {
        QTimer::singleShot(0, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (auto* box = qobject_cast<QMessageBox*>(modal))
                    modalText = box->text().toStdString();
                modal->close();
                return;
            }
            if (MainWindow* window = MainWindow::getInstance()) {
                tabs = window->getTabFolder()->count();
                status = window->statusText();
                window->close();
            }
        });
    }
};

// The file and whichever of its journal and log exist, by name ending.
std::map<std::string, std::string> databaseFiles(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const char* ending : {"", "-journal", "-wal", "-shm"})
        if (std::filesystem::exists(folder + "/qmk.db" + ending))
            files[ending] = readFile(folder + "/qmk.db" + ending);
    return files;
}

// The names in folder, hidden ones too.
std::set<std::string> folderNames(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Runs sql on another file and copies it, with its journal or log, to qmk.db while its
// connection is still open, as a crash or a running program would leave it.
void copyWhileOpen(const std::string& folder, const std::string& sql)
{
    namespace fs = std::filesystem;
    const std::string source = folder + "/other.db";
    for (const char* ending : {"", "-journal", "-wal", "-shm"})
        fs::remove(folder + "/qmk.db" + ending);
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(source.c_str(), &handle), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    for (const char* ending : {"", "-journal", "-wal", "-shm"})
        if (fs::exists(source + ending))
            fs::copy_file(source + ending, folder + "/qmk.db" + ending);
    sqlite3_close(handle); // the open transaction rolls back
    fs::remove(source);
}

// A write too big for the cache reaches the file before its end: the copy's journal is hot.
const std::string kUnfinishedWrite =
    "PRAGMA cache_size = 1; BEGIN; INSERT INTO {} WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
    "SELECT i + 1 FROM n WHERE i < 2000) SELECT 's' || i, hex(randomblob(200)) FROM n;";

std::string unfinishedWrite(const std::string& table)
{
    std::string sql = kUnfinishedWrite;
    return sql.replace(sql.find("{}"), 2, table);
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString() + "/Brightfen/Quillmark";
        config::Config::setInstance(std::make_unique<config::Config>(folder_, "qmk.config"));
    }
    QTemporaryDir dir_;
    std::string folder_;
};

TEST_F(Startup, EmptyDataFolderGetsDatabaseTablesAndSettingsFile)
{
    std::filesystem::remove_all(folder_);
    config::Config::setInstance(std::make_unique<config::Config>(folder_, "qmk.config"));
    Closer closer;
    closer.arm();
    EXPECT_EQ(startQuillmark(), 0);
    EXPECT_EQ(closer.tabs, 4); // no products: no listing tab
    EXPECT_TRUE(std::filesystem::is_regular_file(folder_ + "/qmk.db"));
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open((folder_ + "/qmk.db").c_str(), &handle), SQLITE_OK);
    for (const char* table : {"Softwares", "Shareware_Sites", "Black_Sites", "Temp_Sites"}) {
        sqlite3_stmt* statement = nullptr;
        std::string sql = std::string("SELECT count(*) FROM \"") + table + "\";";
        EXPECT_EQ(sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
            << table;
        sqlite3_finalize(statement);
    }
    sqlite3_close(handle);
    const std::string settings = readFile(folder_ + "/qmk.config");
    EXPECT_EQ(settings.rfind("#", 0), 0u);
    EXPECT_NE(settings.find("last_ctabitem_index=3\n"), std::string::npos);
    EXPECT_NE(settings.find("last_listed_urls=\n"), std::string::npos);
    EXPECT_EQ(settings.find("last_id"), std::string::npos); // nothing was selected
}

TEST_F(Startup, DatabaseThatCannotBeOpenedIsReportedAndTheProgramEnds)
{
    std::ofstream(folder_ + "/qmk.db") << std::string(4096, 'x'); // not a database
    Closer closer;
    closer.arm();
    EXPECT_EQ(startQuillmark(), 1);
    EXPECT_NE(closer.modalText.find("cannot be opened"), std::string::npos) << closer.modalText;
    EXPECT_EQ(MainWindow::getInstance(), nullptr);

    // another program's database: refused the same way, and not a byte of it changed
    std::filesystem::remove(folder_ + "/qmk.db");
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open((folder_ + "/qmk.db").c_str(), &handle), SQLITE_OK);
    sqlite3_exec(handle, "CREATE TABLE bookmarks(url); INSERT INTO bookmarks VALUES ('a');",
                 nullptr, nullptr, nullptr);
    sqlite3_close(handle);
    const std::string before = readFile(folder_ + "/qmk.db");
    closer.arm();
    EXPECT_EQ(startQuillmark(), 1);
    EXPECT_NE(closer.modalText.find("not a database of this program: it holds other tables "
                                    "(bookmarks)"),
              std::string::npos)
        << closer.modalText;
    EXPECT_EQ(readFile(folder_ + "/qmk.db"), before);

    // Another program's file in WAL mode with a table still in its log, and one with a journal
    // a crash left: judged as they stand (the log read, the journal's write undone on a copy),
    // refused, and not a byte of any of their files changed, none removed.
    const std::string inLog = "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; CREATE "
                              "TABLE bookmarks(url); PRAGMA wal_checkpoint; CREATE TABLE later(x);";
    const std::string crashed = "CREATE TABLE bookmarks(id, url);" + unfinishedWrite("bookmarks");
    for (const auto& [sql, tables, ending] : {std::tuple(inLog, "bookmarks, later", "-wal"),
                                              std::tuple(crashed, "bookmarks", "-journal")}) {
        copyWhileOpen(folder_, sql);
        const auto files = databaseFiles(folder_);
        ASSERT_TRUE(files.count(ending)) << ending;
        ASSERT_NE(files.at(ending).substr(0, 1), std::string(1, '\0')) << ending;
        closer.arm();
        EXPECT_EQ(startQuillmark(), 1);
        EXPECT_NE(closer.modalText.find(std::string("it holds other tables (") + tables + ")"),
                  std::string::npos)
            << closer.modalText;
        EXPECT_TRUE(databaseFiles(folder_) == files) << ending;
    }

    {
        // No temporary folder: the last one is judged on a copy in the data folder, refused the
        // same, unchanged, and the copy is gone.
        const auto files = databaseFiles(folder_);
        const auto names = folderNames(folder_);
        ScopedEnv noTemp("TMPDIR", folder_ + "/missing");
        closer.arm();
        EXPECT_EQ(startQuillmark(), 1);
        EXPECT_NE(closer.modalText.find("it holds other tables (bookmarks)"), std::string::npos)
            << closer.modalText;
        EXPECT_TRUE(databaseFiles(folder_) == files);
        EXPECT_EQ(folderNames(folder_), names);

        // Nor can a read-only data folder take the copy: refused as it is. Root is not stopped by
        // the folder's mode, so the look runs in a child that has given root up.
        namespace fs = std::filesystem;
        fs::permissions(dir_.path().toStdString(), fs::perms(0755));
        fs::permissions(folder_, fs::perms(0555));
        const auto judgeAsUser = [&] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            dwin::database::sqlite::Connection session;
            try {
                dbopen::open(session, folder_ + "/qmk.db", 0);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                ::_exit(0);
            }
            ::_exit(4);
        };
        EXPECT_EXIT(judgeAsUser(), testing::ExitedWithCode(0),
                    "it cannot be judged without changing it: a crash left its journal .*, and a "
                    "copy of it could not be made: in the temporary folder: .*; in " +
                        folder_ + ": Permission denied");
        fs::permissions(folder_, fs::perms(0755));
        EXPECT_TRUE(databaseFiles(folder_) == files);
        EXPECT_EQ(folderNames(folder_), names);
    }

    // This program's own file with such a journal opens as ever, also with no temporary folder
    // (judged on a copy in the data folder): the write is undone, and no copy stays.
    for (const bool noTemporaryFolder : {false, true}) {
        std::optional<ScopedEnv> noTemp;
        if (noTemporaryFolder)
            noTemp.emplace("TMPDIR", folder_ + "/missing");
        {
            DB own(folder_ + "/other.db");
        }
        copyWhileOpen(folder_, unfinishedWrite("Temp_Sites(id, notes)"));
        auto names = folderNames(folder_);
        names.erase("qmk.db-journal");
        names.insert("qmk.config");
        closer.arm();
        EXPECT_EQ(startQuillmark(), 0) << closer.modalText;
        EXPECT_EQ(closer.tabs, 4);
        EXPECT_EQ(databaseFiles(folder_).size(), 1u); // the journal rolled back and gone
        EXPECT_EQ(folderNames(folder_), names) << noTemporaryFolder;
    }
}

TEST_F(Startup, SettingsFileThatCannotBeReadIsNamedAndLeftAsItIs)
{
    std::filesystem::create_directories(folder_);
    const std::string big = "last_id=a.com\n" + std::string(2 * 1024 * 1024, '#');
    std::ofstream(folder_ + "/qmk.config") << big;
    config::Config::setInstance(std::make_unique<config::Config>(folder_, "qmk.config"));
    Closer closer;
    closer.arm();
    EXPECT_EQ(startQuillmark(), 0);
    EXPECT_EQ(closer.status.rfind("settings not read: " + folder_ + "/qmk.config is too large", 0),
              0u)
        << closer.status;
    EXPECT_EQ(readFile(folder_ + "/qmk.config"), big);
}

} // namespace
} // namespace qmk::test
