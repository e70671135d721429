// The end of a session by signal, sent to the program running as a child with an edit left open.
#include "Fixture.h"

#include <QProcess>

#include <sqlite3.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

namespace qmk::test {
namespace {

class EndSignal : public WindowTest {
protected:
    // Starts the program, which types `typed` over the first Shareware_Sites id (no Enter).
    void start(QProcess& child, const std::string& typed)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir_.path());
        std::filesystem::remove(folder_ + "/qmk.config");
        child.setProcessEnvironment(environment);
        child.start(QMK_SIGNAL_CHILD, {QString::fromStdString(typed)});
        ASSERT_TRUE(child.waitForReadyRead(20000));
        ASSERT_EQ(child.readAllStandardOutput().toStdString(), "ready\n");
        ASSERT_GT(child.processId(), 0); // never kill(0): that is the whole process group
    }
    void send(const QProcess& child, const std::vector<int>& numbers)
    {
        for (const int number : numbers)
            ::kill(pid_t(child.processId()), number);
    }
    bool configWritten() { return std::filesystem::exists(folder_ + "/qmk.config"); }
};

TEST_F(EndSignal, TermIntAndHupCloseTheWindowAsTheCloseBoxDoes)
{
    addSite("Shareware_Sites", "a.com");
    // a session's end sends TERM and HUP back to back: one request, as one signal
    const std::vector<std::vector<int>> requests = {
        {SIGTERM}, {SIGINT}, {SIGHUP}, {SIGTERM, SIGHUP}};
    for (std::size_t k = 0; k < requests.size(); ++k) {
        const std::string typed = "site" + std::to_string(k) + ".com";
        SCOPED_TRACE(typed);
        QProcess child;
        start(child, typed);
        send(child, requests[k]);
        ASSERT_TRUE(child.waitForFinished(20000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{typed});
        EXPECT_NE(readFile(folder_ + "/qmk.config").find("last_ctabitem_index="),
                  std::string::npos);
    }
}

TEST_F(EndSignal, ASignalAfterTheCloseRanEndsTheProgramAtOnce)
{
    addSite("Shareware_Sites", "a.com");
    addSite("Black_Sites", "b.com");
    QProcess refused; // the typed id is refused: the window stays open with the reason
    start(refused, "b.com");
    send(refused, {SIGTERM, SIGHUP});
    std::string console;
    while (console.find("the window stays open") == std::string::npos &&
           refused.waitForReadyRead(20000))
        console += refused.readAllStandardOutput().toStdString();
    EXPECT_NE(console.find("close refused: "), std::string::npos) << console;
    EXPECT_EQ(refused.state(), QProcess::Running);
    send(refused, {SIGTERM});
    ASSERT_TRUE(refused.waitForFinished(20000));
    EXPECT_EQ(refused.exitStatus(), QProcess::CrashExit);
    EXPECT_FALSE(configWritten());

    // once the user has acted in the window, a signal is a close again
    QProcess used;
    start(used, "b.com");
    send(used, {SIGTERM});
    for (console.clear(); console.find("pressed") == std::string::npos;) {
        if (console.find("the window stays open") != std::string::npos)
            used.write("key\n"), console.clear();
        ASSERT_TRUE(used.waitForReadyRead(20000)) << console;
        console += used.readAllStandardOutput().toStdString();
    }
    send(used, {SIGTERM});
    ASSERT_TRUE(used.waitForFinished(20000));
    EXPECT_EQ(used.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(configWritten());

    QProcess stuck; // the close waits for another program's lock
    start(stuck, "c.com");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((folder_ + "/qmk.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    send(stuck, {SIGTERM});
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    send(stuck, {SIGHUP});
    EXPECT_TRUE(stuck.waitForFinished(2500)) << "the busy wait lasts 5 s";
    EXPECT_EQ(stuck.exitStatus(), QProcess::CrashExit);
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{"a.com"});
    EXPECT_FALSE(configWritten());
}

} // namespace
} // namespace qmk::test
