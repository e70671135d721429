#pragma once
// A rejected site with its reason, table "Black_Sites" (11 columns).

#include "qmk/base/BaseRecord.h"
#include "qmk/tab/IShareware_Site.h"

#include <memory>

namespace qmk::tab {

class Black_Site : public base::BaseRecord, public IShareware_Site {
public:
    // A new record: every column holds its placeholder or first choice.
    Black_Site();

    // The kind's prototype, created on first use; only its metadata is meant to be read.
    static const Black_Site& getInstance();
    // The kind's shared column metadata.
    static const std::shared_ptr<const base::ColumnSet>& columns();
    // The kind's default sort clause.
    static const char* defaultOrderBy() { return "reason ASC, pr DESC"; }
};

} // namespace qmk::tab
