// The cascades that keep the catalogue and the product listing tables in step.
#include "qmk/DB.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/DBSteps.h"
#include "qmk/Report.h"
#include "qmk/SqlText.h"
#include "qmk/WindowPort.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace qmk {

using dwin::database::sqlite::BindValue;
using sql::fill;
using sql::quoteId;
using Tab = WindowPort::Tab;

namespace {

std::string idOf(const base::BaseRecord& record)
{
    return record.get("id").value_or(std::string());
}

const std::vector<std::string>& siteColumns()
{
    return tab::Shareware_Site::getInstance().getColumnNames();
}

bool isSiteColumn(const std::string& column)
{
    const auto& names = siteColumns();
    return std::find(names.begin(), names.end(), column) != names.end();
}

std::string sharedNameText(const std::string& id, const std::string& other)
{
    if (other == id)
        return fill("product id {} refused: a table named {} exists already", id, other);
    return fill("product id {} refused: it differs from {} only in letter case, and both would "
                "share one table",
                id, other);
}

} // namespace

std::vector<std::string> DB::productIds(Cursor& cursor)
{
    std::vector<std::string> ids;
    if (!tableExists("Softwares"))
        return ids;
    cursor.execute(fill("SELECT id FROM {} ORDER BY pr DESC, id DESC;", quoteId("Softwares")));
    while (cursor.hasRow()) {
        ids.push_back(cursor.getText(0));
        cursor.next();
    }
    return ids;
}

std::vector<std::string> DB::productTables(Cursor& cursor, const std::string& table)
{
    std::vector<std::string> ids;
    if (!tableExists("Softwares"))
        return ids;
    // One query instead of an existence query per product. A product named like a fixed table
    // does not own that table.
    cursor.execute(fill(
        "SELECT id, EXISTS (SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = {}.id) "
        "FROM {} ORDER BY pr DESC, id DESC;",
        quoteId("Softwares"), quoteId("Softwares")));
    while (cursor.hasRow()) {
        std::string id = cursor.getText(0);
        if (cursor.getLong(1) != 0 && !steps::isFixedTable(id))
            ids.push_back(std::move(id));
        else
            report::trace(
                fill("cascade on {} skips product {}: it has no listing table", table, id));
        cursor.next();
    }
    return ids;
}

bool DB::rowExists(Cursor& cursor, const std::string& table, const std::string& id)
{
    return cursor.execute(fill("SELECT 1 FROM {} WHERE {};", quoteId(table), steps::idAsText(1)),
                          {BindValue(id)});
}

std::optional<std::string> DB::sharedTableName(Cursor& cursor, const std::string& name,
                                               const std::string& exclude)
{
    for (std::string_view fixed : {"Softwares", "Shareware_Sites", "Black_Sites", "Temp_Sites"})
        if (sql::sameIgnoringCase(name, fixed))
            return std::string(fixed);
    // NOCASE folds ASCII letters only, as SQLite does for names.
    cursor.execute(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE;",
        {BindValue(name)});
    while (cursor.hasRow()) {
        std::string table = cursor.getText(0);
        if (table != exclude)
            return table;
        cursor.next();
    }
    for (const auto& product : productIds(cursor))
        if (product != exclude && sql::sameIgnoringCase(product, name))
            return product;
    return std::nullopt;
}

void DB::copyMissing(Cursor& cursor, base::BaseRecord& target, const base::BaseRecord& from,
                     const std::vector<std::string>& columns, const std::string& table)
{
    for (const auto& name : columns)
        if (auto value = from.get(name))
            target.set(name, std::move(*value));
    insertMissing(cursor, target, table);
}

void DB::insertMissing(Cursor& cursor, const base::BaseRecord& row, const std::string& table)
{
    // The look-up and the insert in one statement: "SELECT ... WHERE id = ?" (as text), then
    // INSERT when there was no row.
    const auto& names = row.getColumnNames();
    std::vector<dwin::database::sqlite::SQLiteData> values;
    values.reserve(names.size() + 1);
    for (const auto& name : names) {
        auto value = row.get(name);
        values.push_back(value ? dwin::database::sqlite::SQLiteData(*value)
                               : dwin::database::sqlite::SQLiteData::ofNull());
    }
    values.emplace_back(idOf(row));
    cursor.execute(
        fill("INSERT INTO {} ( {} ) SELECT {} WHERE NOT EXISTS (SELECT 1 FROM {} WHERE {});",
             quoteId(table), sql::join(names, ","), sql::placeholders(names.size()), quoteId(table),
             steps::idAsText(int(values.size()))),
        values);
    if (const int n = cursor.getRowCount(); n > 0)
        status(fill("{} rows inserted into {}", n, table));
}

