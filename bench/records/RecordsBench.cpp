// Database object against the raw SQLite C API doing the same work, in one run.
//   Sync/*:  copying 10,000 catalogue sites into an empty listing table.
//   Load/*:  reading a 100,000-row Shareware_Sites table (records vs. plain strings).
//   Add/*:   adding one catalogue site with 50 products (time per product table): the database
//            object's one transaction per cascade against the same copies stored one commit
//            per table (as the cascade did before), and the raw API both ways.
#include "dwin/database/sqlite/Base.h"
#include "qmk/DB.h"
#include "qmk/ViewerRecords.h"
#include "qmk/WindowPort.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class Window : public qmk::WindowPort {
public:
    std::string current;
    void showStatus(const std::string&) override {}
    bool registerProduct(const std::string&) override { return true; }
    bool unregisterProduct(const std::string&) override { return true; }
    bool closeCurrentListedUrls() override { return false; }
    bool setCurrentListedUrls(const std::string&) override { return true; }
    std::optional<std::string> currentListedUrlsName() override { return current; }
    void refreshContextMenu() override {}
    void openTab(Tab) override {}
    std::string lastTabText() override { return current; }
};

struct TempFile {
    fs::path dir;
    explicit TempFile()
    {
        std::string pattern = (fs::temp_directory_path() / "qmk-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp");
        dir = pattern;
    }
    ~TempFile() { fs::remove_all(dir); }
    std::string db() const { return (dir / "qmk.db").string(); }
};

void exec(sqlite3* db, const std::string& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error(msg + " in " + sql);
    }
}

sqlite3* openRaw(const std::string& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("open");
    return db;
}

sqlite3_stmt* prepare(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    return s;
}

const char* const kSiteColumns =
    "id,pr,backlink,sub_method,sort,sub_page,rev_days,g_user,g_pass,notes";
const char* const kListingColumns = "id,pr,listed_url,username,password,version,sub_date,backlink,"
                                    "sub_method,sort,sub_page,rev_days,g_user,g_pass,notes";

