#include "qmk/extends/ColumnSorter.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace qmk::extends {

std::string ColumnSorter::lowerKey(std::string_view text)
{
    bool ascii = true;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (!ascii)
        return QString::fromUtf8(text.data(), qsizetype(text.size())).toLower().toStdString();
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

int ColumnSorter::compareValues(std::string_view a, std::string_view b)
{
    const std::string la = lowerKey(a);
    const std::string lb = lowerKey(b);
    const std::size_t n = std::min(la.size(), lb.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d =
            int(static_cast<unsigned char>(la[i])) - int(static_cast<unsigned char>(lb[i]));
        if (d != 0)
            return d;
    }
    return int(la.size()) - int(lb.size());
}

int ColumnSorter::compareRecords(const base::BaseRecord* a, const base::BaseRecord* b,
                                 const std::string& property)
{
    if (!a || !b || property.empty())
        return 0;
    return compareValues(a->get(property).value_or(std::string()),
                         b->get(property).value_or(std::string()));
}

void ColumnSorter::onColumnSelected(int column)
{
    if (active_ == column && direction_ != NONE)
        setSorter(column, direction_ == ASC ? DESC : NONE);
    else
        setSorter(column, ASC);
}

void ColumnSorter::setSorter(int column, int direction)
{
    if (direction == NONE) {
        active_ = -1;
        direction_ = NONE;
    } else {
        active_ = column;
        direction_ = direction;
    }
}

} // namespace qmk::extends