bool DB::add(const base::BaseRecord& record, const std::string& table)
{
    const std::string id = idOf(record);
    if (refusesEmptyProductId(table, "id", id) || refusesUnusableId(id))
        return false;
    std::optional<std::string> refusal;
    const bool stored = write(fill("row {} of {}", id, table),
                              [&](Cursor& cursor) { refusal = addRow(cursor, record, table); });
    if (refusal) {
        if (window_)
            window_->showStatus(*refusal);
        return false;
    }
    return stored;
}

std::optional<std::string> DB::addRow(Cursor& cursor, const base::BaseRecord& record,
                                      const std::string& table)
{
    const std::string id = idOf(record);
    if (steps::siteTableHolding(cursor, id))
        return fill("{} id {} exists", table, id);
    if (table == "Softwares") {
        if (auto other = sharedTableName(cursor, id, id))
            return sharedNameText(id, *other);
    }
    insert(cursor, record, table);
    if (table == "Softwares") {
        addProduct(cursor, id);
    } else if (table == "Shareware_Sites") {
        addCatalogueSite(cursor, record);
    } else if (auto current = currentListingName(); current && table == *current) {
        addListingSite(cursor, record, *current);
    }
    return std::nullopt;
}

void DB::addProduct(Cursor& cursor, const std::string& id)
{
    if (tableExists(id))
        return; // an existing table is reused as it is
    steps::createTable(cursor, tab::Listed_Url::getInstance(), id);
    reloadOnFailure(Tab::Listed_Urls);
    later([this, id] {
        if (!window_)
            return;
        window_->registerProduct(id);
        window_->openTab(Tab::Listed_Urls);
        window_->refreshContextMenu();
    });
}

void DB::addCatalogueSite(Cursor& cursor, const base::BaseRecord& record)
{
    // A product without a listing table has nothing to keep in step; the others still get theirs.
    const auto ids = productTables(cursor, "Shareware_Sites");
    if (ids.empty())
        return;
    reloadOnFailure(Tab::Listed_Urls);
    tab::Listed_Url copy;
    for (const auto& name : record.getColumnNames())
        if (auto value = record.get(name))
            copy.set(name, std::move(*value));
    for (const auto& product : ids)
        insertMissing(cursor, copy, product);
    later([this] {
        if (window_)
            window_->openTab(Tab::Listed_Urls);
    });
}

void DB::addListingSite(Cursor& cursor, const base::BaseRecord& record, const std::string& current)
{
    const std::string id = idOf(record);
    if (!rowExists(cursor, "Shareware_Sites", id)) {
        tab::Shareware_Site copy;
        copyMissing(cursor, copy, record, siteColumns(), "Shareware_Sites");
        reloadOnFailure(Tab::Shareware_Sites);
        later([this] {
            if (window_)
                window_->openTab(Tab::Shareware_Sites);
        });
    }
    if (productIds(cursor).size() < 2)
        return;
    // The other products' listings are read when shown; the current one lists the row already.
    tab::Listed_Url copy;
    for (const auto& name : siteColumns())
        if (auto value = record.get(name))
            copy.set(name, std::move(*value));
    for (const auto& product : productTables(cursor, current))
        if (product != current)
            insertMissing(cursor, copy, product);
}

void DB::deleteCascade(Cursor& cursor, const base::StoredKey& key, const std::string& table)
{
    const std::string& id = key.text;
    if (table == "Softwares" && tableExists(id)) {
        // A product named like a fixed table does not own it: that table is never dropped.
        if (!steps::isFixedTable(id))
            cursor.execute(fill("DROP TABLE {};", quoteId(id)));
        reloadOnFailure(Tab::Listed_Urls);
        later([this, id] {
            if (!window_)
                return;
            window_->unregisterProduct(id);
            if (window_->lastTabText() == id) {
                window_->closeCurrentListedUrls();
                window_->openTab(Tab::Listed_Urls);
                return;
            }
            window_->refreshContextMenu();
        });
    } else if (table == "Shareware_Sites") {
        if (productIds(cursor).empty())
            return;
        steps::Copies copies(table, key);
        for (const auto& product : productTables(cursor, table))
            copies.change(cursor, fill("DELETE from {}", quoteId(product)), {}, product);
        reloadOnFailure(Tab::Listed_Urls);
        later([this] {
            if (window_)
                window_->openTab(Tab::Listed_Urls);
        });
    }
}

