#pragma once
// The table view of "Softwares": the author's products.
#include "qmk/tab/BaseTable.h"
#include "qmk/tab/Software.h"

namespace qmk::tab {

class Softwares : public BaseTable<Softwares, Software> {
public:
    // The single instance, made on first use and kept for the run.
    static Softwares* getInstance();

private:
    Softwares() : BaseTable("Softwares") {}
};

} // namespace qmk::tab
