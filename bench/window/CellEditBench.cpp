// One cell of a sorted table edited through the model as the cell editor hands it over, stored
// in the file and shown, in the real main window: a catalogue of 10 sites against one of
// 100,000 (BM_CellEdit/10, BM_CellEdit/100000). The table is sorted by pr and the edit takes
// the row's pr from one end of the order to the other, so every edit also moves its row and
// the view repaints every row it shows. The table shows five rows and a scroll bar in both
// cases, so both paint the same; what differs is the table behind them.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./window_celledit_bench --benchmark_repetitions=3
#include "bench/common/BenchApp.h"
#include "qmk/MainWindow.h"
#include "qmk/extends/RecordTableModel.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/tab/TableView.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// A window on a catalogue of the given number of sites, sorted by pr (ascending).
struct SortedCatalogue : bench::DataFolder {
    int sites;
    std::unique_ptr<bench::OpenWindow> opened;
    qmk::extends::RecordTableModel* model = nullptr;
    QPersistentModelIndex cell; // the pr cell edited, wherever its row goes
    static constexpr int shownRows = 5;
    int rowsPainted = 0; // as many as the table's viewport holds

    explicit SortedCatalogue(int count) : sites(count)
    {
        sqlite3* handle = nullptr;
        sqlite3_open(path.c_str(), &handle);
        sqlite3_exec(handle, "BEGIN;", nullptr, nullptr, nullptr);
        bench::insertCatalogueSites(handle, sites);
        sqlite3_exec(handle, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(handle);
        opened = std::make_unique<bench::OpenWindow>(path);
        qmk::tab::TableView* view = opened->showTab(0);
        QTableView* table = view->viewer()->getTable();
        model = view->viewer()->getModel();
        const auto& names = model->columnNames();
        const int pr = int(std::find(names.begin(), names.end(), "pr") - names.begin());
        emit table->horizontalHeader()->sectionClicked(pr); // ascending by pr
        table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                              shownRows * table->verticalHeader()->defaultSectionSize() +
                              table->horizontalScrollBar()->sizeHint().height() +
                              2 * table->frameWidth());
        cell = model->index(model->rowCount() / 2, pr);
        table->scrollTo(cell);
        QApplication::processEvents();
        rowsPainted = table->viewport()->height() / table->verticalHeader()->defaultSectionSize();
    }
};

// One window at a time (the table views are the program's single instances): kept over the
// repetitions of one size, made anew for the next.
std::unique_ptr<SortedCatalogue>& catalogue()
{
    static std::unique_ptr<SortedCatalogue> made;
    return made;
}

void BM_CellEdit(benchmark::State& state)
{
    std::unique_ptr<SortedCatalogue>& shown = catalogue();
    if (!shown || shown->sites != state.range(0)) {
        shown.reset();
        shown = std::make_unique<SortedCatalogue>(int(state.range(0)));
    }
    const int ends[] = {0, 10}; // the pr choices "-1" and "9"
    int turn = 0;
    for (auto _ : state) {
        shown->model->setData(shown->cell, ends[turn++ % 2], Qt::EditRole);
        QApplication::processEvents(); // the view updates and paints
    }
    const std::string value = shown->cell.data().toString().toStdString();
    if (value != "-1" && value != "9")
        state.SkipWithError("the edit was not taken");
    state.counters["rows"] = double(shown->model->rowCount());
    state.counters["shown"] = double(shown->rowsPainted);
}
BENCHMARK(BM_CellEdit)->Arg(10)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(
        argc, argv,
        {.actions = false, .browser = false, .before = {}, .after = [] { catalogue().reset(); }});
}
