// The program as a user starts it, with an edit left open: once the window runs, the first
// argument is typed over the first Shareware_Sites id (no Enter) and "ready" is printed; with a
// second argument the UI thread is busy for half a minute after that.
#include "qmk/MainWindow.h"
#include "qmk/Startup.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTimer::singleShot(0, [argc, argv] {
        QWidget* page = qmk::MainWindow::getInstance()->getTabFolder()->widget(0);
        auto* table = qobject_cast<QTableView*>(page);
        table->setCurrentIndex(table->model()->index(0, 0));
        table->edit(table->currentIndex());
        if (auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()))) {
            editor->selectAll();
            QTest::keyClicks(editor, argv[1]);
        }
        std::puts("ready");
        std::fflush(stdout);
        if (argc > 2)
            std::this_thread::sleep_for(std::chrono::seconds(30)); // signals do not cut it short
    });
    return qmk::startQuillmark();
}
