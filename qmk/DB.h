#pragma once
// The database object: owns the one SQLite connection and runs every statement of the program.
//
// Callers pass table names and records, never SQL. Table names, column names and ids are
// quoted or bound in every statement, so any text (quotes, semicolons, SQL words, non-ASCII)
// is a valid product or site id. A row is written by its id as the file stores it (the record's
// base::StoredKey: an older file or another program may hold an id as a number or as bytes
// beside the same text), so a write reaches that row and no other; its cascades reach the
// copies of that row (steps::Copies). Look-ups of an id as text (duplicate checks, the listed
// url) find it in whatever form the file holds it. A row never stored is never written. Opening
// creates the data folder (getInstance) and the four fixed tables when missing, and gives every
// statement a busy timeout (busyTimeoutMs) before another program's lock makes it fail.
//
// Writes. Each write operation (insert, deleteRecord, updateField, add, updateFieldCascade,
// clearTable, synchronizeSites) runs in one transaction, its cascade across the listing tables
// included: either all of it reaches the file or none of it does (synchronizeSites leaves out
// the rows the engine refuses, see there). Its result tells the caller
// whether it was stored (see each operation). A write that fails is reported through
// report::notStored: the status line says what was not stored and the engine's reason, and a
// trace line goes to the console. The window's follow-ups of a write (its status texts, the
// listing-table registry, reloads of tabs) run only once it has committed, so no success text
// is shown for a write that failed and the registry never holds a table the file lacks; after
// a failure the tabs the write touched, other than the caller's own, are read again from the
// file (not while another program holds the file locked: the lists then still show what it
// holds). The caller puts its own list back (its edit, the row it added or removed). A tab that
// cannot be read keeps the rows it shows and is read again after the next write (or when it is
// selected); its failure goes behind the write's own report on the status line.
//
// Errors: the constructor, getInstance, close and getListedUrl throw the SQLite layer's
// exceptions (dwin::database::sqlite::SQLiteVMException / SQLiteDException); the operations that
// take a cursor as a step of a caller's write (insert with a cursor, updateRow, deleteCascade)
// throw them too, so that the caller's transaction rolls back. Every other operation catches.
//
// The window interface is not owned; it must outlive the DB or be reset to null first.
// UI thread only.

#include "qmk/ViewerRecords.h"
#include "qmk/WindowPort.h"
#include "qmk/base/BaseRecord.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dwin::database::sqlite {
class Connection;
class Cursor;
class Statement;
} // namespace dwin::database::sqlite

namespace qmk::steps {
class Copies;
}

namespace qmk {

class DB {
public:
    using Connection = dwin::database::sqlite::Connection;
    using Cursor = dwin::database::sqlite::Cursor;

    // Opens (creating when missing) the database file at path, creates the four fixed tables
    // when missing and records this object as the single instance. The file is judged first by a
    // look that changes nothing (DBOpen.h). Throws when the file cannot be opened or is not a
    // database; std::runtime_error, with the file unchanged, when it holds tables but none of the
    // fixed ones (another program's database) or cannot be judged or read without changing it.
    // A statement waits this long for another connection's lock before it fails.
    static constexpr int busyTimeoutMs = 5000;
    // A count result of a write that failed (and was reported).
    static constexpr int notStored = -1;
    // The status text of a product id that is empty: it would name no listing table.
    static constexpr const char* emptyProductIdText = "product id refused: the id is empty";
    // The status text of an id that is empty, blanks only or a placeholder ("[...").
    static constexpr const char* unusableIdText = "please set the value of id";
    // The reason a write that matched no row of a record the screen shows as stored failed.
    static constexpr const char* noSuchRowText = "the file holds no row of that id";

    explicit DB(const std::string& path, WindowPort* window = nullptr,
                int busyTimeout = busyTimeoutMs);
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

    // True when changes cannot be saved: the engine opened the file read-only, or its folder (of
    // the file a link names, for a link) does not let the engine write its journal next to it.
    bool isReadOnly();

