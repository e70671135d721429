// The end of a session by signal, sent to the program running as a child with an edit left open.
#include "Fixture.h"

#include <QProcess>

#include <csignal>
#include <filesystem>

namespace qmk::test {
namespace {

class EndSignal : public WindowTest {};

TEST_F(EndSignal, TermIntAndHupCloseTheWindowAsTheCloseBoxDoes)
{
    addSite("Shareware_Sites", "a.com");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dir_.path());
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        std::filesystem::remove(folder_ + "/qmk.config");
        const std::string typed = "site" + std::to_string(number) + ".com";
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QMK_SIGNAL_CHILD, {QString::fromStdString(typed)});
        ASSERT_TRUE(child.waitForReadyRead(20000));
        ASSERT_EQ(child.readAllStandardOutput().toStdString(), "ready\n");
        ASSERT_GT(child.processId(), 0); // never kill(0): that is the whole process group
        ::kill(pid_t(child.processId()), number);
        ASSERT_TRUE(child.waitForFinished(20000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{typed});
        EXPECT_NE(readFile(folder_ + "/qmk.config").find("last_ctabitem_index="),
                  std::string::npos);
    }
}

} // namespace
} // namespace qmk::test
