// 100,000 rows of 15 text columns in one transaction: through Statement (prepare once; per row
// reset, bindAll, step) against the raw SQLite C API doing the same in the same run.
#include "dwin/database/sqlite/Base.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace dwin::database::sqlite;

constexpr int Rows = 100000;
constexpr int Columns = 15;

const char* const CreateSql = "CREATE TABLE Listed(c0, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14)";
const char* const InsertSql = "INSERT INTO Listed VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// Texts of varying length, made once and shared by both runs.
const std::vector<std::string>& cells()
{
    static const std::vector<std::string> all = [] {
        std::vector<std::string> v;
        v.reserve(static_cast<std::size_t>(Rows) * Columns);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Columns; ++c)
                v.push_back("site" + std::to_string(r) + ".example/" + std::string(static_cast<std::size_t>((r + c) % 24), 'p') +
                            "/col" + std::to_string(c));
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
    must(sqlite3_prepare_v2(db, "SELECT count(*) FROM Listed", -1, &s, nullptr), SQLITE_OK, "count");
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
            must(sqlite3_bind_text(s, c + 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT), SQLITE_OK,
                 "bind");
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
            row[static_cast<std::size_t>(c)] = SQLiteData(data[static_cast<std::size_t>(r) * Columns + c]);
        s.bindAll(row);
        must(s.step(), SQLITE_DONE, "step");
    }
    s.close();
    db.commit();
}

void BM_RawCApi(benchmark::State& state)
{
    const auto& data = cells();
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3* db = nullptr;
        must(sqlite3_open(freshFile("raw.db").c_str(), &db), SQLITE_OK, "open");
        must(sqlite3_exec(db, CreateSql, nullptr, nullptr, nullptr), SQLITE_OK, "create");
        state.ResumeTiming();

        insertRaw(db, data);

        state.PauseTiming();
        must(static_cast<int>(countRows(db)), Rows, "row count");
        sqlite3_close(db);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}

void BM_Statement(benchmark::State& state)
{
    const auto& data = cells();
    for (auto _ : state) {
        state.PauseTiming();
        Connection db;
        db.open(freshFile("layer.db"));
        Cursor create = db.createCursor();
        create.execute(CreateSql);
        create.close();
        state.ResumeTiming();

        insertThroughLayer(db, data);

        state.PauseTiming();
        must(static_cast<int>(countRows(db.getHandle())), Rows, "row count");
        db.close();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}

BENCHMARK(BM_RawCApi)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_Statement)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);

// Keeps the console output and remembers the fastest repetition of each benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            double ms = run.GetAdjustedRealTime();
            auto [it, added] = best.try_emplace(run.run_name.function_name, ms);
            if (!added && ms < it->second)
                it->second = ms;
        }
    }
    std::map<std::string, double> best;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    cells();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(folder(), ec);

    auto raw = reporter.best.find("BM_RawCApi");
    auto layer = reporter.best.find("BM_Statement");
    if (raw == reporter.best.end() || layer == reporter.best.end())
        return 0;
    std::printf("\n%d rows x %d text columns, one transaction (best of the repetitions):\n", Rows, Columns);
    std::printf("  raw SQLite C API : %8.1f ms\n", raw->second);
    std::printf("  Statement layer  : %8.1f ms\n", layer->second);
    std::printf("  ratio            : %8.3f (target: at most 1.30)\n", layer->second / raw->second);
    return 0;
}
