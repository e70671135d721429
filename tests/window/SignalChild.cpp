// The program as a user starts it, for the signal test. With a text argument, once the window
// runs, that text is typed into the sub_page cell of the first Shareware_Sites row and left open
// there (no Enter); with "hang" as the second argument, the UI thread then sleeps. "ready" on
// standard output says the signals may come.
#include "qmk/MainWindow.h"
#include "qmk/Startup.h"
#include "qmk/extends/RecordTableModel.h"
#include "qmk/extends/TableViewer.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

void typeWithoutEnter(const QString& text)
{
    qmk::MainWindow* window = qmk::MainWindow::getInstance();
    auto* records = qmk::extends::TableViewer::viewerRecordsOf(window->getTabFolder()->widget(0));
    auto* viewer = dynamic_cast<qmk::extends::TableViewer*>(records->getTableViewer());
    const auto& names = viewer->getModel()->columnNames();
    const int column = int(std::find(names.begin(), names.end(), "sub_page") - names.begin());
    QTableView* table = viewer->getTable();
    const QModelIndex cell = table->model()->index(0, column);
    window->activateWindow();
    table->setCurrentIndex(cell);
    table->edit(cell);
    if (auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(cell))) {
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QString text = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool hang = argc > 2 && std::string(argv[2]) == "hang";
    QTimer::singleShot(0, [text, hang] {
        if (!text.isEmpty())
            typeWithoutEnter(text);
        std::puts("ready");
        std::fflush(stdout);
        if (hang)
            std::this_thread::sleep_for(std::chrono::seconds(30));
    });
    return qmk::startQuillmark();
}
