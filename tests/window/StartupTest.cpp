// Start-up and shutdown as the program runs them, on a data folder of the test's own.
#include "Fixture.h"

#include "qmk/Startup.h"
#include "qmk/config/Config.h"

#include <QApplication>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>

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
