#include "qmk/tab/Listed_Url.h"

#include "qmk/tab/Columns.h"

namespace qmk::tab {

namespace {
using namespace columns;
Column own(const char* name, const char* placeholder, const char* tip)
{
    return {name, {placeholder}, tip};
}
} // namespace

Listed_Url::Listed_Url()
{
    useColumns(columns());
    orderBy = defaultOrderBy();
    reset();
}

const std::shared_ptr<const base::ColumnSet>& Listed_Url::columns()
{
    static const auto set = makeSet(
        {id(), pr(), own("listed_url", "[Enter listed url]", "Listed Url, starts with http"),
         own("username", "[Enter Username]", "Registered Username if needed"),
         own("password", "[Enter Password]", "Registered Password if needed"),
         own("version", "[Enter Version]", "version number of submited or listed software"),
         own("sub_date", "[Enter Date]", "Submit Date, YYYYMMDD"), backlink(), subMethod(), sort(),
         subPage(), revDays(), gUser(), gPass(), notes()});
    return set;
}

const Listed_Url& Listed_Url::getInstance()
{
    static const Listed_Url prototype;
    return prototype;
}

} // namespace qmk::tab
