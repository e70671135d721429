#pragma once
// The table view of "Black_Sites": sites rejected, with a reason.
#include "qmk/tab/BaseTable.h"
#include "qmk/tab/Black_Site.h"

namespace qmk::tab {

class Black_Sites : public BaseTable<Black_Sites, Black_Site> {
public:
    // The single instance, made on first use and kept for the run.
    static Black_Sites* getInstance();
    void addTableMenuItems() override;

private:
    Black_Sites() : BaseTable("Black_Sites") {}
};

} // namespace qmk::tab
