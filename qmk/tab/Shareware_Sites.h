#pragma once
// The table view of "Shareware_Sites": the catalogue of download sites.
#include "qmk/tab/BaseTable.h"
#include "qmk/tab/Shareware_Site.h"

namespace qmk::tab {

class Shareware_Sites : public BaseTable<Shareware_Sites, Shareware_Site> {
public:
    // The single instance, made on first use and kept for the run.
    static Shareware_Sites* getInstance();
    void addTableMenuItems() override;

private:
    Shareware_Sites() : BaseTable("Shareware_Sites") {}
};

} // namespace qmk::tab
