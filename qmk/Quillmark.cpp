// The program's entry point; it takes no arguments of its own.
#include "qmk/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    return qmk::startQuillmark();
}
