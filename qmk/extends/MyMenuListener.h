#pragma once
// Sets the enabled state of the commands each time a listening menu is about to show, and
// holds the test of whether the selected listing row can be submitted. UI thread only.
#include "qmk/base/BaseRecord.h"

namespace qmk::extends {

class MyMenuListener {
public:
    static MyMenuListener& getInstance();
    // updateActions.
    void menuAboutToShow();
    static void updateActions();
    // The product (Softwares row) of the selected listing row when it can be submitted, else
    // null; each failed check writes one console line.
    static base::RecordPtr isSubmitProductEnabled();
};

} // namespace qmk::extends
