// Closing the main window of the running program while a harvest waits between two results.
#include "HarvestServices.h"

#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/Startup.h"
#include "qmk/config/Config.h"
#include "qmk/dialog/FindDialog.h"
#include "qmk/extends/Commands.h"
#include "qmk/tab/Temp_Site.h"

#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>

namespace qmk::test {
namespace {

std::vector<std::string> ids(const std::string& path, const std::string& table)
{
    std::vector<std::string> values;
    sqlite3* handle = nullptr;
    sqlite3_open(path.c_str(), &handle);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(handle, ("SELECT id FROM " + table + " ORDER BY id").c_str(), -1, &statement,
                       nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
        values.push_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return values;
}

TEST(HarvestQuit, ClosingTheWindowEndsTheHarvestAndTheProgram)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/Brightfen/Quillmark";
    config::Config::setInstance(std::make_unique<config::Config>(folder, "qmk.config"));
    const std::string path = folder + "/qmk.db";
    {
        DB db(path);
        auto record = std::make_shared<tab::Temp_Site>();
        record->set("id", "known2.example");
        db.insert(*record, "Temp_Sites");
    }
    SearchEngine engine;
    InboundService inbound;
    for (int k = 1; k <= 40; ++k) {
        const std::string site = "s" + std::to_string(k) + ".example";
        inbound.links.push_back("http://www." + site + "/p");
        engine.ranks[site] = "3";
    }
    int rankRequestsAtClose = -1;
    QTimer::singleShot(0, [&] {
        MainWindow* window = MainWindow::getInstance();
        ASSERT_NE(window, nullptr);
        QObject::connect(window->statusBar(), &QStatusBar::messageChanged, window,
                         [&, window](const QString& text) {
                             if (rankRequestsAtClose >= 0 || !text.contains("\tinbound link: "))
                                 return;
                             rankRequestsAtClose = engine.rankRequests;
                             QTimer::singleShot(0, window, &QWidget::close);
                         });
        extends::Commands::run(extends::Command::InboundLinksAction);
        QTest::keyClicks(dialog::FindDialog::getInstance().field(), "http://www.mine.example/");
        QTest::keyClick(dialog::FindDialog::getInstance().field(), Qt::Key_Return);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(startQuillmark(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(MainWindow::getInstance(), nullptr);
    EXPECT_EQ(rankRequestsAtClose, 1);
    EXPECT_EQ(engine.rankRequests, 1); // no result was visited after the close
    EXPECT_EQ(ids(path, "Temp_Sites"), std::vector<std::string>{"known2.example"});
}

} // namespace
} // namespace qmk::test
