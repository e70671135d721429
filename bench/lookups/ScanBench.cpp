// Scraping result pages: the link matchers against a plain std::string::find loop over the same
// markers, on the same 10 pages of 100 results (about 1 MiB).
#include "dwin/text/scregexp.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using dwin::text::scregexp::screg;

// Ten search result pages of 100 results, each result about 1 KiB of markup with other links.
const std::string& searchPages()
{
    static const std::string pages = [] {
        std::string all;
        for (int page = 0; page < 10; ++page) {
            all += "<html><head><title>cheap software - Search</title></head><body>\n"
                   "<div>Results <b>1</b> - <b>100</b> of about <b>1,234</b> for <b>cheap "
                   "software</b>. "
                   "(0.21 seconds)</div>\n";
            for (int i = 0; i < 100; ++i) {
                const std::string k = std::to_string(page * 100 + i);
                all += "<div class=g><h2 class=r><a href=\"http://www.site" + k +
                    ".example/software/download/p" + k +
                    ".html\" target=_blank class=l>Cheap <b>software</b> downloads number " + k +
                    "</a></h2><table border=0 cellpadding=0 cellspacing=0><tr><td class=j><font "
                    "size=-1>"
                    "Download shareware and freeware for Windows: utilities, games, business and "
                    "developer "
                    "tools. Reviews, screenshots and ratings of thousands of programs, updated "
                    "daily, with "
                    "editor picks and <b>cheap software</b> deals from publishers around the world "
                    "...<br>"
                    "<span class=a>www.site" +
                    k + ".example/software/download/p" + k +
                    ".html - 24k - </span>"
                    "<nobr><a class=fl href=\"/search?q=cache:" +
                    k + ":www.site" + k +
                    ".example/\">Cached"
                    "</a> - <a class=fl href=\"/search?hl=en&amp;q=related:www.site" +
                    k +
                    ".example/\">"
                    "Similar pages</a> - <a class=fl href=\"/translate?u=http://www.site" +
                    k +
                    ".example/\">"
                    "Translate this page</a></nobr></font></td></tr></table></div>\n";
            }
            all += "</body></html>\n";
        }
        return all;
    }();
    return pages;
}

// Ten inbound-links XML pages of 100 results.
const std::string& inboundPages()
{
    static const std::string pages = [] {
        std::string all;
        for (int page = 0; page < 10; ++page) {
            all += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ResultSet "
                   "totalResultsAvailable=\"5000\" "
                   "totalResultsReturned=\"100\" firstResultPosition=\"" +
                std::to_string(page * 100 + 1) + "\">\n";
            for (int i = 0; i < 100; ++i) {
                const std::string k = std::to_string(page * 100 + i);
                all += "<Result><Title>Software downloads and reviews, page " + k +
                    " of the catalogue of a "
                    "download site with many programs in many categories</Title>"
                    "<Url>http://www.site" +
                    k + ".example/software/category/utilities/page" + k +
                    ".html</Url>"
                    "<ClickUrl>http://www.site" +
                    k + ".example/software/category/utilities/page" + k +
                    ".html</ClickUrl><Summary>" + std::string(700, 's') + "</Summary></Result>\n";
            }
            all += "</ResultSet>\n";
        }
        return all;
    }();
    return pages;
}

void BM_LinkMatcher(benchmark::State& state)
{
    const std::string& text = searchPages();
    for (auto _ : state) {
        std::vector<std::string> links;
        screg<"href=.([^ ]+?). target=_blank class=l"> m;
        while (m.find(text))
            links.push_back(m.group(1));
        benchmark::DoNotOptimize(links.data());
        if (links.size() != 1000)
            state.SkipWithError("wrong number of links");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The same links with std::string::find: each "href=", then the first blank after it, which must
// start " target=_blank class=l"; the link lies between the delimiters.
void BM_LinkFindBaseline(benchmark::State& state)
{
    const std::string& text = searchPages();
    const std::string tail = " target=_blank class=l";
    for (auto _ : state) {
        std::vector<std::string> links;
        std::size_t pos = text.find("href=");
        while (pos != std::string::npos) {
            const std::size_t blank = text.find(' ', pos + 6);
            if (blank == std::string::npos)
                break;
            if (blank > pos + 7 && text.compare(blank, tail.size(), tail) == 0) {
                links.emplace_back(text, pos + 6, blank - 1 - (pos + 6));
                pos = text.find("href=", blank + tail.size());
            } else {
                pos = text.find("href=", pos + 5);
            }
        }
        benchmark::DoNotOptimize(links.data());
        if (links.size() != 1000)
            state.SkipWithError("wrong number of links");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_UrlMatcher(benchmark::State& state)
{
    const std::string& text = inboundPages();
    for (auto _ : state) {
        std::vector<std::string> links;
        screg<"<Url>(.+?)</Url>"> m;
        while (m.find(text))
            links.push_back(m.group(1));
        benchmark::DoNotOptimize(links.data());
        if (links.size() != 1000)
            state.SkipWithError("wrong number of links");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The same URLs with std::string::find: each "<Url>", then the next "</Url>" on the same line.
void BM_UrlFindBaseline(benchmark::State& state)
{
    const std::string& text = inboundPages();
    for (auto _ : state) {
        std::vector<std::string> links;
        std::size_t pos = text.find("<Url>");
        while (pos != std::string::npos) {
            const std::size_t end = text.find("</Url>", pos + 5);
            if (end == std::string::npos)
                break;
            const std::size_t lf = text.find('\n', pos + 5);
            if (end > pos + 5 && (lf == std::string::npos || end < lf)) {
                links.emplace_back(text, pos + 5, end - pos - 5);
                pos = text.find("<Url>", end + 6);
            } else {
                pos = text.find("<Url>", pos + 5);
            }
        }
        benchmark::DoNotOptimize(links.data());
        if (links.size() != 1000)
            state.SkipWithError("wrong number of links");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// A 10 MiB page without any marker.
void BM_UrlMatcherNoMarkers(benchmark::State& state)
{
    const std::string text(10u << 20, 'x');
    for (auto _ : state) {
        screg<"<Url>(.+?)</Url>"> m;
        benchmark::DoNotOptimize(m.find(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_LinkMatcher);
BENCHMARK(BM_LinkFindBaseline);
BENCHMARK(BM_UrlMatcher);
BENCHMARK(BM_UrlFindBaseline);
BENCHMARK(BM_UrlMatcherNoMarkers);

} // namespace

BENCHMARK_MAIN();
