// The reporting path itself: it never throws and never drops a line without a word.
#include "qmk/Report.h"
#include "qmk/WindowPort.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <stdexcept>

namespace qmk::test {
namespace {

// A window whose status line fails.
struct BrokenWindow : WindowPort {
    void showStatus(const std::string&) override { throw std::runtime_error("no status line"); }
    bool registerProduct(const std::string&) override { return false; }
    bool unregisterProduct(const std::string&) override { return false; }
    bool closeCurrentListedUrls() override { return false; }
    bool setCurrentListedUrls(const std::string&) override { return false; }
    std::optional<std::string> currentListedUrlsName() override { return std::nullopt; }
    void refreshContextMenu() override {}
    void openTab(Tab) override {}
    std::string lastTabText() override { return {}; }
};

TEST(Report, FailuresOfTheReporterItselfStillLeaveALine)
{
    std::ostringstream console;
    std::streambuf* out = std::cout.rdbuf(console.rdbuf());
    BrokenWindow window;
    report::notStored(&window, "row a.com", "disk full");
    try {
        throw std::logic_error("bad count");
    } catch (...) {
        report::caught("getInboundLinks");
    }
    try {
        throw 42;
    } catch (...) {
        report::caught("showPrompt");
    }
    std::cout.rdbuf(out);
    EXPECT_EQ(console.str(),
              "write failed: row a.com: disk full\n"
              "notStored status line catch no status line\n"
              "getInboundLinks catch bad count\n"
              "showPrompt catch unknown exception\n");

    // a console that refuses the line: standard error has it, the console works again after
    testing::internal::CaptureStderr();
    std::cout.setstate(std::ios::badbit);
    report::trace("lost line");
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_EQ(error, "trace line not written to the console: lost line\n");
    EXPECT_TRUE(std::cout.good());
}

} // namespace
} // namespace qmk::test
