#pragma once
// The table view of "Temp_Sites": candidate sites found by searching.
#include "qmk/tab/BaseTable.h"
#include "qmk/tab/Temp_Site.h"

namespace qmk::tab {

class Temp_Sites : public BaseTable<Temp_Sites, Temp_Site> {
public:
    // The single instance, made on first use and kept for the run.
    static Temp_Sites* getInstance();
    void addTableMenuItems() override;

private:
    Temp_Sites() : BaseTable("Temp_Sites") {}
};

} // namespace qmk::tab
