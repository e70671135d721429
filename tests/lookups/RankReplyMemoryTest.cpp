// A hostile rank reply (16 MiB of line feeds or colons) is read without building a list of its
// lines or fields: the heap grows by about the reply itself, not by a multiple of it.
#include "FakeService.h"
#include "HeapPeak.h"
#include "vorn/PageRank.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t kReplyBytes = 16u * 1024 * 1024 - 1024;

// Peak heap growth while asking for the rank of a reply made of "Rank" and then `fill` bytes.
long long peakGrowthFor(char fill, std::optional<std::string>& rank)
{
    lookups_test::FakeService service(
        "QMK_SEARCH_URL", [fill](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(
                kReplyBytes, "text/plain",
                [fill](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    std::string chunk(std::min<std::size_t>(length, 64 * 1024), fill);
                    if (offset == 0)
                        chunk.replace(0, 4, "Rank");
                    sink.write(chunk.data(), chunk.size());
                    return true;
                });
        });
    lookups_test::resetHeapPeak();
    rank = vorn::PageRank::getRank("http://www.example.com");
    return lookups_test::heapPeakGrowth();
}

TEST(RankReplyMemory, ManyLinesOrFieldsCostAboutTheReply)
{
    for (const char fill : {'\n', ':', 'x'}) {
        std::optional<std::string> rank;
        const long long growth = peakGrowthFor(fill, rank);
        // The body string may hold up to twice the reply while it grows; a list of 16 million
        // views would add 256 MiB.
        EXPECT_LT(growth, 80ll << 20) << "fill byte " << int(fill);
        if (fill == ':')
            EXPECT_EQ(rank, "");
        else
            EXPECT_EQ(rank, std::nullopt);
    }
}

} // namespace
