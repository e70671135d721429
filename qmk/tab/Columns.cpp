#include "qmk/tab/Columns.h"

namespace qmk::tab::columns {

namespace {
base::ValueList ranks()
{
    return {"-1", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
}
} // namespace

const Column& id()
{
    static const Column c{"id",
                          {"[Enter id]"},
                          "shareware download site, \nwithout http:// and www\ne.g. example.com"};
    return c;
}

const Column& pr()
{
    static const Column c{
        "pr", ranks(),
        "Google pagerank of shareware download site\nright mouse double click id to get the PR"};
    return c;
}

const Column& backlink()
{
    static const Column c{
        "backlink", {"not", "custom"}, "does this site link to shareware author site?"};
    return c;
}

const Column& subMethod()
{
    static const Column c{
        "sub_method", {"pad", "form", "email", "other"}, "PAD or PAD based on PADKIT or other"};
    return c;
}

const Column& sort()
{
    static const Column c{
        "sort", {"title", "date", "popular"}, "softwares on this site sort by title or date..."};
    return c;
}

const Column& subPage()
{
    static const Column c{
        "sub_page",
        {"[Enter page]"},
        "software submit page, starts with http, right mouse double to navigate "};
    return c;
}

const Column& revDays()
{
    static const Column c{"rev_days",
                          {"0", "1", "5", "10", "15", "30", "60", "100", "1000"},
                          "submited software review days"};
    return c;
}

const Column& gUser()
{
    static const Column c{"g_user", {"[Engter Global Username"}, "global username"};
    return c;
}

const Column& gPass()
{
    static const Column c{"g_pass", {"[Enter Global Password]"}, "global password"};
    return c;
}

const Column& notes()
{
    static const Column c{"notes", {"[Enter notes]"}, "notes"};
    return c;
}

std::shared_ptr<const base::ColumnSet> makeSet(std::initializer_list<Column> columns)
{
    auto set = std::make_shared<base::ColumnSet>();
    for (const auto& c : columns) {
        set->names.push_back(c.name);
        set->valueLists.push_back(c.options);
        set->tips.push_back(c.tip);
    }
    set->index();
    return set;
}

} // namespace qmk::tab::columns
