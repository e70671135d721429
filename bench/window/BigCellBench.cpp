// A catalogue site whose notes hold 4 MiB of text, in the real main window:
// - painting the table with that cell in view, against the same table with short notes;
// - storing a new 4 MiB notes text through the cell editor's hand-over (model, cell modifier,
//   database), against one raw SQLite UPDATE of the same value in the same file.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./window_bigcell_bench
#include "bench/common/BenchApp.h"
#include "qmk/MainWindow.h"
#include "qmk/extends/RecordTableModel.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/tab/TableView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr std::size_t kBigText = 4u * 1024 * 1024;

// Lines of words, as pasted notes would be.
std::string bigNotes(char first)
{
    std::string text;
    text.reserve(kBigText + 80);
    while (text.size() < kBigText)
        text += std::string(1, first) + " note line of pasted text, with some words in it\n";
    return text;
}

// A window on a database of its own with one catalogue site.
struct Window : bench::DataFolder {
    std::unique_ptr<bench::OpenWindow> opened;
    qmk::MainWindow* window = nullptr;
    QTableView* table = nullptr;
    qmk::extends::RecordTableModel* model = nullptr;
    int notes = 0;

    explicit Window(const std::string& notesText)
    {
        sqlite3* handle = nullptr;
        sqlite3_open(path.c_str(), &handle);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(
            handle,
            "INSERT INTO Shareware_Sites VALUES ('a.example.com', '3', 'not', 'pad', 'title', "
            "'[Enter page]', '0', '[Engter Global Username', '[Enter Global Password]', ?);",
            -1, &insert, nullptr);
        sqlite3_bind_text(insert, 1, notesText.data(), int(notesText.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_finalize(insert);
        sqlite3_close(handle);
        opened = std::make_unique<bench::OpenWindow>(path);
        window = opened->window.get();
        qmk::tab::TableView* view = opened->showTab(0);
        QApplication::processEvents();
        table = view->viewer()->getTable();
        model = view->viewer()->getModel();
        const auto& names = model->columnNames();
        notes = int(std::find(names.begin(), names.end(), "notes") - names.begin());
        table->selectRow(0); // the notes box shows the notes too
        table->scrollTo(model->index(0, notes));
        QApplication::processEvents();
    }
};

void paint(benchmark::State& state, const std::string& notesText)
{
    Window w(notesText);
    for (auto _ : state) {
        w.table->viewport()->update();
        benchmark::DoNotOptimize(w.table->viewport()->grab());
    }
}

void BM_PaintShortNotes(benchmark::State& state)
{
    paint(state, "a short note");
}
BENCHMARK(BM_PaintShortNotes)->Unit(benchmark::kMillisecond);

void BM_PaintBigNotes(benchmark::State& state)
{
    paint(state, bigNotes('a'));
}
BENCHMARK(BM_PaintBigNotes)->Unit(benchmark::kMillisecond);

// Clicking the row: the notes box takes the whole 4 MiB and is painted.
void BM_ClickRowWithBigNotes(benchmark::State& state)
{
    Window w(bigNotes('a'));
    w.window->show();
    const QRect cell = w.table->visualRect(w.model->index(0, w.notes));
    for (auto _ : state) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(cell.center()),
                          w.table->viewport()->mapToGlobal(QPointF(cell.center())), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.table->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(cell.center()),
                            w.table->viewport()->mapToGlobal(QPointF(cell.center())),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w.table->viewport(), &release);
        benchmark::DoNotOptimize(w.window->grab());
    }
    if (w.window->notesText()->document()->characterCount() < int(kBigText))
        state.SkipWithError("notes box not filled");
}
BENCHMARK(BM_ClickRowWithBigNotes)->Unit(benchmark::kMillisecond);

// Storing 4 MiB notes as the cell editor hands them over; two texts taken in turn.
void BM_StoreBigNotesThroughTheEditor(benchmark::State& state)
{
    Window w(bigNotes('a'));
    const QString texts[] = {QString::fromStdString(bigNotes('b')),
                             QString::fromStdString(bigNotes('c'))};
    int turn = 0;
    for (auto _ : state) {
        w.model->setData(w.model->index(0, w.notes), texts[turn++ % 2], Qt::EditRole);
        QApplication::processEvents(); // the row is drawn again
    }
}
BENCHMARK(BM_StoreBigNotesThroughTheEditor)->Unit(benchmark::kMillisecond);

// Baseline: the same UPDATE with raw SQLite on the same file.
void BM_StoreBigNotesRawSqlite(benchmark::State& state)
{
    Window w(bigNotes('a'));
    const std::string texts[] = {bigNotes('b'), bigNotes('c')};
    sqlite3* handle = nullptr;
    sqlite3_open(w.path.c_str(), &handle);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(handle, "UPDATE Shareware_Sites SET notes = ? WHERE id = 'a.example.com';",
                       -1, &update, nullptr);
    int turn = 0;
    for (auto _ : state) {
        const std::string& text = texts[turn++ % 2];
        sqlite3_bind_text(update, 1, text.data(), int(text.size()), SQLITE_STATIC);
        sqlite3_step(update);
        sqlite3_reset(update);
    }
    sqlite3_finalize(update);
    sqlite3_close(handle);
}
BENCHMARK(BM_StoreBigNotesRawSqlite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
