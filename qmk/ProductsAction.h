#pragma once
// The "&Products" menu's two commands, each opening the web page of another of the maker's
// products. createActions makes them once, owned by the application object (they live to the
// end of the run), and registers them as "FirstProductAction" and "SecondProductAction" so the
// main window places them. UI thread only; needs a QApplication.
#include "qmk/MyAction.h"

namespace qmk::ProductsAction {

class FirstProductAction : public MyAction::Action {
public:
    FirstProductAction();
    void run() override;
};

class SecondProductAction : public MyAction::Action {
public:
    SecondProductAction();
    void run() override;
};

// Makes the two commands on the first call; every call registers them again (a test may have
// put others in their place).
void createActions();

extern FirstProductAction* firstProductAction;
extern SecondProductAction* secondProductAction;

} // namespace qmk::ProductsAction
