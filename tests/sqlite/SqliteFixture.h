#pragma once
// Shared helpers of the SQLite layer tests: a temporary folder per test and small shortcuts.

#include "dwin/database/sqlite/Base.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace sqltest {

namespace fs = std::filesystem;
using namespace dwin::database::sqlite;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "qmk-sqlite-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

// A connection opened on "test.db" in a fresh temporary folder.
class SqliteTest : public ::testing::Test {
protected:
    SqliteTest() { db.open(dir.file("test.db")); }

    // Runs one statement on a cursor of its own and gives its row count.
    int run(const std::string& sql)
    {
        Cursor c = db.createCursor();
        c.execute(sql);
        c.skipRows();
        int rows = c.getRowCount();
        c.close();
        return rows;
    }

    // The first column of the first row of a query, as text.
    std::string scalar(const std::string& sql)
    {
        Cursor c = db.createCursor();
        std::string value = c.execute(sql) ? c.getText(0) : "<no row>";
        c.close();
        return value;
    }

    TempDir dir;
    Connection db;
};

// Expects `statement` to throw E whose what() equals `message`.
#define EXPECT_THROW_MSG(statement, E, message)                                                    \
    EXPECT_THAT([&] { statement; }, ::testing::ThrowsMessage<E>(::testing::StrEq(message)))

// Expects `statement` to throw SQLiteVMException with `code`.
#define EXPECT_VM_CODE(statement, code)                                                            \
    EXPECT_THAT([&] { statement; },                                                                \
                ::testing::Throws<SQLiteVMException>(                                              \
                    ::testing::Property(&SQLiteVMException::getCode, (code))))

} // namespace sqltest
