#include "qmk/extends/StructuredContentProvider.h"
#include "qmk/extends/TableLabelProvider.h"
#include "qmk/Report.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace qmk::extends {

const std::vector<base::RecordPtr>& StructuredContentProvider::getElements(BaseRecords*)
{
    static const std::vector<base::RecordPtr> none;
    return none;
}

const std::vector<base::RecordPtr>&
DefaultStructuredContentProvider::getElements(BaseRecords* input)
{
    if (!input)
        return StructuredContentProvider::getElements(input);
    return input->getRecords();
}

std::string TableLabelProvider::getColumnText(const base::BaseRecord*, int) const
{
    return std::string();
}

std::string DefaultTableLabelProvider::getColumnText(const base::BaseRecord* element,
                                                     int columnIndex) const
{
    std::string columnText;
    try {
        if (!headers_ || columnIndex <= -1 || columnIndex >= int(headers_->size()))
            return std::string();
        columnText = (*headers_)[std::size_t(columnIndex)];
        if (!element)
            throw std::invalid_argument("element is not a record");
        return element->get(columnText).value_or(std::string());
    } catch (const std::exception& e) {
        report::trace("DefaultLabelProvider.getColumntext catch " + std::string(e.what()) +
                      " at column index " + std::to_string(columnIndex) + ", column text " +
                      columnText);
    }
    return std::string();
}

} // namespace qmk::extends