// Fills the catalogue with n sites of realistic text through the raw API (one transaction).
void fillCatalogue(const std::string& path, int n)
{
    qmk::DB db(path); // creates the fixed tables
    db.close();
    sqlite3* raw = openRaw(path);
    exec(raw, "BEGIN;");
    sqlite3_stmt* ins = prepare(raw,
                                std::string("INSERT INTO Shareware_Sites (") + kSiteColumns +
                                    ") VALUES (?,?,?,?,?,?,?,?,?,?);");
    const char* fixed[] = {"not",
                           "pad",
                           "title",
                           "https://www.example.com/submit/software.php",
                           "30",
                           "[Engter Global Username",
                           "[Enter Global Password]",
                           "a note about this download site and its rules"};
    for (int i = 0; i < n; ++i) {
        const std::string id = "download-site-" + std::to_string(i) + ".example.com";
        const std::string pr = std::to_string(i % 10);
        sqlite3_bind_text(ins, 1, id.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 2, pr.c_str(), -1, SQLITE_TRANSIENT);
        for (int c = 0; c < 8; ++c)
            sqlite3_bind_text(ins, c + 3, fixed[c], -1, SQLITE_STATIC);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    exec(raw, "COMMIT;");
    sqlite3_close(raw);
}

void createListing(const std::string& path, const std::string& product)
{
    sqlite3* raw = openRaw(path);
    exec(raw,
         "create table \"" + product +
             "\" ( id UNIQUE NOT NULL,pr,listed_url,username,password,version,"
             "sub_date,backlink,sub_method,sort,sub_page,rev_days,g_user,g_pass,notes );");
    exec(raw, "INSERT INTO Softwares (id, pr) VALUES ('" + product + "', '5');");
    sqlite3_close(raw);
}

// ---------------- synchronizeSites ----------------

constexpr int kSyncSites = 10000;

void Sync_DB(benchmark::State& state)
{
    TempFile tmp;
    fillCatalogue(tmp.db(), kSyncSites);
    createListing(tmp.db(), "Product");
    Window window;
    window.current = "Product";
    qmk::DB db(tmp.db(), &window);
    // Emptied through the copying connection, as the baselines do: another connection's change
    // would make it read the file again.
    sqlite3* own = db.getConnection().getHandle();
    for (auto _ : state) {
        state.PauseTiming();
        exec(own, "DELETE FROM \"Product\";");
        state.ResumeTiming();
        if (!db.synchronizeSites())
            state.SkipWithError("not stored");
    }
    state.SetItemsProcessed(state.iterations() * kSyncSites);
}

// The same copy by hand: select the catalogue, one prepared INSERT, one transaction.
void Sync_RawRowByRow(benchmark::State& state)
{
    TempFile tmp;
    fillCatalogue(tmp.db(), kSyncSites);
    createListing(tmp.db(), "Product");
    sqlite3* raw = openRaw(tmp.db());
    const char* placeholders[] = {"[Enter listed url]", "[Enter Username]", "[Enter Password]",
                                  "[Enter Version]", "[Enter Date]"};
    for (auto _ : state) {
        state.PauseTiming();
        exec(raw, "DELETE FROM \"Product\";");
        state.ResumeTiming();
        sqlite3_stmt* sel =
            prepare(raw, std::string("SELECT ") + kSiteColumns + " FROM 'Shareware_Sites' ;");
        sqlite3_stmt* ins = prepare(raw,
                                    std::string("INSERT INTO \"Product\" ( ") + kListingColumns +
                                        " ) values( ?,?,?,?,?,?,?,?,?,?,?,?,?,?,? );");
        exec(raw, "begin;");
        while (sqlite3_step(sel) == SQLITE_ROW) {
            sqlite3_reset(ins);
            sqlite3_bind_value(ins, 1, sqlite3_column_value(sel, 0));
            sqlite3_bind_value(ins, 2, sqlite3_column_value(sel, 1));
            for (int i = 0; i < 5; ++i)
                sqlite3_bind_text(ins, 3 + i, placeholders[i], -1, SQLITE_STATIC);
            for (int c = 2; c < 10; ++c)
                sqlite3_bind_value(ins, c + 6, sqlite3_column_value(sel, c));
            sqlite3_step(ins);
        }
        exec(raw, "commit;");
        sqlite3_finalize(sel);
        sqlite3_finalize(ins);
    }
    sqlite3_close(raw);
    state.SetItemsProcessed(state.iterations() * kSyncSites);
}

// The engine doing it all in one statement (for reference).
void Sync_RawInsertSelect(benchmark::State& state)
{
    TempFile tmp;
    fillCatalogue(tmp.db(), kSyncSites);
    createListing(tmp.db(), "Product");
    sqlite3* raw = openRaw(tmp.db());
    const std::string sql = std::string("INSERT INTO \"Product\" ( ") + kListingColumns +
        " ) SELECT id,pr,'[Enter listed url]','[Enter Username]','[Enter Password]',"
        "'[Enter Version]','[Enter Date]',backlink,sub_method,sort,sub_page,rev_days,g_user,"
        "g_pass,notes FROM Shareware_Sites;";
    sqlite3_stmt* ins = prepare(raw, sql);
    for (auto _ : state) {
        state.PauseTiming();
        exec(raw, "DELETE FROM \"Product\";");
        state.ResumeTiming();
        exec(raw, "begin;");
        sqlite3_reset(ins);
        sqlite3_step(ins);
        exec(raw, "commit;");
    }
    sqlite3_finalize(ins);
    sqlite3_close(raw);
    state.SetItemsProcessed(state.iterations() * kSyncSites);
}

// ---------------- loading 100,000 rows ----------------

constexpr int kLoadRows = 100000;

const std::string& loadFile()
{
    static TempFile tmp;
    static const std::string path = [] {
        fillCatalogue(tmp.db(), kLoadRows);
        return tmp.db();
    }();
    return path;
}

void Load_Records(benchmark::State& state)
{
    qmk::DB db(loadFile());
    for (auto _ : state) {
        qmk::BaseRecords list("Shareware_Sites");
        db.loadTable<qmk::tab::Shareware_Site>(list, "Shareware_Sites");
        if (list.length() != kLoadRows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(list.getRecords().data());
    }
    state.SetItemsProcessed(state.iterations() * kLoadRows);
}

// The same statement read by hand into plain strings (one vector of 10 texts per row).
void Load_Raw(benchmark::State& state)
{
    sqlite3* raw = openRaw(loadFile());
    const std::string sql = std::string("SELECT ") + kSiteColumns +
        " FROM \"Shareware_Sites\" ORDER BY pr DESC, backlink DESC, id DESC;";
    for (auto _ : state) {
        std::vector<std::vector<std::string>> rows;
        sqlite3_stmt* sel = prepare(raw, sql);
        while (sqlite3_step(sel) == SQLITE_ROW) {
            std::vector<std::string> row;
            row.reserve(10);
            for (int c = 0; c < 10; ++c) {
                auto text = reinterpret_cast<const char*>(sqlite3_column_text(sel, c));
                row.emplace_back(text ? text : "",
                                 static_cast<std::size_t>(sqlite3_column_bytes(sel, c)));
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(sel);
        if (rows.size() != kLoadRows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(rows.data());
    }
    sqlite3_close(raw);
    state.SetItemsProcessed(state.iterations() * kLoadRows);
}

// ---------------- add with 50 products ----------------

constexpr int kProducts = 50;

std::string addFile(TempFile& tmp)
{
    fillCatalogue(tmp.db(), 100);
    for (int p = 0; p < kProducts; ++p)
        createListing(tmp.db(), "Product " + std::to_string(p));
    return tmp.db();
}

void Add_DB(benchmark::State& state)
{
    TempFile tmp;
    Window window;
    window.current = "Product 0";
    qmk::DB db(addFile(tmp), &window);
    int n = 0;
    for (auto _ : state) {
        qmk::tab::Shareware_Site site;
        site.set("id", "new-site-" + std::to_string(n++) + ".example.com");
        db.add(site, "Shareware_Sites");
    }
    state.counters["per_product_table"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kProducts),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The same copies through the database object, one write (one commit, one disk sync) per table.
void Add_DBPerTableCommit(benchmark::State& state)
{
    TempFile tmp;
    qmk::DB db(addFile(tmp));
    const std::vector<std::string> products = db.idsByRank();
    int n = 0;
    for (auto _ : state) {
        qmk::tab::Shareware_Site site;
        site.set("id", "new-site-" + std::to_string(n++) + ".example.com");
        if (db.existsInSiteTables(*site.get("id")) || db.insert(site, "Shareware_Sites") != 1)
            state.SkipWithError("catalogue insert");
        for (const auto& p : products) {
            qmk::tab::Listed_Url copy;
            for (const auto& name : site.getColumnNames())
                copy.set(name, *site.get(name));
            db.insert(copy, p);
        }
    }
    state.counters["per_product_table"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kProducts),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The same statements by hand: the duplicate check, the catalogue insert, then per product a
// look-up and an insert; with oneTransaction all of it between BEGIN and COMMIT, otherwise each
// statement in its own automatic transaction.
void addRaw(benchmark::State& state, bool oneTransaction)
{
    TempFile tmp;
    sqlite3* raw = openRaw(addFile(tmp));
    std::vector<std::string> products;
    {
        sqlite3_stmt* ids = prepare(raw, "SELECT id FROM 'Softwares' ORDER BY pr DESC, id DESC;");
        while (sqlite3_step(ids) == SQLITE_ROW)
            products.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(ids, 0)));
        sqlite3_finalize(ids);
    }
    const char* values[] = {"-1",
                            "[Enter listed url]",
                            "[Enter Username]",
                            "[Enter Password]",
                            "[Enter Version]",
                            "[Enter Date]",
                            "not",
                            "pad",
                            "title",
                            "[Enter page]",
                            "0",
                            "[Engter Global Username",
                            "[Enter Global Password]",
                            "[Enter notes]"};
    int n = 0;
    for (auto _ : state) {
        const std::string id = "new-site-" + std::to_string(n++) + ".example.com";
        if (oneTransaction)
            exec(raw, "BEGIN IMMEDIATE;");
        for (const char* t : {"Shareware_Sites", "Black_Sites", "Temp_Sites"}) {
            sqlite3_stmt* s =
                prepare(raw, std::string("SELECT id FROM \"") + t + "\" WHERE id = ?;");
            sqlite3_bind_text(s, 1, id.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(s);
            sqlite3_finalize(s);
        }
        sqlite3_stmt* cat = prepare(raw,
                                    std::string("INSERT INTO \"Shareware_Sites\" ( ") +
                                        kSiteColumns + " ) values( ?,?,?,?,?,?,?,?,?,? );");
        sqlite3_bind_text(cat, 1, id.c_str(), -1, SQLITE_TRANSIENT);
        const int siteValue[] = {0, 6, 7, 8, 9, 10, 11, 12, 13};
        for (int c = 0; c < 9; ++c)
            sqlite3_bind_text(cat, c + 2, values[siteValue[c]], -1, SQLITE_STATIC);
        sqlite3_step(cat);
        sqlite3_finalize(cat);
        for (const auto& p : products) {
            sqlite3_stmt* look = prepare(raw, "SELECT * FROM \"" + p + "\" WHERE id = ?;");
            sqlite3_bind_text(look, 1, id.c_str(), -1, SQLITE_TRANSIENT);
            const bool found = sqlite3_step(look) == SQLITE_ROW;
            sqlite3_finalize(look);
            if (found)
                continue;
            sqlite3_stmt* ins = prepare(raw,
                                        "INSERT INTO \"" + p + "\" ( " + kListingColumns +
                                            " ) values( ?,?,?,?,?,?,?,?,?,?,?,?,?,?,? );");
            sqlite3_bind_text(ins, 1, id.c_str(), -1, SQLITE_TRANSIENT);
            for (int c = 0; c < 14; ++c)
                sqlite3_bind_text(ins, c + 2, values[c], -1, SQLITE_STATIC);
            sqlite3_step(ins);
            sqlite3_finalize(ins);
        }
        if (oneTransaction)
            exec(raw, "COMMIT;");
    }
    sqlite3_close(raw);
    state.counters["per_product_table"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kProducts),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Add_Raw(benchmark::State& state)
{
    addRaw(state, false);
}
void Add_RawOneTransaction(benchmark::State& state)
{
    addRaw(state, true);
}

} // namespace

BENCHMARK(Sync_DB)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Sync_RawRowByRow)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Sync_RawInsertSelect)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Load_Records)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Load_Raw)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Add_DB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Add_DBPerTableCommit)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Add_Raw)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Add_RawOneTransaction)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
