#include "qmk/tab/Temp_Site.h"

#include "qmk/tab/Columns.h"

namespace qmk::tab {

namespace {
using namespace columns;
} // namespace

Temp_Site::Temp_Site()
{
    useColumns(columns());
    orderBy = defaultOrderBy();
    reset();
}

const std::shared_ptr<const base::ColumnSet>& Temp_Site::columns()
{
    static const auto set = makeSet({id(), pr(), backlink(), subMethod(), sort(), subPage(),
                                     revDays(), gUser(), gPass(), notes()});
    return set;
}

const Temp_Site& Temp_Site::getInstance()
{
    static const Temp_Site prototype;
    return prototype;
}

} // namespace qmk::tab