    // --- single-table operations ---
    // Inserts the record's values into the table: rows inserted (1), or notStored (also for a
    // product with the empty id, refused).
    int insert(const base::BaseRecord& record, const std::string& table);
    // A step of a caller's write on its cursor: rows inserted; throws on any failure.
    int insert(Cursor& cursor, const base::BaseRecord& record, const std::string& table);
    // Deletes the record's row (under its storedKey), with its cascade: rows deleted, or
    // notStored (also when the table lacks that row: reported with noSuchRowText). A record
    // never stored writes nothing (0), nor does a table the file lacks (0).
    int deleteRecord(const base::BaseRecord& record, const std::string& table);
    // One column of the row of key: rows updated (0: no such row), or notStored (also for a
    // product id set to the empty text, refused). The id overload: a row stored as that text.
    int updateField(const std::string& table, const base::StoredKey& key, const std::string& column,
                    const std::string& value);
    int updateField(const std::string& table, const std::string& id, const std::string& column,
                    const std::string& value);
    // A step of a caller's write on its cursor: rows updated; throws on any failure.
    int updateRow(Cursor& cursor, const std::string& table, const base::StoredKey& key,
                  const std::string& column, const std::string& value);
    // The listed_url of that row, or no value when the row is missing. Throws on engine errors
    // (for example a missing table).
    std::optional<std::string> getListedUrl(const std::string& table, const std::string& id);
    // Product ids of "Softwares" ordered "pr DESC, id DESC" (text order); the ids read so far
    // when reading fails.
    std::vector<std::string> idsByRank();
    // Creates a table with the record's columns, the first "UNIQUE NOT NULL"; a failure (a table
    // of that name exists, for one) is reported and ends it.
    void createTable(Cursor& cursor, const base::BaseRecord& record, const std::string& name);
    bool existsInSiteTables(const std::string& id);
    bool existsInSiteTables(Cursor& cursor, const std::string& id);
    // Empties "Temp_Sites" (whatever table is on show); false when that was not stored.
    bool clearTable();
    std::string getErrorMessage();
    int getChanges();
    // Whether the latest write operation failed for the file rather than for its rows: a lock, a
    // read-only or full file, an I/O error, a damaged file (steps::isFileFailure of the engine's
    // result code), so that any other write would fail alike. False once a write stored, or when
    // the engine refused it for its own rows (a unique id, a constraint, a trigger) or it failed
    // for another reason. Reset as each write begins.
    bool fileFailed() const { return fileFailed_; }
    // Renames a table (also when only letter case changes): the connection's change count after
    // it, 0 when it failed (reported).
    int alterTable(Cursor& cursor, const std::string& oldName, const std::string& newName);
    // Whether a table of exactly that name exists (any bytes, a zero byte included; the empty
    // name too, which only an older file can hold).
    bool tableExists(const std::string& name);

    // --- cascades across the product listing tables ---
    // Adds the record to the table with its cascade. True when stored; false when it was
    // refused (its id is empty, blanks or a placeholder, or in a site table already, or a new
    // product's id would share a table with another product or a fixed table: the status line
    // says so) or the write failed.
    bool add(const base::BaseRecord& record, const std::string& table);
    // The follow-ups of the deleted row of key, on the caller's cursor; throws on any failure.
    void deleteCascade(Cursor& cursor, const base::StoredKey& key, const std::string& table);
    // Updates one column of the row of key with its cascade (a product's new id renames its
    // listing table). True when the row was updated and all of it stored; false when there was
    // no such row (reported as not stored: callers name rows they hold as stored), the change
    // was refused (a product renamed to the empty id, or onto a name SQLite already uses for
    // another table; a site renamed to an id another site table holds: the status line says so)
    // or the write failed.
    bool updateFieldCascade(const std::string& table, const base::StoredKey& key,
                            const std::string& column, const std::string& value);
    // The same for a row stored as the text id.
    bool updateFieldCascade(const std::string& table, const std::string& id,
                            const std::string& column, const std::string& value);
    // Moves the record's row (under its storedKey) from table into target, as one write: moved
    // (a new record of target's kind) gets the columns both kinds have from the row as the file
    // holds it now, and the id as text; the row leaves table with its cascade, and with
    // fromCatalogue the site's catalogue row (catalogueRow: its key, the copy of the row the
    // cascades would reach) goes too, with its cascade; moved is added to target with its
    // cascade. True when stored. Nothing is kept when a step fails or is refused (the id is in
    // another site table, say): "move of <id> not stored: <reason>" is reported as for any write.
    bool move(const base::BaseRecord& record, const std::string& table, base::BaseRecord& moved,
              const std::string& target, bool fromCatalogue,
              std::optional<base::StoredKey>& catalogueRow);
    // Copies every catalogue site the current listing table lacks into it, in one transaction.
    // A row the engine refuses is skipped (a trace line names it) and the others are stored;
    // the status text counts the rows stored, and those refused when there are any. True when stored (or there is no listing table);
    // false when the write failed (the file itself: locked, read-only, full): nothing is kept.
    bool synchronizeSites();
    // Rebuilds "Softwares" with the column exe_locale; no command runs it.
    void update20080917();

