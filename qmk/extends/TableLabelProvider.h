#pragma once
// Label providers: the text a table view shows in a cell.
#include "qmk/base/BaseRecord.h"

#include <string>
#include <vector>

namespace qmk::extends {

// The do-nothing provider: empty cells without images.
class TableLabelProvider {
public:
    virtual ~TableLabelProvider() = default;
    // Images are never shown: always false.
    virtual bool hasColumnImage(const base::BaseRecord* /*element*/, int /*columnIndex*/) const
    {
        return false;
    }
    virtual std::string getColumnText(const base::BaseRecord* element, int columnIndex) const;
    virtual void dispose() {}
    virtual bool isLabelProperty(const base::BaseRecord* /*element*/,
                                 const std::string& /*property*/) const
    {
        return false;
    }
};

// The value of the record's field named by the column's header; "" for an index out of range,
// a field the record lacks or a failure (which writes one console line). Never throws.
class DefaultTableLabelProvider : public TableLabelProvider {
public:
    // The header texts of the table's columns, in order (not owned; must outlive the provider).
    explicit DefaultTableLabelProvider(const std::vector<std::string>* headers) : headers_(headers)
    {
    }
    std::string getColumnText(const base::BaseRecord* element, int columnIndex) const override;

private:
    const std::vector<std::string>* headers_;
};

} // namespace qmk::extends
