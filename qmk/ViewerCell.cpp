#include "qmk/ViewerRecords.h"

namespace qmk {

std::string ViewerCell::getText() const
{
    if (!record)
        return std::string();
    return record->get(columnName).value_or(std::string());
}

std::optional<ViewerCell>& mouseCell()
{
    static std::optional<ViewerCell> cell;
    return cell;
}

std::vector<base::RecordPtr>& lastSelection()
{
    static std::vector<base::RecordPtr> rows;
    return rows;
}

} // namespace qmk
