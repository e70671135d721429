#pragma once
// Column definitions shared by the record kinds.

#include "qmk/base/BaseRecord.h"

#include <initializer_list>
#include <memory>
#include <string>

namespace qmk::tab::columns {

struct Column {
    std::string name;
    base::ValueList options; // one entry: placeholder; several: fixed choices, first is default
    std::string tip;
};

// The site columns, identical in every site kind.
const Column& id();
const Column& pr();
const Column& backlink();
const Column& subMethod();
const Column& sort();
const Column& subPage();
const Column& revDays();
const Column& gUser();
const Column& gPass();
const Column& notes();

// A shared, indexed column set in the given order.
std::shared_ptr<const base::ColumnSet> makeSet(std::initializer_list<Column> columns);

} // namespace qmk::tab::columns
