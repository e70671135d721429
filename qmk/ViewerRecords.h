#pragma once
// The in-memory list of the records of one database table, and that list as a table view sees it.
//
// A list holds shared references to its records (never copies) in load order, then the records
// appended since. Lookups answer "none" rather than failing; nothing here throws except
// std::bad_alloc. UI thread only.

#include "qmk/base/BaseRecord.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qmk {

class BaseRecords {
public:
    BaseRecords() = default;
    explicit BaseRecords(std::string name) : name(std::move(name)) {}
    virtual ~BaseRecords();

    // Database table name of this list (for a product's listing table, the product's id).
    std::string name;

    // Appends the record unless that very object is already listed; true when appended.
    virtual bool add(const base::RecordPtr& record);
    virtual std::size_t length() const;
    // Truncates to the first n records (n larger than the length changes nothing).
    virtual void setLength(std::size_t n);
    // Removes every occurrence of that object; the others keep their order.
    virtual void remove(const base::RecordPtr& record);
    virtual void clear();
    // First record whose "id" equals the text exactly, or null.
    virtual base::RecordPtr getById(std::string_view id) const;
    // First record other than the given object whose "id" equals the text, or null.
    virtual base::RecordPtr getOtherById(const base::RecordPtr& record, std::string_view id) const;
    virtual bool hasOtherWithId(const base::RecordPtr& record, std::string_view id) const;
    virtual bool hasId(std::string_view id) const;
    // The record whose row the file holds under the id, whatever id it shows now; or null.
    virtual base::RecordPtr getStoredById(std::string_view id) const;
    // First record other than the given object (null: any) that shows the id or whose row is
    // stored under it, or null.
    virtual base::RecordPtr getOtherHolding(const base::RecordPtr& record,
                                            std::string_view id) const;
    // Hook called after a table view's common context menu is built; nothing here.
    virtual void addMenuItems();
    // The list itself (not a copy): a viewer's model reads it live. The writable form counts as
    // a change (base::changeStamp).
    virtual std::vector<base::RecordPtr>& getRecords();
    virtual const std::vector<base::RecordPtr>& getRecords() const;

protected:
    std::vector<base::RecordPtr> records;
};

// Whatever shows a ViewerRecords (a table model in the window layer). Not owned by the list.
// A viewer that cannot show one change alone reads the whole list again.
class RecordsViewer {
public:
    virtual ~RecordsViewer() = default;
    // The whole list was read again: every row is shown anew.
    virtual void refresh() = 0;
    // The record's values changed: its row is redrawn (and moves when its place in the order did).
    virtual void recordChanged(const base::RecordPtr&) { refresh(); }
    // The record was listed: its row is shown at its place.
    virtual void recordInserted(const base::RecordPtr&) { refresh(); }
    // The record was unlisted: its row goes.
    virtual void recordRemoved(const base::RecordPtr&) { refresh(); }
};

class ViewerRecords : public BaseRecords {
public:
    using BaseRecords::BaseRecords;
    ~ViewerRecords() override;

    // The viewer, or null until the table view has built it. The list does not own it.
    virtual RecordsViewer* getTableViewer() const;
    void setTableViewer(RecordsViewer* viewer) { tableViewer = viewer; }
    // Asks the viewer to re-read the whole list; nothing while there is no viewer.
    virtual void refresh();
    // Tells the viewer that one record changed, was listed or was unlisted (after the change);
    // nothing while there is no viewer.
    void recordChanged(const base::RecordPtr& record);
    void recordInserted(const base::RecordPtr& record);
    void recordRemoved(const base::RecordPtr& record);
    // Table views select and reveal the record's row; here: true and nothing else.
    virtual bool selectRecord(const base::RecordPtr& record);
    // Table views append a new unsaved row; nothing here.
    virtual void addNewRecord();
    // Table views remove the selected rows; nothing here.
    virtual void removeSelected();

protected:
    RecordsViewer* tableViewer = nullptr;
};

} // namespace qmk

// --- viewer side: module-wide values shared by every table view (window layer) ---

#include <optional>

namespace qmk {

// The cell under the mouse at a press or release in a table view.
struct ViewerCell {
    std::string tableName; // name of the table view it was in
    base::RecordPtr record; // the record of its row (shared: stays valid across reloads)
    int column = -1; // column index
    std::string columnName; // header text of that column
    // The record's value in that column ("" when it has none).
    std::string getText() const;
};

// The cell under the mouse at the last press or release in any table; none when the pointer
// was not over a cell. Written only by the table views.
std::optional<ViewerCell>& mouseCell();
// The records of the rows that were selected in a table when it was last hidden; empty until
// a table has been hidden. Written only by the table views.
std::vector<base::RecordPtr>& lastSelection();

} // namespace qmk
