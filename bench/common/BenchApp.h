#pragma once
// Set-up shared by the benchmark programs: an offscreen application around the run, a data
// folder with a fresh database file, and the main window opened on it.
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>

struct sqlite3;

namespace qmk {
class DB;
class MainWindow;
namespace tab {
class TableView;
}
} // namespace qmk

namespace bench {

struct RunOptions {
    bool actions = false; // the window's commands are made (and released after the run)
    bool browser = false; // COM and the browser engine, with the engine's offscreen settings
    std::function<void()> before; // after the set-up, before the first benchmark
    std::function<void()> after; // after the last benchmark, while the application lives
};

// Runs the benchmarks the command line names inside an offscreen QApplication whose data home
// is a temporary folder. Returns main's result.
int runBenchmarks(int argc, char** argv, const RunOptions& options = {});

// A data folder in a temporary folder, the settings read from it, and the database file there
// with the four fixed tables.
struct DataFolder {
    QTemporaryDir dir;
    std::string folder;
    std::string path; // the database file

    DataFolder();
};

// The main window opened on a database file; the window goes before its database.
struct OpenWindow {
    std::unique_ptr<qmk::DB> db;
    std::unique_ptr<qmk::MainWindow> window;

    explicit OpenWindow(const std::string& path);
    ~OpenWindow();
    // Makes the tab the current one; its table view.
    qmk::tab::TableView* showTab(int tab);
};

// The id of catalogue site i: "site<n>.example.com", the n spread over the table's order.
std::string catalogueSiteId(int i);
// Inserts catalogue sites 0 to count-1 into the open file, in the caller's transaction: pr from
// -1 to 9, notes "notes of <id>".
void insertCatalogueSites(sqlite3* handle, int count);

} // namespace bench
