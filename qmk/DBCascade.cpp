// The cascades that keep the catalogue and the product listing tables in step.
#include "qmk/DB.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/SqlText.h"
#include "qmk/WindowPort.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"

#include <algorithm>
#include <string_view>

namespace qmk {

using dwin::database::sqlite::BindValue;
using sql::fill;
using sql::quoteId;
using Tab = WindowPort::Tab;

namespace {

std::string idOf(const base::BaseRecord& record) { return record.get("id").value_or(std::string()); }

const std::vector<std::string>& siteColumns() { return tab::Shareware_Site::getInstance().getColumnNames(); }

// One of the four fixed tables (SQLite compares ASCII names without case): never a product's listing.
bool isFixedTable(const std::string& name)
{
    for (std::string_view fixed : {"Softwares", "Shareware_Sites", "Black_Sites", "Temp_Sites"})
        if (sql::sameIgnoringCase(name, fixed))
            return true;
    return false;
}

bool isSiteColumn(const std::string& column)
{
    const auto& names = siteColumns();
    return std::find(names.begin(), names.end(), column) != names.end();
}

} // namespace

bool DB::rowExists(Cursor& cursor, const std::string& table, const std::string& id)
{
    return cursor.execute(fill("SELECT * FROM {} WHERE id = ?;", quoteId(table)), {BindValue(id)});
}

void DB::copyInto(Cursor& cursor, base::BaseRecord& target, const base::BaseRecord& from,
                  const std::vector<std::string>& columns, const std::string& table)
{
    for (const auto& name : columns)
        if (auto value = from.get(name))
            target.set(name, std::move(*value));
    insert(cursor, target, table);
}

void DB::add(const base::BaseRecord& record, const std::string& table)
{
    try {
        Cursor cursor = newCursor();
        const std::string id = idOf(record);
        if (existsInSiteTables(cursor, id)) {
            status(fill("{} id {} exists", table, id));
            return;
        }
        if (insert(cursor, record, table) == 0)
            return;
        if (table == "Softwares") {
            addProduct(cursor, id);
        } else if (table == "Shareware_Sites") {
            addCatalogueSite(cursor, record);
        } else if (auto current = currentListingName(); current && table == *current) {
            addListingSite(cursor, record, *current);
        }
    } catch (...) {
    }
}

void DB::addProduct(Cursor& cursor, const std::string& id)
{
    if (tableExists(id))
        return;   // an existing table is reused as it is
    createTable(cursor, tab::Listed_Url::getInstance(), id);
    if (!window_)
        return;
    window_->registerProduct(id);
    window_->openTab(Tab::Listed_Urls);
    window_->refreshContextMenu();
}

void DB::addCatalogueSite(Cursor& cursor, const base::BaseRecord& record)
{
    const auto ids = idsByRank();
    if (ids.empty())
        return;
    const std::string id = idOf(record);
    for (const auto& product : ids) {
        if (rowExists(cursor, product, id))   // throws for a missing table: the later products get nothing
            continue;
        tab::Listed_Url copy;
        copyInto(cursor, copy, record, record.getColumnNames(), product);
    }
    if (window_)
        window_->openTab(Tab::Listed_Urls);
}

void DB::addListingSite(Cursor& cursor, const base::BaseRecord& record, const std::string& current)
{
    const std::string id = idOf(record);
    if (!rowExists(cursor, "Shareware_Sites", id)) {
        tab::Shareware_Site copy;
        copyInto(cursor, copy, record, siteColumns(), "Shareware_Sites");
        if (window_)
            window_->openTab(Tab::Shareware_Sites);
    }
    const auto ids = idsByRank();
    if (ids.size() < 2)
        return;
    for (const auto& product : ids) {
        if (product == current || rowExists(cursor, product, id))
            continue;
        tab::Listed_Url copy;
        copyInto(cursor, copy, record, siteColumns(), product);
    }
    if (window_)
        window_->openTab(Tab::Listed_Urls);
}

void DB::deleteCascade(Cursor& cursor, const base::BaseRecord& record, const std::string& table)
{
    try {
        const std::string id = idOf(record);
        if (table == "Softwares" && tableExists(id)) {
            if (window_)
                window_->unregisterProduct(id);
            // A product named like a fixed table does not own it: that table is never dropped.
            if (!isFixedTable(id))
                cursor.execute(fill("DROP TABLE {};", quoteId(id)));
            if (!window_)
                return;
            if (window_->lastTabText() == id) {
                window_->closeCurrentListedUrls();
                window_->openTab(Tab::Listed_Urls);
                return;
            }
            window_->refreshContextMenu();
        } else if (table == "Shareware_Sites") {
            const auto ids = idsByRank();
            if (ids.empty())
                return;
            for (const auto& product : ids)
                if (tableExists(product))
                    cursor.execute(fill("DELETE from {} WHERE EXISTS(SELECT * FROM {} WHERE id = ?) AND id = ?;",
                                        quoteId(product), quoteId(product)),
                                   {BindValue(id), BindValue(id)});
            if (window_)
                window_->openTab(Tab::Listed_Urls);
        }
    } catch (...) {
    }
}

void DB::updateFieldCascade(const std::string& table, const std::string& id, const std::string& column,
                            const std::string& value)
{
    try {
        Cursor cursor = newCursor();
        if (updateRow(cursor, table, id, column, value) == 0)
            return;
        if (table == "Softwares") {
            if (column == "id")
                renameProduct(cursor, id, value);
        } else if (table == "Shareware_Sites") {
            const auto ids = idsByRank();
            std::optional<std::string> current;
            bool currentKnown = false;
            for (const auto& product : ids) {
                if (updateRow(cursor, product, id, column, value) == 0)
                    continue;
                if (!currentKnown) {
                    current = currentListingName();
                    currentKnown = true;
                }
                if (window_ && current && product == *current)
                    window_->openTab(Tab::Listed_Urls);
            }
        } else if (auto current = currentListingName(); current && table == *current) {
            spreadListingChange(cursor, *current, id, column, value);
        }
    } catch (...) {
    }
}

void DB::spreadListingChange(Cursor& cursor, const std::string& current, const std::string& id,
                             const std::string& column, const std::string& value)
{
    if (!isSiteColumn(column))
        return;   // listing data stays with its product
    if (updateRow(cursor, "Shareware_Sites", id, column, value) != 0 && window_)
        window_->openTab(Tab::Shareware_Sites);
    for (const auto& product : idsByRank())
        if (product != current)
            updateRow(cursor, product, id, column, value);
}

void DB::renameProduct(Cursor& cursor, const std::string& oldId, const std::string& newId)
{
    // Only a table of exactly the product's name is its own: not a fixed table, and not another
    // product's table that SQLite would find under a name differing in letter case.
    if (!isFixedTable(oldId) && tableExists(oldId))
        alterTable(cursor, oldId, newId);
    if (!window_)
        return;
    if (window_->lastTabText() == oldId) {
        window_->closeCurrentListedUrls();
        window_->openTab(Tab::Listed_Urls);
        return;
    }
    window_->unregisterProduct(oldId);
    window_->registerProduct(newId);
    window_->refreshContextMenu();
}

} // namespace qmk
