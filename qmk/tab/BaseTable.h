#pragma once
// The table view of one record kind T; Derived is the table view class, which supplies its
// single instance through a static getInstance (null when it has none).
#include "qmk/DB.h"
#include "qmk/tab/TableView.h"

#include <memory>

namespace qmk::tab {

template <class Derived, class T>
class BaseTable : public TableView {
public:
    using TableView::TableView;

    std::shared_ptr<const base::ColumnSet> columns() const override { return T::columns(); }
    base::RecordPtr newRecord() const override { return std::make_shared<T>(); }
    bool loadRecords() override { return DB::getInstance().template loadTable<T>(*this, name); }

    // Loads the instance's table and builds or refreshes its tab; nothing without an instance.
    static void openTab()
    {
        if (Derived* instance = Derived::getInstance())
            instance->openView();
    }
    // Lists (and, when store, inserts) the records in the instance; false for none or a failure.
    static bool addAllAndStore(const std::vector<base::RecordPtr>& records, bool store)
    {
        Derived* instance = Derived::getInstance();
        return instance && instance->addAllAndStoreHere(records, store);
    }
    // Unlists the record from the instance and deletes its row with the cascades; false (the row
    // listed again) when the delete was not stored.
    static bool removeAndDelete(const base::RecordPtr& record)
    {
        Derived* instance = Derived::getInstance();
        return instance && instance->removeAndDeleteHere(record);
    }
};

} // namespace qmk::tab
