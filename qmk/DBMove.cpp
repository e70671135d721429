// A row moved from one table into another, as the file holds it, in one write.
#include "qmk/DB.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/DBSteps.h"
#include "qmk/SqlText.h"

#include <stdexcept>

namespace qmk {

using dwin::database::sqlite::BindValue;
using sql::fill;
using sql::quoteId;

void DB::readRow(Cursor& cursor, const std::string& table, const base::StoredKey& key,
                 base::BaseRecord& into)
{
    if (!cursor.execute(fill("SELECT * FROM {} WHERE id = ?1;", quoteId(table)),
                        {BindValue(steps::keyValue(key))}))
        throw std::runtime_error(noSuchRowText);
    const auto& row = *cursor.getStatement();
    for (int i = 0; i < row.getColumnCount(); ++i)
        into.set(row.getColumnName(i), std::string(row.getTextView(i)));
}

bool DB::move(const base::BaseRecord& record, const std::string& table, base::BaseRecord& moved,
              const std::string& target, bool fromCatalogue,
              std::optional<base::StoredKey>& catalogueRow)
{
    const std::optional<base::StoredKey> key = record.storedKey();
    catalogueRow.reset();
    const bool stored = write(fill("move of {}", base::rowIdOf(record)), [&](Cursor& cursor) {
        if (!key)
            throw std::runtime_error(noSuchRowText); // never stored: the file holds no such row
        readRow(cursor, table, *key, moved);
        moved.set("id", key->text);
        deleteRow(cursor, *key, table);
        if (fromCatalogue && !steps::isSiteTable(table)) {
            steps::Copies copies(table, *key);
            catalogueRow = copies.find(cursor, "Shareware_Sites");
            if (catalogueRow)
                deleteRow(cursor, *catalogueRow, "Shareware_Sites");
        }
        if (std::optional<std::string> refusal = addRow(cursor, moved, target))
            throw std::runtime_error(*refusal);
    });
    if (!stored)
        catalogueRow.reset();
    return stored;
}

} // namespace qmk
