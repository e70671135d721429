#pragma once
// Shared test scaffolding: a temp folder, a fresh database, and a fake main window.

#include "dwin/database/sqlite/Base.h"
#include "dwin/database/sqlite/Extra.h"
#include "qmk/DB.h"
#include "qmk/WindowPort.h"
#include "qmk/base/BaseRecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qmk::test {

// A folder under the system temp folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Records every call; keeps a small registry of listing tables like the main window does.
class FakeWindow : public WindowPort {
public:
    DB* db = nullptr;
    std::vector<std::string> calls; // "register:x", "open:Listed_Urls", "close", "menu", ...
    std::string statusText;
    std::set<std::string> registered;
    std::optional<std::string> current;
    std::string lastTab; // text of the last tab

    void showStatus(const std::string& text) override;
    bool registerProduct(const std::string& id) override;
    bool unregisterProduct(const std::string& id) override;
    bool closeCurrentListedUrls() override;
    bool setCurrentListedUrls(const std::string& id) override { return (current = id), true; }
    std::optional<std::string> currentListedUrlsName() override;
    void refreshContextMenu() override;
    void openTab(Tab tab) override;
    std::string lastTabText() override { return lastTab; }

    // Forgets the calls (not the registry).
    void clearCalls() { calls.clear(); }
    bool called(const std::string& call) const;
    int count(const std::string& call) const;
};

// A fresh database file in a temp folder with a fake window attached.
class DbTest : public ::testing::Test {
protected:
    DbTest();
    ~DbTest() override;

    TempDir dir;
    FakeWindow window;
    std::unique_ptr<DB> db;

    // Shows the listing of that product: it becomes current and its tab is the last one.
    void show(const std::string& product);
    // Adds a product through the cascade and forgets the window calls it made.
    void addProduct(const std::string& id, const std::string& pr = "-1");
    base::RecordPtr site(const std::string& id, const std::string& notes = "[Enter notes]");
    // The record marked as the file's row under its id, as a table read from the file holds it.
    static base::RecordPtr stored(base::RecordPtr record);
    // Rows of a table as "id" -> column value; "<null>" for SQL NULL; no value when no row.
    std::optional<std::string> value(const std::string& table, const std::string& id,
                                     const std::string& column);
    int rowCount(const std::string& table);
    bool hasTable(const std::string& table);
    void exec(const std::string& sql);
};

} // namespace qmk::test
