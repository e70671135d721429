#include "qmk/base/FieldMap.h"

#include <stdexcept>

namespace qmk::base {

FieldMap& FieldMap::operator=(const FieldMap& other)
{
    if (this != &other) {
        FieldMap copy(other); // the names are const: the array is replaced, not assigned into
        entries_.swap(copy.entries_);
    }
    return *this;
}

std::size_t FieldMap::lowerBound(std::string_view name) const
{
    std::size_t low = 0, high = entries_.size();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (std::string_view(entries_[middle].first) < name)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

FieldMap::iterator FieldMap::find(std::string_view name)
{
    const std::size_t at = lowerBound(name);
    return at < entries_.size() && entries_[at].first == name ? begin() + std::ptrdiff_t(at)
                                                              : end();
}

FieldMap::const_iterator FieldMap::find(std::string_view name) const
{
    const std::size_t at = lowerBound(name);
    return at < entries_.size() && entries_[at].first == name ? begin() + std::ptrdiff_t(at)
                                                              : end();
}

std::string& FieldMap::at(std::string_view name)
{
    auto it = find(name);
    if (it == end())
        throw std::out_of_range("FieldMap::at: no column " + std::string(name));
    return it->second;
}

const std::string& FieldMap::at(std::string_view name) const
{
    auto it = find(name);
    if (it == end())
        throw std::out_of_range("FieldMap::at: no column " + std::string(name));
    return it->second;
}

std::string& FieldMap::operator[](std::string_view name)
{
    const std::size_t at = lowerBound(name);
    if (at < entries_.size() && entries_[at].first == name)
        return entries_[at].second;
    return insertAt(at, name, std::string())->second;
}

std::pair<FieldMap::iterator, bool> FieldMap::insert_or_assign(std::string_view name,
                                                               std::string value)
{
    const std::size_t at = lowerBound(name);
    if (at < entries_.size() && entries_[at].first == name) {
        entries_[at].second = std::move(value);
        return {begin() + std::ptrdiff_t(at), false};
    }
    return {insertAt(at, name, std::move(value)), true};
}

FieldMap::size_type FieldMap::erase(std::string_view name)
{
    const std::size_t at = lowerBound(name);
    if (at == entries_.size() || entries_[at].first != name)
        return 0;
    std::vector<value_type> rest;
    rest.reserve(entries_.size() - 1);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (i != at)
            rest.emplace_back(entries_[i].first, std::move(entries_[i].second));
    entries_.swap(rest);
    return 1;
}

FieldMap::iterator FieldMap::insertAt(std::size_t index, std::string_view name, std::string value)
{
    std::vector<value_type> grown;
    grown.reserve(entries_.size() + 1);
    for (std::size_t i = 0; i < index; ++i)
        grown.emplace_back(entries_[i].first, std::move(entries_[i].second));
    grown.emplace_back(std::string(name), std::move(value));
    for (std::size_t i = index; i < entries_.size(); ++i)
        grown.emplace_back(entries_[i].first, std::move(entries_[i].second));
    entries_.swap(grown);
    return begin() + std::ptrdiff_t(index);
}

} // namespace qmk::base
