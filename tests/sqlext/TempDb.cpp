#include "TempDb.h"

#include <atomic>
#include <unistd.h>

namespace sqlext_test {

void TempDb::SetUp()
{
    static std::atomic<int> counter{0};
    dir = std::filesystem::temp_directory_path() /
        ("sqlext-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(dir);
    file = dir / "test.db";
    db.open(file.string());
}

void TempDb::TearDown()
{
    if (db.isAvailable())
        db.close();
    std::filesystem::remove_all(dir);
}

void TempDb::exec(const std::string& sql)
{
    sq::Cursor c = db.createCursor();
    c.executeScript(sql, [](sq::Cursor&) {});
    c.close();
}

std::vector<std::vector<sq::SQLiteData>> TempDb::query(const std::string& sql)
{
    sq::Cursor c = db.createCursor();
    c.execute(sql);
    auto rows = c.fetchAll();
    c.close();
    return rows;
}

sq::SQLiteData TempDb::scalar(const std::string& sql)
{
    auto rows = query(sql);
    EXPECT_EQ(rows.size(), 1u) << sql;
    if (rows.empty() || rows[0].empty())
        return {};
    return rows[0][0];
}

int TempDb::failureCode(const std::string& sql)
{
    sq::Cursor c = db.createCursor();
    try {
        c.execute(sql);
        c.skipRows();
    } catch (const sq::SQLiteVMException& e) {
        // A fresh cursor is closed without finalizing the failed run's error a second time.
        try {
            c.close();
        } catch (const sq::SQLiteVMException&) {
        }
        return e.getCode();
    }
    c.close();
    return 0;
}

} // namespace sqlext_test
