#pragma once
// Content providers: what a table view shows as its rows.
#include "qmk/ViewerRecords.h"

#include <vector>

namespace qmk::extends {

// The do-nothing provider: no rows.
class StructuredContentProvider {
public:
    virtual ~StructuredContentProvider() = default;
    // The rows of the input; none here.
    virtual const std::vector<base::RecordPtr>& getElements(BaseRecords* input);
    virtual void dispose() {}
    virtual void inputChanged(BaseRecords* /*oldInput*/, BaseRecords* /*newInput*/) {}
};

// The rows of a record list: its live records array (never a copy).
class DefaultStructuredContentProvider : public StructuredContentProvider {
public:
    const std::vector<base::RecordPtr>& getElements(BaseRecords* input) override;
};

} // namespace qmk::extends
