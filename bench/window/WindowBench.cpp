// Main window figures, each beside its baseline in the same run:
// - opening the window on 20,000 catalogue sites and 10 products, against loading the same five
//   tables into record lists alone;
// - sorting a 100,000-row table by a header click, against std::stable_sort of the same values
//   with the same comparison (and with the values lower-cased once beforehand);
// - scrolling that table a page at a time with the rows painted.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./window_bench
#include "bench/common/BenchApp.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/ViewerRecords.h"
#include "qmk/extends/ColumnSorter.h"
#include "qmk/extends/RecordTableModel.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/tab/Black_Site.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"
#include "qmk/tab/Temp_Site.h"
#include "qmk/tab/TableView.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <random>

namespace {

constexpr int catalogueSites = 20000;
constexpr int products = 10;
constexpr int bigTable = 100000;

// The benchmark database: 20,000 catalogue sites and 10 products whose listing tables list
// every catalogue site.
struct Data : bench::DataFolder {
    Data()
    {
        sqlite3* handle = nullptr;
        sqlite3_open(path.c_str(), &handle);
        sqlite3_exec(handle, "BEGIN;", nullptr, nullptr, nullptr);
        bench::insertCatalogueSites(handle, catalogueSites);
        for (int p = 0; p < products; ++p) {
            std::string id = "Product " + std::to_string(p);
            std::string sql = "INSERT INTO Softwares VALUES ('" + id + "', 'product" +
                std::to_string(p) + ".example.com', '" + std::to_string(p % 10) +
                "', '[Enter locale PAD]', '', '');" + "CREATE TABLE '" + id +
                "' (id UNIQUE NOT NULL,pr,listed_url,username,password,version,sub_date,backlink,"
                "sub_method,sort,sub_page,rev_days,g_user,g_pass,notes);" +
                "INSERT INTO '" + id +
                "' SELECT id, pr, '[Enter listed url]', '[Enter Username]', "
                "'[Enter Password]', '[Enter Version]', '[Enter Date]', backlink, sub_method, "
                "sort, "
                "sub_page, rev_days, g_user, g_pass, notes FROM Shareware_Sites;";
            sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
        }
        sqlite3_exec(handle, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(handle);
    }
};

Data& data()
{
    static Data instance;
    return instance;
}

// Baseline: the five tables the window shows, loaded into record lists.
void BM_LoadTablesIntoRecordLists(benchmark::State& state)
{
    qmk::DB db(data().path);
    const std::string listing = db.idsByRank().front();
    std::size_t rows = 0;
    for (auto _ : state) {
        qmk::BaseRecords sites("Shareware_Sites"), softwares("Softwares"), black("Black_Sites"),
            temp("Temp_Sites"), listed(listing);
        db.loadTable<qmk::tab::Shareware_Site>(sites, sites.name);
        db.loadTable<qmk::tab::Software>(softwares, softwares.name);
        db.loadTable<qmk::tab::Black_Site>(black, black.name);
        db.loadTable<qmk::tab::Temp_Site>(temp, temp.name);
        db.loadTable<qmk::tab::Listed_Url>(listed, listed.name);
        rows = sites.length() + softwares.length() + listed.length();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_LoadTablesIntoRecordLists)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The window from construction to its first shown and painted frame.
void BM_OpenMainWindow(benchmark::State& state)
{
    qmk::DB db(data().path);
    for (auto _ : state) {
        qmk::MainWindow window(&db);
        window.open();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMainWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

std::vector<qmk::base::RecordPtr> bigRecords()
{
    std::vector<qmk::base::RecordPtr> records;
    std::mt19937 random(42);
    for (int i = 0; i < bigTable; ++i) {
        auto record = std::make_shared<qmk::tab::Shareware_Site>();
        record->set(
            "id", (i % 3 ? "Site" : "site") + std::to_string(random() % 1000000) + ".example.com");
        record->set("pr", std::to_string(random() % 11));
        records.push_back(record);
    }
    return records;
}

struct BigTable {
    qmk::BaseRecords list{"Shareware_Sites"};
    qmk::extends::MyCellModifier modifier{nullptr};
    std::unique_ptr<qmk::extends::RecordTableModel> model;
    BigTable()
    {
        for (const auto& record : bigRecords())
            list.add(record);
        model = std::make_unique<qmk::extends::RecordTableModel>(
            &list, qmk::tab::Shareware_Site::columns(), &modifier);
    }
};

// A header click on "id" (ascending) with the model re-read, then back to list order.
void BM_SortHeaderClick100k(benchmark::State& state)
{
    BigTable table;
    for (auto _ : state) {
        table.model->onColumnSelected(0); // ascending
        state.PauseTiming();
        table.model->onColumnSelected(0); // descending
        table.model->onColumnSelected(0); // list order
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SortHeaderClick100k)->Unit(benchmark::kMillisecond);

// Baseline: std::stable_sort of the same values with the same comparison (lower-cased text).
void BM_StableSortSameComparison100k(benchmark::State& state)
{
    std::vector<std::string> values;
    for (const auto& record : bigRecords())
        values.push_back(*record->get("id"));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> copy = values;
        state.ResumeTiming();
        std::stable_sort(copy.begin(), copy.end(), [](const std::string& a, const std::string& b) {
            return qmk::extends::ColumnSorter::compareValues(a, b) < 0;
        });
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StableSortSameComparison100k)->Unit(benchmark::kMillisecond);

// Baseline: the same values lower-cased once, then std::stable_sort by bytes.
void BM_StableSortPreLowered100k(benchmark::State& state)
{
    std::vector<std::string> values;
    for (const auto& record : bigRecords())
        values.push_back(qmk::extends::ColumnSorter::lowerKey(*record->get("id")));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> copy = values;
        state.ResumeTiming();
        std::stable_sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StableSortPreLowered100k)->Unit(benchmark::kMillisecond);

// One page of scrolling in a shown 100,000-row table, rows painted.
void BM_ScrollPage100k(benchmark::State& state)
{
    BigTable table;
    QTableView view;
    view.setModel(table.model.get());
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    int value = 0;
    for (auto _ : state) {
        value = (value + bar->pageStep()) % std::max(1, bar->maximum());
        bar->setValue(value);
        benchmark::DoNotOptimize(view.viewport()->grab());
    }
    state.counters["rows"] = double(table.model->rowCount());
}
BENCHMARK(BM_ScrollPage100k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv, {.before = [] { data(); }, .after = {}});
}
