#pragma once
// A candidate site found by searching, table "Temp_Sites" (10 columns).

#include "qmk/base/BaseRecord.h"
#include "qmk/tab/IShareware_Site.h"

#include <memory>

namespace qmk::tab {

class Temp_Site : public base::BaseRecord, public IShareware_Site {
public:
    // A new record: every column holds its placeholder or first choice.
    Temp_Site();

    // The kind's prototype, created on first use; only its metadata is meant to be read.
    static const Temp_Site& getInstance();
    // The kind's shared column metadata.
    static const std::shared_ptr<const base::ColumnSet>& columns();
    // The kind's default sort clause.
    static const char* defaultOrderBy() { return "pr DESC, backlink DESC, id DESC"; }
};

} // namespace qmk::tab
