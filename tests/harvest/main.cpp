// Harvest tests: one QApplication (offscreen) with the program's pump and commands.
#include "dwin/sys/win32/QtMessagePump.h"
#include "qmk/MainWindow.h"
#include "qmk/MyAction.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  QTemporaryDir data;
  if (!data.isValid()) return 2;
  setenv("XDG_DATA_HOME", data.path().toLocal8Bit().constData(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  dwin::sys::win32::installQtMessagePump();
  qmk::MainWindow::setCreateActions(qmk::MyAction::createActions);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  qmk::MyAction::releaseActions();
  return result;
}
