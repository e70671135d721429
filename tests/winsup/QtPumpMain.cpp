// Runs the tests inside the application's event loop, as the program's commands run.
#include "dwin/sys/win32/QtMessagePump.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    dwin::sys::win32::installQtMessagePump();
    int result = 1;
    QTimer::singleShot(0, &app, [&result] {
        result = RUN_ALL_TESTS();
        QCoreApplication::exit(result);
    });
    QCoreApplication::exec();
    dwin::sys::win32::installMessagePump(nullptr);
    return result;
}
