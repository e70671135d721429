#include "qmk/tab/Shareware_Site.h"

#include "qmk/tab/Columns.h"

namespace qmk::tab {

namespace {
using namespace columns;
} // namespace

Shareware_Site::Shareware_Site()
{
    useColumns(columns());
    orderBy = defaultOrderBy();
    reset();
}

const std::shared_ptr<const base::ColumnSet>& Shareware_Site::columns()
{
    static const auto set = makeSet({id(), pr(), backlink(), subMethod(), sort(), subPage(),
                                     revDays(), gUser(), gPass(), notes()});
    return set;
}

const Shareware_Site& Shareware_Site::getInstance()
{
    static const Shareware_Site prototype;
    return prototype;
}

} // namespace qmk::tab
