#pragma once
// One of the author's products, table "Softwares" (6 columns).

#include "qmk/base/BaseRecord.h"

#include <memory>

namespace qmk::tab {

class Software : public base::BaseRecord {
public:
    // A new record: every column holds its placeholder or first choice.
    Software();

    // The kind's prototype, created on first use; only its metadata is meant to be read.
    static const Software& getInstance();
    // The kind's shared column metadata.
    static const std::shared_ptr<const base::ColumnSet>& columns();
    // The kind's default sort clause.
    static const char* defaultOrderBy() { return "pr DESC, id DESC"; }
};

} // namespace qmk::tab
