#pragma once
// The values of one record by column name: a map from name to text, held in one flat array in
// name order. It reads and iterates like std::map<std::string, std::string> (the same element
// type and order), but a record of ten columns is one allocation instead of ten, and copying a
// whole record's values is one copy of an array.
//
// Adding a name that is not there yet rebuilds the array; records hold a fixed set of columns,
// so that happens only while a record is set up. Nothing here throws except std::bad_alloc
// (and std::out_of_range from at).

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qmk::base {

class FieldMap {
public:
    using key_type = std::string;
    using mapped_type = std::string;
    using value_type = std::pair<const std::string, std::string>;
    using size_type = std::size_t;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;

    FieldMap() = default;
    FieldMap(const FieldMap&) = default;
    FieldMap(FieldMap&&) noexcept = default;
    FieldMap& operator=(const FieldMap& other);
    FieldMap& operator=(FieldMap&& other) noexcept = default;

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    const_iterator cbegin() const { return entries_.cbegin(); }
    const_iterator cend() const { return entries_.cend(); }
    size_type size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    iterator find(std::string_view name);
    const_iterator find(std::string_view name) const;
    size_type count(std::string_view name) const { return find(name) != end() ? 1 : 0; }
    bool contains(std::string_view name) const { return find(name) != end(); }
    std::string& at(std::string_view name);
    const std::string& at(std::string_view name) const;
    // The value of name, added as the empty text when missing.
    std::string& operator[](std::string_view name);
    // Sets the value of name, adding it when missing: its entry, and true when it was added.
    std::pair<iterator, bool> insert_or_assign(std::string_view name, std::string value);
    // Removes name; the number of entries removed (0 or 1).
    size_type erase(std::string_view name);
    void clear() { entries_.clear(); }

    bool operator==(const FieldMap& other) const { return entries_ == other.entries_; }

private:
    // The first entry whose name is not less than name.
    std::size_t lowerBound(std::string_view name) const;
    iterator insertAt(std::size_t index, std::string_view name, std::string value);

    std::vector<value_type> entries_; // sorted by name, names unique
};

} // namespace qmk::base
