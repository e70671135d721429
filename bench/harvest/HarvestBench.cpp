// The per-result step of a link harvest, without its 50 ms wait and its rank request, over
// three site lists of 100,000 rows each (half the results known, half new), beside:
// - the plain scan of the three lists with hasId (what the step would cost without the lookup),
// - a bare std::unordered_set lookup of the same ids (the floor),
// - the step right after a list changed (the lookup is read again).
// Run: QT_QPA_PLATFORM=offscreen ./harvest_bench
#include "bench/common/BenchApp.h"
#include "qmk/Base.h"
#include "qmk/MyActionHarvest.h"
#include "qmk/tab/Black_Site.h"
#include "qmk/tab/Black_Sites.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Shareware_Sites.h"
#include "qmk/tab/Temp_Site.h"
#include "qmk/tab/Temp_Sites.h"

#include <benchmark/benchmark.h>

#include <unordered_set>

namespace {

constexpr int rowsPerTable = 100000;
constexpr int results = 1000;

std::string siteId(int table, int i)
{
    return "site" + std::to_string(table) + "-" + std::to_string(i * 7919 % 1000003) +
        ".example.com";
}

template <class Kind>
void fill(qmk::BaseRecords& list, int table)
{
    auto& records = list.getRecords();
    records.clear();
    records.reserve(rowsPerTable);
    for (int i = 0; i < rowsPerTable; ++i) {
        auto record = std::make_shared<Kind>();
        record->set("id", siteId(table, i));
        records.push_back(std::move(record));
    }
}

struct Data {
    std::vector<std::string> sites; // the results of one query: known and new alternately
    std::vector<std::string> pages;
    Data()
    {
        fill<qmk::tab::Shareware_Site>(*qmk::tab::Shareware_Sites::getInstance(), 0);
        fill<qmk::tab::Temp_Site>(*qmk::tab::Temp_Sites::getInstance(), 1);
        fill<qmk::tab::Black_Site>(*qmk::tab::Black_Sites::getInstance(), 2);
        for (int i = 0; i < results; ++i) {
            sites.push_back(i % 2 ? "new" + std::to_string(i) + ".example.org"
                                  : siteId(i % 3, i * 97 % rowsPerTable));
            pages.push_back("http://www." + sites.back() + "/download/index.html");
        }
    }
};

Data& data()
{
    static Data d;
    return d;
}

std::string fixedRank(const std::string&)
{
    return "5";
}

// A result of a long run: known and new alternately, every new site a different one.
struct Results {
    Data& d = data();
    std::size_t i = 0;
    long n = 0;
    std::string site, page;
    void next()
    {
        if (++i == d.sites.size())
            i = 0;
        if (i % 2) {
            site = "new" + std::to_string(++n) + ".example.org";
            page = "http://www." + site + "/download/index.html";
        } else {
            site = d.sites[i];
            page = d.pages[i];
        }
    }
};

void BM_PerResultStep(benchmark::State& state)
{
    qmk::MyAction::HarvestRun run("cheap software", "\tlink: ", &fixedRank);
    qmk::isNewSite("warm.example"); // the lookup is built once, as the first result of a run does
    Results results;
    for (auto _ : state) {
        results.next();
        benchmark::DoNotOptimize(run.collectSite(results.site, results.page));
        if (run.list.size() == 1000)
            run.list.clear();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PerResultStep);

void BM_BaselineScanWithHasId(benchmark::State& state)
{
    Data& d = data();
    const qmk::BaseRecords* lists[] = {qmk::tab::Shareware_Sites::getInstance(),
                                       qmk::tab::Temp_Sites::getInstance(),
                                       qmk::tab::Black_Sites::getInstance()};
    std::size_t i = 0;
    for (auto _ : state) {
        bool known = false;
        for (const qmk::BaseRecords* list : lists)
            if ((known = list->hasId(d.sites[i])))
                break;
        benchmark::DoNotOptimize(known);
        i = (i + 1) % d.sites.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BaselineScanWithHasId);

void BM_BaselineHashSetLookup(benchmark::State& state)
{
    Data& d = data();
    std::unordered_set<std::string> ids;
    for (int table = 0; table < 3; ++table)
        for (int row = 0; row < rowsPerTable; ++row)
            ids.insert(siteId(table, row));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ids.count(d.sites[i]));
        i = (i + 1) % d.sites.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BaselineHashSetLookup);

void BM_StepAfterAListChange(benchmark::State& state)
{
    qmk::MyAction::HarvestRun run("cheap software", "\tlink: ", &fixedRank);
    qmk::BaseRecords& temp = *qmk::tab::Temp_Sites::getInstance();
    auto extra = std::make_shared<qmk::tab::Temp_Site>();
    Results results;
    for (auto _ : state) {
        // a row added or removed during the previous wait: the lookup is read again
        if (!temp.add(extra))
            temp.remove(extra);
        results.next();
        benchmark::DoNotOptimize(run.collectSite(results.site, results.page));
        if (run.list.size() == 1000)
            run.list.clear();
    }
    temp.remove(extra);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepAfterAListChange)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
