#include "Fixture.h"

#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace qmk::test {

namespace sqlite = dwin::database::sqlite;

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qmk-records-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

void FakeWindow::showStatus(const std::string& text)
{
    statusText = text;
    calls.push_back("status:" + text);
}

bool FakeWindow::registerProduct(const std::string& id)
{
    calls.push_back("register:" + id);
    return registered.insert(id).second;
}

bool FakeWindow::unregisterProduct(const std::string& id)
{
    calls.push_back("unregister:" + id);
    return registered.erase(id) == 1;
}

bool FakeWindow::closeCurrentListedUrls()
{
    calls.push_back("close");
    if (!currentListedUrlsName() || lastTab != *current)
        return false;
    registered.erase(*current);
    current.reset();
    lastTab = "Temp_Sites";
    currentListedUrlsName();
    return true;
}

std::optional<std::string> FakeWindow::currentListedUrlsName()
{
    if (current || !db)
        return current;
    const auto ids = db->idsByRank();
    if (ids.empty())
        return std::nullopt;
    for (const auto& id : ids)
        registered.insert(id);
    current = ids.front();
    return current;
}

void FakeWindow::refreshContextMenu()
{
    calls.push_back("menu");
}

void FakeWindow::openTab(Tab tab)
{
    switch (tab) {
    case Tab::Listed_Urls:
        calls.push_back("open:Listed_Urls");
        if (currentListedUrlsName())
            lastTab = *current;
        break;
    case Tab::Shareware_Sites: calls.push_back("open:Shareware_Sites"); break;
    case Tab::Softwares: calls.push_back("open:Softwares"); break;
    case Tab::Black_Sites: calls.push_back("open:Black_Sites"); break;
    case Tab::Temp_Sites: calls.push_back("open:Temp_Sites"); break;
    }
}

bool FakeWindow::called(const std::string& call) const
{
    return count(call) > 0;
}

int FakeWindow::count(const std::string& call) const
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

DbTest::DbTest()
{
    // Locks of a second connection are what several tests are about: wait for them briefly.
    db = std::make_unique<DB>((dir.path() / "qmk.db").string(), &window, 100);
    window.db = db.get();
}

DbTest::~DbTest() = default;

void DbTest::show(const std::string& product)
{
    window.current = product;
    window.lastTab = product;
}

void DbTest::addProduct(const std::string& id, const std::string& pr)
{
    tab::Software product;
    product.set("id", id);
    product.set("pr", pr);
    db->add(product, "Softwares");
    window.clearCalls();
}

base::RecordPtr DbTest::site(const std::string& id, const std::string& notes)
{
    auto r = std::make_shared<tab::Shareware_Site>();
    r->set("id", id);
    r->set("notes", notes);
    return r;
}

base::RecordPtr DbTest::stored(base::RecordPtr record)
{
    record->setStored();
    return record;
}

std::optional<std::string> DbTest::value(const std::string& table, const std::string& id,
                                         const std::string& column)
{
    auto cursor = db->getConnection().createCursor();
    std::string quotedTable = "\"", quotedColumn = "\"";
    for (char c : table)
        quotedTable += c == '"' ? std::string("\"\"") : std::string(1, c);
    for (char c : column)
        quotedColumn += c == '"' ? std::string("\"\"") : std::string(1, c);
    if (!cursor.execute("SELECT " + quotedColumn + "\" FROM " + quotedTable + "\" WHERE id = ?;",
                        {sqlite::BindValue(id)}))
        return std::nullopt;
    if (cursor.getColumnType(0) == 5)
        return std::string("<null>");
    return cursor.getText(0);
}

int DbTest::rowCount(const std::string& table)
{
    auto cursor = db->getConnection().createCursor();
    std::string quoted = "\"";
    for (char c : table)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    cursor.execute("SELECT count(*) FROM " + quoted + "\";");
    return static_cast<int>(cursor.getLong(0));
}

bool DbTest::hasTable(const std::string& table)
{
    return sqlite::tableExists(db->getConnection(), table);
}

void DbTest::exec(const std::string& sql)
{
    auto cursor = db->getConnection().createCursor();
    cursor.execute(sql);
}

} // namespace qmk::test
