#include "qmk/tab/Black_Site.h"

#include "qmk/tab/Columns.h"

namespace qmk::tab {

namespace {
using namespace columns;
Column reason()
{
    return {"reason",
            {"linkBack", "purchase", "neverListed", "lowerPR", "spam", "non-english", "autolist",
             "submitFailed", "other"},
            "Why this is a bad download site"};
}
} // namespace

Black_Site::Black_Site()
{
    useColumns(columns());
    orderBy = defaultOrderBy();
    reset();
}

const std::shared_ptr<const base::ColumnSet>& Black_Site::columns()
{
    static const auto set = makeSet({id(), pr(), reason(), backlink(), subMethod(), sort(),
                                     subPage(), revDays(), gUser(), gPass(), notes()});
    return set;
}

const Black_Site& Black_Site::getInstance()
{
    static const Black_Site prototype;
    return prototype;
}

} // namespace qmk::tab
