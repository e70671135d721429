#include "qmk/tab/Software.h"

#include "qmk/tab/Columns.h"

namespace qmk::tab {

namespace {
using namespace columns;
Column own(const char* name, const char* placeholder, const char* tip)
{
    return {name, {placeholder}, tip};
}
} // namespace

Software::Software()
{
    useColumns(columns());
    orderBy = defaultOrderBy();
    reset();
}

const std::shared_ptr<const base::ColumnSet>& Software::columns()
{
    static const auto set =
        makeSet({own("id", "[Enter softname]", "Software name without version number"),
                 own("home", "[Enter homepage]", "software homepage, without http:// and www"),
                 Column{"pr",
                        {"-1", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
                        "Google pagerank of home"},
                 own("pad_locale", "[Enter locale PAD]", "load pad file"),
                 own("exe_locale", "[Enter exe file location]", "exe location on computer"),
                 own("notes", "[Enter notes]", "notes, multiline supported")});
    return set;
}

const Software& Software::getInstance()
{
    static const Software prototype;
    return prototype;
}

} // namespace qmk::tab
