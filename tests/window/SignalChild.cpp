// The program as a user starts it, with an edit left open: once the window runs, the first
// argument is typed over the first Shareware_Sites id (no Enter), then "ready" is printed. A line
// on standard input is a key the user presses in the window.
#include "qmk/MainWindow.h"
#include "qmk/Startup.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QString typed = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTimer::singleShot(0, [typed] {
        QWidget* page = qmk::MainWindow::getInstance()->getTabFolder()->widget(0);
        auto* table = qobject_cast<QTableView*>(page);
        table->setCurrentIndex(table->model()->index(0, 0));
        table->edit(table->currentIndex());
        QTest::keyClicks(table->indexWidget(table->currentIndex()), typed); // over the old id
        std::puts("ready");
        std::fflush(stdout);
    });
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [] {
        char line[64];
        if (!std::fgets(line, sizeof line, stdin))
            return;
        QTest::keyClick(qmk::MainWindow::getInstance(), Qt::Key_Shift);
        std::puts("pressed");
        std::fflush(stdout);
    });
    return qmk::startQuillmark();
}
