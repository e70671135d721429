// The listing position check against a loopback download site, on a real database.
#include "Fixture.h"
#include "lookups/FakeService.h"

#include "dwin/net/Services.h"
#include "qmk/Base.h"
#include "qmk/MessageDialog.h"
#include "qmk/MyAction.h"

#include <map>

namespace qmk::test {
namespace {

using lookups_test::FakeService;

// A category page: the products in the order given, one entry per "Released:" part, padded to
// a realistic size.
std::string categoryPage(const std::vector<std::string>& entries, std::size_t pad = 4000)
{
    std::string html = "<html><body><h1>Category</h1>";
    for (const std::string& entry : entries)
        html += "<div class=item><b>" + entry + "</b> Released: 2008-09-17</div>\n";
    html += "</body></html>";
    if (html.size() < pad)
        html += std::string(pad - html.size(), ' ');
    return html;
}

std::vector<std::string> listWith(const std::map<int, std::string>& at, int length)
{
    std::vector<std::string> entries;
    for (int position = 1; position <= length; ++position)
        entries.push_back(at.count(position) ? at.at(position)
                                             : "Other Program " + std::to_string(position));
    return entries;
}

class CheckUpdate : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        MessageDialog::setInterceptor(
            [this](MessageDialog::Kind, const std::string& title, const std::string& text) {
                boxes_.push_back(title + "|" + text);
            });
    }
    void TearDown() override
    {
        MessageDialog::setInterceptor(nullptr);
        WindowTest::TearDown();
    }
    // A product with its listing row at the download site.
    void product(const std::string& id, const std::string& pr,
                 const std::optional<std::string>& listedUrl)
    {
        addProduct(id, pr);
        if (listedUrl)
            exec("INSERT INTO \"" + id + "\" (id, listed_url) VALUES ('" +
                 dwin::net::downloadSiteDomain() + "', '" + *listedUrl + "');");
    }
    static std::string listed(const std::string& cid)
    {
        return "https://www." + dwin::net::downloadSiteDomain() + "/category.php[id][cid]" + cid;
    }
    // The download site: one page per category id.
    std::map<std::string, std::string> pages_;
    FakeService site_{"QMK_DOWNLOAD_SITE_URL",
                      [this](const httplib::Request& req, httplib::Response& res) {
                          const std::string prefix = "/category.php%5Bid%5D";
                          if (req.target.rfind(prefix, 0) != 0 ||
                              !pages_.count(req.target.substr(prefix.size()))) {
                              res.status = 404;
                              return;
                          }
                          res.set_content(pages_.at(req.target.substr(prefix.size())), "text/html");
                      }};
    std::vector<std::string> boxes_;
};

TEST_F(CheckUpdate, PositionsInDescendingTextOrder)
{
    product("Alpha Writer", "3", listed("11"));
    product("Beta Tool", "2", listed("12"));
    product("Gamma", "1", listed("13"));
    product("Delta", "0", listed("14"));
    pages_["11"] = categoryPage(listWith({{3, "Alpha Writer"}}, 20));
    pages_["12"] = categoryPage(listWith({{12, "Beta Tool"}}, 20));
    pages_["13"] = categoryPage(listWith({}, 20)); // not listed
    pages_["14"] = categoryPage(listWith({{2, "Delta"}}, 20), 0); // a short page
    openWindow();
    MyAction::checkUpdateAction->run();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], "result|99\tGamma\r\n99\tDelta\r\n12\tBeta Tool\r\n03\tAlpha Writer");
    EXPECT_EQ(status(), "CheckUpdateAction: getIndex: source html less than 300");
    EXPECT_EQ(site_.requestCount(), 4u);
    EXPECT_EQ(categoryPageUrl("11"), site_.baseUrl() + "/category.php%5Bid%5D11");
}

TEST_F(CheckUpdate, ProductWithoutListingEndsTheCheck)
{
    product("A", "3", listed("11"));
    product("B", "2", std::nullopt);
    product("C", "1", listed("13"));
    product("D", "0", "https://example/x"); // not reached
    pages_["11"] = categoryPage(listWith({{1, "A"}}, 12));
    openWindow();
    MyAction::checkUpdateAction->run();
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(status(), "not got listed_Url from db for B");
    EXPECT_EQ(site_.requestCount(), 1u);

    // A listing address without a category id leaves the product out; no products, no box.
    exec("INSERT INTO \"B\" (id, listed_url) VALUES ('" + dwin::net::downloadSiteDomain() +
         "', 'https://short');");
    exec("DELETE FROM Softwares WHERE id IN ('C', 'D');");
    MyAction::checkUpdateAction->run();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], "result|01\tA");
    EXPECT_EQ(status(), "incorrect url format: https://short");
    exec("DELETE FROM Softwares;");
    MyAction::checkUpdateAction->run();
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(status(), "");
}

} // namespace
} // namespace qmk::test
