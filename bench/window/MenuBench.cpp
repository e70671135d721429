// The commands' enabling pass when a table's context menu opens, in the real window, on a
// 100,000-row catalogue table, beside the same pass on a 10-row table (baseline) in the same
// run. One row is selected and a cell was clicked, so every fact of the pass is worked out.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./menu_bench
#include "bench/common/BenchApp.h"
#include "qmk/MyAction.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/tab/TableView.h"

#include <QApplication>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <iostream>
#include <sstream>

namespace {

// A data folder with `sites` catalogue sites and one product listing all of them.
struct Data : bench::DataFolder {
    explicit Data(int sites)
    {
        sqlite3* handle = nullptr;
        sqlite3_open(path.c_str(), &handle);
        sqlite3_exec(handle, "BEGIN;", nullptr, nullptr, nullptr);
        sqlite3_stmt* site = nullptr;
        sqlite3_prepare_v2(handle,
                           "INSERT INTO Shareware_Sites VALUES (?, '3', 'not', 'pad', 'title', "
                           "'http://x.example/add', "
                           "'0', 'user', 'pass', '');",
                           -1, &site, nullptr);
        for (int i = 0; i < sites; ++i) {
            const std::string id = "site" + std::to_string(i) + ".example.com";
            sqlite3_bind_text(site, 1, id.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(site);
            sqlite3_reset(site);
        }
        sqlite3_finalize(site);
        sqlite3_exec(handle,
                     "INSERT INTO Softwares VALUES ('Tool', 'tool.example.com', '5', '', '', '');"
                     "CREATE TABLE Tool (id UNIQUE NOT "
                     "NULL,pr,listed_url,username,password,version,sub_date,backlink,"
                     "sub_method,sort,sub_page,rev_days,g_user,g_pass,notes);"
                     "INSERT INTO Tool SELECT id, pr, '', '', '', '', '', backlink, sub_method, "
                     "sort, sub_page, "
                     "rev_days, g_user, g_pass, notes FROM Shareware_Sites; COMMIT;",
                     nullptr, nullptr, nullptr);
        sqlite3_close(handle);
    }
};

void menuOpens(benchmark::State& state)
{
    const int rows = int(state.range(0));
    Data data(rows);
    bench::OpenWindow window(data.path);
    QApplication::processEvents();
    qmk::tab::TableView* view = window.showTab(0);
    QTableView* table = view->viewer()->getTable();
    const int row = rows / 2;
    view->viewer()->setSelection({row});
    QApplication::processEvents();
    // the id cell of the selected row was clicked
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(row, 0)).center());
    QMenu* menu = view->menuManager();
    // the submit test's console line on every pass is not what is measured
    std::ostringstream sink;
    std::streambuf* console = std::cout.rdbuf(sink.rdbuf());
    for (auto _ : state) {
        emit menu->aboutToShow();
        sink.str({});
    }
    std::cout.rdbuf(console);
    state.counters["rows"] = double(view->length());
    state.counters["enabled"] = double(qmk::MyAction::openHomePageAction->isEnabled());
}
BENCHMARK(menuOpens)
    ->Name("BM_MenuEnablingPass")
    ->Arg(10)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv, {.actions = true, .before = {}, .after = {}});
}