bool DB::updateFieldCascade(const std::string& table, const std::string& id,
                            const std::string& column, const std::string& value)
{
    return updateFieldCascade(table, base::StoredKey::ofText(id), column, value);
}

bool DB::updateFieldCascade(const std::string& table, const base::StoredKey& key,
                            const std::string& column, const std::string& value)
{
    const std::string& id = key.text;
    if (refusesEmptyProductId(table, column, value))
        return false;
    bool updated = false;
    std::optional<std::string> refusal;
    const bool stored = write(fill("{} of row {} in {}", column, id, table), [&](Cursor& cursor) {
        const bool rename = table == "Softwares" && column == "id";
        if (rename && value != id) {
            if (auto other = sharedTableName(cursor, value, id)) {
                refusal = sharedNameText(value, *other);
                return;
            }
        }
        // A site is in one site table at most; a new id in the current listing goes to the
        // catalogue too.
        if (column == "id" && value != id && !rename) {
            const bool site = steps::isSiteTable(table);
            const auto current = site ? std::nullopt : currentListingName();
            if ((site || (current && table == *current)) &&
                steps::siteTableHolding(cursor, value, site ? table : "Shareware_Sites")) {
                refusal = fill("{} id {} exists", table, value);
                return;
            }
        }
        if (updateRow(cursor, table, key, column, value) == 0)
            throw std::runtime_error(noSuchRowText);
        updated = true;
        if (rename) {
            renameProduct(cursor, id, value);
        } else if (table == "Shareware_Sites") {
            spreadCatalogueChange(cursor, key, column, value);
        } else if (auto current = currentListingName(); current && table == *current) {
            spreadListingChange(cursor, *current, key, column, value);
        }
    });
    if (refusal) {
        if (window_)
            window_->showStatus(*refusal);
        return false;
    }
    return stored && updated;
}

void DB::spreadCatalogueChange(Cursor& cursor, const base::StoredKey& key,
                               const std::string& column, const std::string& value)
{
    steps::Copies copies("Shareware_Sites", key);
    std::optional<std::string> current;
    bool currentKnown = false;
    bool reload = false;
    reloadOnFailure(Tab::Listed_Urls);
    // A product whose listing table is missing has no row to update.
    for (const auto& product : productTables(cursor, "Shareware_Sites")) {
        if (updateCopy(cursor, copies, product, column, value) == 0)
            continue;
        if (!currentKnown) {
            current = currentListingName();
            currentKnown = true;
        }
        reload = reload || (current && product == *current);
    }
    if (reload)
        later([this] {
            if (window_)
                window_->openTab(Tab::Listed_Urls);
        });
}

void DB::spreadListingChange(Cursor& cursor, const std::string& current, const base::StoredKey& key,
                             const std::string& column, const std::string& value)
{
    if (!isSiteColumn(column))
        return; // listing data stays with its product
    reloadOnFailure(Tab::Shareware_Sites);
    steps::Copies copies(current, key);
    if (updateCopy(cursor, copies, "Shareware_Sites", column, value) != 0)
        later([this] {
            if (window_)
                window_->openTab(Tab::Shareware_Sites);
        });
    for (const auto& product : productTables(cursor, current))
        if (product != current)
            updateCopy(cursor, copies, product, column, value);
}

void DB::renameProduct(Cursor& cursor, const std::string& oldId, const std::string& newId)
{
    // Only a table of exactly the product's name is its own: not a fixed table, and not another
    // product's table that SQLite would find under a name differing in letter case.
    if (!steps::isFixedTable(oldId) && tableExists(oldId))
        alterTable(cursor, oldId, newId);
    reloadOnFailure(Tab::Listed_Urls);
    later([this, oldId, newId] {
        if (!window_)
            return;
        if (window_->lastTabText() == oldId) {
            window_->closeCurrentListedUrls();
            window_->setCurrentListedUrls(newId); // the renamed product stays on show
            window_->openTab(Tab::Listed_Urls);
            return;
        }
        window_->unregisterProduct(oldId);
        window_->registerProduct(newId);
        window_->refreshContextMenu();
    });
}

} // namespace qmk
