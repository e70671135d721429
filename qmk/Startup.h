#pragma once
// The program's start-up and shutdown on the running QApplication: the settings store, COM,
// the message pump, the database, the main window and its event loop, then the settings file.
// A data folder that cannot be created, or a database that cannot be opened (waited for while
// another program holds it locked), is reported in a message dialog and ends the program with
// exit code 1; one that opens read-only is reported once, before the window opens. Nothing is
// thrown.
namespace qmk {

int startQuillmark();

} // namespace qmk
