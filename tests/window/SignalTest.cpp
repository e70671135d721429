// The end of a session by signal, sent to the program running as a child process.
#include "Fixture.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>
#include <filesystem>

namespace qmk::test {
namespace {

class EndSignal : public WindowTest {
protected:
    // Starts the child on this test's data folder and waits until it says "ready".
    void start(QProcess& child, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir_.path());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QMK_SIGNAL_CHILD, arguments);
        QByteArray output;
        while (!output.contains("ready\n") && child.waitForReadyRead(20000))
            output += child.readAllStandardOutput();
        ASSERT_TRUE(output.contains("ready\n")) << output.toStdString();
    }
    // The signal to the running child only (no pid once it has ended: never the whole group).
    static void send(QProcess& child, int number)
    {
        if (child.state() == QProcess::Running && child.processId() > 0)
            ::kill(pid_t(child.processId()), number);
    }
};

TEST_F(EndSignal, TermIntAndHupCloseTheWindowAsTheCloseBoxDoesAndASecondEndsAtOnce)
{
    addSite("Shareware_Sites", "a.com");
    db_.reset();
    const std::string settings = folder_ + "/qmk.config";
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        std::filesystem::remove(settings);
        const QString typed = QString("http://a.com/%1").arg(number);
        QProcess child;
        ASSERT_NO_FATAL_FAILURE(start(child, {typed}));
        send(child, number);
        ASSERT_TRUE(child.waitForFinished(20000)) << number;
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << number;
        EXPECT_EQ(child.exitCode(), 0) << number;
        EXPECT_EQ(column("SELECT sub_page FROM Shareware_Sites"),
                  std::vector<std::string>{typed.toStdString()});
        EXPECT_NE(readFile(settings).find("last_ctabitem_index="), std::string::npos) << number;
    }
    // the UI thread is busy: the first signal's close waits, the second one ends the program
    QProcess child;
    ASSERT_NO_FATAL_FAILURE(start(child, {"", "hang"}));
    send(child, SIGTERM);
    EXPECT_FALSE(child.waitForFinished(500));
    send(child, SIGTERM);
    ASSERT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

} // namespace
} // namespace qmk::test
