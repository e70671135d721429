// The end of a session by signal, sent to the program running as a child process.
#include "Fixture.h"

#include <QProcess>

#include <csignal>
#include <filesystem>

namespace qmk::test {
namespace {

class EndSignal : public WindowTest {
protected:
    // The child on this test's data folder, once it says "ready".
    void start(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir_.path());
        child_.setProcessEnvironment(environment);
        child_.start(QMK_SIGNAL_CHILD, arguments);
        QByteArray output;
        while (!output.contains("ready\n") && child_.waitForReadyRead(20000))
            output += child_.readAllStandardOutput();
        ASSERT_TRUE(output.contains("ready\n")) << output.toStdString();
    }
    // To the running child alone: with no pid left, kill would reach the whole process group.
    void send(int number)
    {
        if (child_.processId() > 0)
            ::kill(pid_t(child_.processId()), number);
    }

    QProcess child_;
};

TEST_F(EndSignal, TermIntAndHupCloseTheWindowAsTheCloseBoxDoesAndASecondEndsAtOnce)
{
    addSite("Shareware_Sites", "a.com");
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        std::filesystem::remove(folder_ + "/qmk.config");
        const std::string typed = "site" + std::to_string(number) + ".com";
        ASSERT_NO_FATAL_FAILURE(start({QString::fromStdString(typed)}));
        send(number);
        ASSERT_TRUE(child_.waitForFinished(20000));
        EXPECT_EQ(child_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child_.exitCode(), 0);
        EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{typed});
        EXPECT_NE(readFile(folder_ + "/qmk.config").find("last_ctabitem_index="),
                  std::string::npos);
    }
    ASSERT_NO_FATAL_FAILURE(start({"", "busy"})); // the first signal's close cannot run yet
    send(SIGTERM);
    EXPECT_FALSE(child_.waitForFinished(500));
    send(SIGTERM);
    ASSERT_TRUE(child_.waitForFinished(5000));
    EXPECT_EQ(child_.exitStatus(), QProcess::CrashExit);
}

} // namespace
} // namespace qmk::test
