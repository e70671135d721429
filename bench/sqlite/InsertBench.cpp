// 100,000 rows of 15 text columns in one transaction: through Statement (prepare once; per row
// reset, bindAll, step) against the raw SQLite C API doing the same in the same run.
#include "dwin/database/sqlite/Base.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace dwin::database::sqlite;

constexpr int Rows = 100000;
constexpr int Columns = 15;

const char* const CreateSql =
    "CREATE TABLE Listed(c0, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14)";
const char* const InsertSql =
    "INSERT INTO Listed VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// Texts of varying length, made once and shared by both runs.
const std::vector<std::string>& cells()
{
    static const std::vector<std::string> all = [] {
        std::vector<std::string> v;
        v.reserve(static_cast<std::size_t>(Rows) * Columns);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Columns; ++c)
                v.push_back("site" + std::to_string(r) + ".example/" +
                            std::string(static_cast<std::size_t>((r + c) % 24), 'p') + "/col" +
                            std::to_string(c));
        return v;
    }();
    return all;
}

const fs::path& folder()
{
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "qmk-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        return fs::path(pattern);
    }();
    return dir;
}

std::string freshFile(const char* name)
{
    fs::path file = folder() / name;
    fs::remove(file);
    fs::remove(fs::path(file.string() + "-journal"));
    return file.string();
}

void must(int rc, int expected, const char* what)
{
    if (rc != expected)
        throw std::runtime_error(std::string(what) + " failed with code " + std::to_string(rc));
}

long long countRows(sqlite3* db)
{
    sqlite3_stmt* s = nullptr;
    must(sqlite3_prepare_v2(db, "SELECT count(*) FROM Listed", -1, &s, nullptr), SQLITE_OK,
         "count");
    must(sqlite3_step(s), SQLITE_ROW, "count step");
    long long n = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    return n;
}

void insertRaw(sqlite3* db, const std::vector<std::string>& data)
{
    must(sqlite3_exec(db, "begin;", nullptr, nullptr, nullptr), SQLITE_OK, "begin");
    sqlite3_stmt* s = nullptr;
    must(sqlite3_prepare_v2(db, InsertSql, -1, &s, nullptr), SQLITE_OK, "prepare");
    for (int r = 0; r < Rows; ++r) {
        sqlite3_reset(s);
        for (int c = 0; c < Columns; ++c) {
            const std::string& text = data[static_cast<std::size_t>(r) * Columns + c];
            must(sqlite3_bind_text(s, c + 1, text.data(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT),
                 SQLITE_OK, "bind");
        }
        must(sqlite3_step(s), SQLITE_DONE, "step");
    }
    must(sqlite3_finalize(s), SQLITE_OK, "finalize");
    must(sqlite3_exec(db, "commit;", nullptr, nullptr, nullptr), SQLITE_OK, "commit");
}

void insertThroughLayer(Connection& db, const std::vector<std::string>& data)
{
    db.begin();
    Statement s = db.createStatement();
    s.prepareOrThrow(InsertSql);
    std::vector<SQLiteData> row(Columns);
    for (int r = 0; r < Rows; ++r) {
        s.reset();
        for (int c = 0; c < Columns; ++c)
            row[static_cast<std::size_t>(c)] =
                SQLiteData(data[static_cast<std::size_t>(r) * Columns + c]);
        s.bindAll(row);
        must(s.step(), SQLITE_DONE, "step");
    }
    s.close();
    db.commit();
}

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double timeRaw(const std::vector<std::string>& data)
{
    sqlite3* db = nullptr;
    must(sqlite3_open(freshFile("raw.db").c_str(), &db), SQLITE_OK, "open");
    must(sqlite3_exec(db, CreateSql, nullptr, nullptr, nullptr), SQLITE_OK, "create");
    auto start = Clock::now();
    insertRaw(db, data);
    double ms = millisecondsSince(start);
    must(static_cast<int>(countRows(db)), Rows, "row count");
    sqlite3_close(db);
    return ms;
}

double timeLayer(const std::vector<std::string>& data)
{
    Connection db;
    db.open(freshFile("layer.db"));
    Cursor create = db.createCursor();
    create.execute(CreateSql);
    create.close();
    auto start = Clock::now();
    insertThroughLayer(db, data);
    double ms = millisecondsSince(start);
    must(static_cast<int>(countRows(db.getHandle())), Rows, "row count");
    db.close();
    return ms;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Figures {
    std::vector<double> raw, layer, ratio;
};
Figures figures;

// Each iteration runs both, in alternating order, so that a change of machine load between
// them hits both alike; the ratio of a pair compares two neighbouring runs.
void BM_StatementVsRawCApi(benchmark::State& state)
{
    const auto& data = cells();
    for (auto _ : state) {
        bool rawFirst = figures.raw.size() % 2 == 0;
        double raw = 0, layer = 0;
        if (rawFirst) {
            raw = timeRaw(data);
            layer = timeLayer(data);
        } else {
            layer = timeLayer(data);
            raw = timeRaw(data);
        }
        figures.raw.push_back(raw);
        figures.layer.push_back(layer);
        figures.ratio.push_back(layer / raw);
        state.SetIterationTime((raw + layer) / 1000.0);
    }
    state.counters["raw_ms"] = median(figures.raw);
    state.counters["layer_ms"] = median(figures.layer);
    state.counters["ratio"] = median(figures.ratio);
    state.SetItemsProcessed(state.iterations() * Rows * 2);
}

BENCHMARK(BM_StatementVsRawCApi)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(12);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    cells();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(folder(), ec);
    if (figures.raw.empty())
        return 0;

    std::printf("\n%d rows x %d text columns, one transaction, %zu alternating runs of each "
                "(median / best):\n",
                Rows, Columns, figures.raw.size());
    std::printf("  raw SQLite C API : %8.1f ms / %8.1f ms\n", median(figures.raw),
                *std::min_element(figures.raw.begin(), figures.raw.end()));
    std::printf("  Statement layer  : %8.1f ms / %8.1f ms\n", median(figures.layer),
                *std::min_element(figures.layer.begin(), figures.layer.end()));
    std::printf("  ratio            : %8.3f (median of the pairs; target: at most 1.30)\n",
                median(figures.ratio));
    return 0;
}