    // Loads the whole table into the list, in the kind's default order; never throws. True when
    // it was read whole (or is missing). A load that fails part-way keeps the rows read so far
    // and is reported (status line and trace; after a write, behind that write's report), and
    // the table's tab counts as unread until a later load of it succeeds.
    template <class T>
    bool loadTable(BaseRecords& list, const std::string& table)
    {
        return loadTableWith(list, table, T::getInstance(),
                             [] { return base::RecordPtr(std::make_shared<T>()); });
    }
    bool loadTableWith(BaseRecords& list, const std::string& table,
                       const base::BaseRecord& prototype, base::RecordPtr (*make)());
    // Whether the last reading of the table's tab failed: it is read again at the end of the
    // next write, or when its tab is selected.
    bool isUnread(const std::string& table) const;
    // The tab that shows a table (Listed_Urls for any other than the four fixed ones).
    static WindowPort::Tab tabOf(const std::string& table);

    // "create table" column list: the names joined by ",", the one at index followed by a
    // blank and the suffix; no value for an empty list.
    static std::optional<std::string> columnDefinitions(const std::vector<std::string>& names,
                                                        std::size_t index,
                                                        const std::string& suffix);

private:
    Cursor newCursor();
    // True (and the status line says so) when the write would give a product the empty id.
    bool refusesEmptyProductId(const std::string& table, const std::string& column,
                               const std::string& value);
    // True (and the status line says unusableIdText) when the id cannot be stored.
    bool refusesUnusableId(const std::string& id);
    // Runs body as one write (see the header comment): true when it committed; otherwise the
    // failure is reported as "<what> not stored: <reason>" and false is returned. Inside
    // another write it is only a savepoint of that one.
    bool write(const std::string& what, const std::function<void(Cursor&)>& body);
    // A window follow-up: held back until the running write commits, run now outside one.
    void later(std::function<void()> step);
    // The status text, as a follow-up.
    void status(const std::string& text);
    // A tab to read again from the file when the running write fails.
    void reloadOnFailure(WindowPort::Tab tab);
    // The end of a write: its follow-ups, then the tabs in reads and the unread tabs read
    // again; a read failure is put after the status text the write gave (shown).
    void finishWrite(std::vector<std::function<void()>> steps, std::vector<WindowPort::Tab> reads,
                     bool readUnread, std::string shown);
    // A table that could not be read: the trace line, and the status line or the failures of the
    // running finishWrite.
    void readFailed(const std::string& table, std::size_t read, const std::string& reason);
    // Creates the fixed tables missing from a file that holds one of them or no table at all.
    void createFixedTables();
    // Throws std::runtime_error naming the tables of a file that holds tables (or views) but
    // none of the fixed ones: another program's file, left as it is.
    void refuseForeignFile();
    std::optional<std::string> currentListingName();
    std::vector<std::string> productIds(Cursor& cursor);
    // The product ids, in rank order, that have a listing table of exactly their name; a trace
    // line names each product the cascade on table skips for want of one.
    std::vector<std::string> productTables(Cursor& cursor, const std::string& table);
    bool rowExists(Cursor& cursor, const std::string& table, const std::string& id);
    // The add's steps (see add): the refusal, with nothing written, or none once it is stored.
    std::optional<std::string> addRow(Cursor& cursor, const base::BaseRecord& record,
                                      const std::string& table);
    // Deletes the row of key with its cascade: the rows deleted; throws noSuchRowText for none.
    int deleteRow(Cursor& cursor, const base::StoredKey& key, const std::string& table);
    // The columns of into that the row of key in table holds, set to its values (NULL: the
    // empty text); throws noSuchRowText when the table lacks the row.
    void readRow(Cursor& cursor, const std::string& table, const base::StoredKey& key,
                 base::BaseRecord& into);
    // updateRow on the copy of a row in another table (steps::Copies).
    int updateCopy(Cursor& cursor, steps::Copies& copies, const std::string& table,
                   const std::string& column, const std::string& value);
    // Copies the columns of from into target and inserts it unless the table has its id already.
    void copyMissing(Cursor& cursor, base::BaseRecord& target, const base::BaseRecord& from,
                     const std::vector<std::string>& columns, const std::string& table);
    void insertMissing(Cursor& cursor, const base::BaseRecord& row, const std::string& table);
    // The name of a table other than exclude that SQLite takes for name (same letters, any
    // ASCII case): a fixed table, another product's id or any existing table; none when free.
    std::optional<std::string> sharedTableName(Cursor& cursor, const std::string& name,
                                               const std::string& exclude);
    void addProduct(Cursor& cursor, const std::string& id);
    void addCatalogueSite(Cursor& cursor, const base::BaseRecord& record);
    void addListingSite(Cursor& cursor, const base::BaseRecord& record, const std::string& current);
    void spreadCatalogueChange(Cursor& cursor, const base::StoredKey& key,
                               const std::string& column, const std::string& value);
    void spreadListingChange(Cursor& cursor, const std::string& current, const base::StoredKey& key,
                             const std::string& column, const std::string& value);
    void renameProduct(Cursor& cursor, const std::string& oldId, const std::string& newId);
    // The copy of the catalogue sites. source is the FROM clause choosing them; sources gives,
    // for each listing column, the catalogue column of the selection holding it (by result
    // name; -1: none, the placeholder). copyAtOnce runs it as one INSERT ... SELECT under a
    // savepoint: the rows stored, or no value when the engine refused a row (nothing of the
    // attempt is kept then). copyRowByRow copies row by row, each under a savepoint, skips and
    // traces each row the engine refuses, and counts the rows stored and refused. Both throw when the file
    // fails (steps::isFileFailure) or the engine ended the transaction.
    std::vector<int> listingSources(const std::string& source);
    std::optional<std::size_t> copyAtOnce(const std::string& table, const std::string& source,
                                          const std::vector<int>& sources);
    struct CopyCount {
        std::size_t stored = 0;
        std::size_t refused = 0;
    };
    CopyCount copyRowByRow(const std::string& table, const std::string& source,
                           const std::vector<int>& sources);
    // The INSERT ... SELECT of the copy from source, its placeholders bound; parameters: the
    // number of them (the index of the next parameter).
    dwin::database::sqlite::Statement prepareCopy(const std::string& table,
                                                  const std::vector<int>& sources,
                                                  const std::string& source, int& parameters);

    std::unique_ptr<Connection> connection_;
    WindowPort* window_ = nullptr;
    // The running write's depth, its held-back follow-ups and the tabs to read again on failure.
    int writeDepth_ = 0;
    std::vector<std::function<void()>> followUps_;
    std::vector<WindowPort::Tab> reloads_;
    // Tabs whose last reading failed; the status text the running write gave, and (while
    // finishWrite reads) where read failures go instead of the status line.
    std::vector<WindowPort::Tab> unread_;
    std::string shown_;
    std::vector<std::string>* readFailures_ = nullptr;
    bool fileFailed_ = false;
};

} // namespace qmk
