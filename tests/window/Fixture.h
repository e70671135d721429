#pragma once
// A main window over a real database in a fresh data folder of its own. Every table model the
// test makes runs under QAbstractItemModelTester; a fault it finds fails the test.
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/base/BaseRecord.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/tab/TableView.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTableView;
class QWidget;

namespace qmk::test {

// The whole file as bytes; empty when it cannot be read.
std::string readFile(const std::string& path);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs SQL on the database file directly (fails the test on an error).
    void exec(const std::string& sql);
    // The text of the first column of every row the query gives.
    std::vector<std::string> column(const std::string& sql);
    // Inserts a site row into a site table or a listing table (id, pr, notes; others default).
    void addSite(const std::string& table, const std::string& id, const std::string& pr = "-1",
                 const std::string& notes = "");
    // Adds a product with its (empty) listing table.
    void addProduct(const std::string& id, const std::string& pr);
    // Adds the site to the catalogue and to the listing of a product "Tool", both with the notes
    // the SQL expression gives.
    void addListedSiteWithNotes(const std::string& id, const std::string& notesSql);
    // Makes the window and opens it (tabs loaded, place restored).
    void openWindow();
    void closeWindow();
    // Drops the window and opens the database again (after a close).
    void reopenDatabase();
    // Sets a setting before the window opens.
    void setSetting(const std::string& key, const std::string& value);
    std::string setting(const std::string& key);

    tab::TableView* viewAt(int tab);
    extends::TableViewer* viewerAt(int tab);
    std::vector<std::string> idsShown(int tab);
    void selectTab(int tab); // as a user click (the switch runs)
    // Edits a cell through the model, as the cell editor hands it over.
    void edit(int tab, int row, const std::string& column, const QVariant& value);
    // The model column of the name; the column count when the table has none of that name.
    int columnIndex(int tab, const std::string& name);
    // Opens the editor of a cell as a double click would; the editor widget, or null.
    QWidget* openEditor(int tab, int row, const std::string& name);
    // A left click on the row's id cell.
    void clickRow(int tab, int row);
    int rowOfId(int tab, const std::string& id);
    std::string status();

    QTemporaryDir dir_;
    std::unique_ptr<QObject> modelWatcher_;
    std::string folder_;
    std::unique_ptr<DB> db_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace qmk::test
