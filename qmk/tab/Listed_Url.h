#pragma once
// A site row of one product's listing table, named by the product's id (15 columns).

#include "qmk/base/BaseRecord.h"
#include "qmk/tab/IShareware_Site.h"

#include <memory>

namespace qmk::tab {

class Listed_Url : public base::BaseRecord, public IShareware_Site {
public:
    // A new record: every column holds its placeholder or first choice.
    Listed_Url();

    // The kind's prototype, created on first use; only its metadata is meant to be read.
    static const Listed_Url& getInstance();
    // The kind's shared column metadata.
    static const std::shared_ptr<const base::ColumnSet>& columns();
    // The kind's default sort clause.
    static const char* defaultOrderBy() { return "pr DESC, backlink ASC"; }
};

} // namespace qmk::tab
