#pragma once
// The database object: owns the one SQLite connection and runs every statement of the program.
//
// Callers pass table names and records, never SQL. Table names, column names and ids are
// quoted or bound in every statement, so any text (quotes, semicolons, SQL words, non-ASCII)
// is a valid product or site id. Opening creates the data folder (getInstance) and the four
// fixed tables when missing.
//
// Errors: the constructor, getInstance, close and getListedUrl throw the SQLite layer's
// exceptions (dwin::database::sqlite::SQLiteVMException / SQLiteDException). Every other
// operation swallows failures and returns its result so far; the status line (through the
// WindowPort) only ever shows the texts of statements that succeeded.
//
// The window interface is not owned; it must outlive the DB or be reset to null first.
// UI thread only.

#include "qmk/ViewerRecords.h"
#include "qmk/base/BaseRecord.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dwin::database::sqlite {
class Connection;
class Cursor;
} // namespace dwin::database::sqlite

namespace qmk {

class WindowPort;

class DB {
public:
    using Connection = dwin::database::sqlite::Connection;
    using Cursor = dwin::database::sqlite::Cursor;

    // Opens (creating when missing) the database file at path, creates the four fixed tables
    // when missing and records this object as the single instance. Throws when the file cannot
    // be opened or is not a database.
    explicit DB(const std::string& path, WindowPort* window = nullptr);
    ~DB();
    DB(const DB&) = delete;
    DB& operator=(const DB&) = delete;

    // The single instance: the last DB constructed and still alive, else one opened on
    // defaultPath() (owned by this class). Throws when opening fails; the next call tries again.
    static DB& getInstance();
    // The settings store's data folder (config::Config::defaultDataFolder), created when
    // missing. Throws std::runtime_error naming the folder and the reason when it cannot be.
    static std::string dataFolder();
    // dataFolder() + "/qmk.db".
    static std::string defaultPath();
    // Releases the instance that getInstance opened itself (the next call opens again).
    static void releaseInstance();

    void setWindow(WindowPort* window) { window_ = window; }
    WindowPort* getWindow() const { return window_; }

    Connection& getConnection();
    // Closes the connection; closing twice does nothing. Throws when the engine refuses.
    void close();

    // --- single-table operations ---
    int insert(const base::BaseRecord& record, const std::string& table);
    int insert(Cursor& cursor, const base::BaseRecord& record, const std::string& table);
    int deleteRecord(const base::BaseRecord& record, const std::string& table);
    int updateField(const std::string& table, const std::string& id, const std::string& column,
                    const std::string& value);
    int updateRow(Cursor& cursor, const std::string& table, const std::string& id, const std::string& column,
                  const std::string& value);
    // The listed_url of that row, or no value when the row is missing. Throws on engine errors
    // (for example a missing table).
    std::optional<std::string> getListedUrl(const std::string& table, const std::string& id);
    // Product ids of "Softwares" ordered "pr DESC, id DESC" (text order).
    std::vector<std::string> idsByRank();
    void createTable(Cursor& cursor, const base::BaseRecord& record, const std::string& name);
    bool existsInSiteTables(const std::string& id);
    bool existsInSiteTables(Cursor& cursor, const std::string& id);
    // Empties "Temp_Sites" (whatever table is on show).
    bool clearTable();
    std::string getErrorMessage();
    int getChanges();
    int alterTable(Cursor& cursor, const std::string& oldName, const std::string& newName);
    bool tableExists(const std::string& name);

    // --- cascades across the product listing tables ---
    void add(const base::BaseRecord& record, const std::string& table);
    void deleteCascade(Cursor& cursor, const base::BaseRecord& record, const std::string& table);
    void updateFieldCascade(const std::string& table, const std::string& id, const std::string& column,
                            const std::string& value);
    // Copies every catalogue site the current listing table lacks into it, in one transaction
    // (rolled back when anything fails inside it).
    void synchronizeSites();
    // Rebuilds "Softwares" with the column exe_locale; no command runs it.
    void update20080917();

    // Loads the whole table into the list, in the kind's default order; never throws.
    template <class T>
    void loadTable(BaseRecords& list, const std::string& table)
    {
        loadTableWith(list, table, T::getInstance(), [] { return base::RecordPtr(std::make_shared<T>()); });
    }
    void loadTableWith(BaseRecords& list, const std::string& table, const base::BaseRecord& prototype,
                       base::RecordPtr (*make)());

    // "create table" column list: the names joined by ",", the one at index followed by a
    // blank and the suffix; no value for an empty list.
    static std::optional<std::string> columnDefinitions(const std::vector<std::string>& names, std::size_t index,
                                                        const std::string& suffix);

private:
    Cursor newCursor();
    void status(const std::string& text);
    void createFixedTables();
    std::optional<std::string> currentListingName();
    bool rowExists(Cursor& cursor, const std::string& table, const std::string& id);
    void copyInto(Cursor& cursor, base::BaseRecord& target, const base::BaseRecord& from,
                  const std::vector<std::string>& columns, const std::string& table);
    void addProduct(Cursor& cursor, const std::string& id);
    void addCatalogueSite(Cursor& cursor, const base::BaseRecord& record);
    void addListingSite(Cursor& cursor, const base::BaseRecord& record, const std::string& current);
    void spreadListingChange(Cursor& cursor, const std::string& current, const std::string& id,
                             const std::string& column, const std::string& value);
    void renameProduct(Cursor& cursor, const std::string& oldId, const std::string& newId);
    // Catalogue rows waiting to be copied, all texts in one buffer. For each listing column,
    // source names the result column it comes from (-1: the placeholder). A cell is an offset
    // into text and a length (-1: SQL NULL); a row is `width` consecutive cells.
    struct PendingSites {
        std::vector<int> source;
        std::size_t width = 0;
        std::size_t rows = 0;
        std::string text;
        std::vector<std::pair<std::size_t, std::ptrdiff_t>> cells;
    };
    PendingSites readPending(Cursor& cursor);
    void insertPending(const std::string& table, const PendingSites& pending);

    std::unique_ptr<Connection> connection_;
    WindowPort* window_ = nullptr;
};

} // namespace qmk
