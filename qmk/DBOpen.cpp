// Opening the database file: the look that judges it, then the session connection.
#include "qmk/DBOpen.h"

#include "dwin/database/sqlite/Base.h"
#include "dwin/database/sqlite/Extra.h"
#include "qmk/Report.h"
#include "qmk/SqlText.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace qmk::dbopen {

namespace {

using dwin::database::sqlite::SQLiteVMCode;
using dwin::database::sqlite::SQLiteVMException;
namespace fs = std::filesystem;

// The file as seen from outside the engine.
struct Files {
    std::string name; // the file the engine opens: the one a link names
    bool present = false; // holds bytes: there is something to judge
    bool wal = false; // its header says WAL mode
    bool logged = false; // its -wal holds bytes
    bool indexed = false; // its -shm exists
};

Files filesOf(const std::string& path)
{
    Files files;
    std::error_code ec;
    files.name = fs::canonical(path, ec).string();
    if (ec)
        files.name = path;
    const auto size = fs::file_size(files.name, ec);
    files.present = !ec && size > 0;
    char header[20] = {};
    std::ifstream in(files.name, std::ios::binary);
    files.wal = in.read(header, sizeof header) && std::memcmp(header, "SQLite format 3", 16) == 0 &&
        header[19] == 2;
    const auto logSize = fs::file_size(files.name + "-wal", ec);
    files.logged = !ec && logSize > 0;
    files.indexed = fs::exists(files.name + "-shm", ec);
    return files;
}

// Why a file in WAL mode whose folder takes no new file cannot be read; none when it can.
std::optional<std::string> unreadable(const std::string& path, const Files& files)
{
    if (!files.logged)
        return std::nullopt; // read as it stands
    const std::string log = files.name + "-wal";
    const std::string index = files.name + "-shm";
    std::string why;
    if (access(log.c_str(), R_OK) != 0)
        why = "its write-ahead log " + log + " cannot be read";
    else if (!files.indexed)
        why = "its write-ahead log " + log + " holds changes that are read through the index " +
            index + ", which is missing, and the folder does not let the program make it";
    else if (access(index.c_str(), R_OK) != 0)
        why = "the index " + index + " of its write-ahead log cannot be read";
    else
        return std::nullopt;
    return path + ": it cannot be read: " + why + ".";
}

// The engine's text for the last failure on connection, else fallback.
std::string engineText(Connection& connection, const std::string& fallback)
{
    try {
        std::string text(connection.getErrorMessage());
        if (!text.empty())
            return text;
    } catch (...) {
        report::caught("DB open: the engine's text"); // the fallback then
    }
    return fallback;
}

// A folder of its own made in parent, removed with what it holds.
struct PrivateFolder {
    std::string path;
    PrivateFolder(const fs::path& parent, const char* pattern)
    {
        std::string name = (parent / pattern).string();
        if (!mkdtemp(name.data()))
            throw fs::filesystem_error("cannot make a private folder", name,
                                       std::error_code(errno, std::generic_category()));
        path = name;
    }
    ~PrivateFolder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// Why a copy to judge on failed: the place took no copy (no folder, no room), or the copy it
// holds cannot be read.
struct CopyFailed {
    std::string why;
    bool unreadable = false;
};

// The judgement on a copy of the file with its journal and log, made in a private folder in
// parent, which the engine recovers as it opens the copy. Throws CopyFailed.
std::optional<std::string> judgedIn(const fs::path& parent, const char* pattern,
                                    const std::string& path, const Files& files)
{
    try {
        PrivateFolder folder(parent, pattern);
        const std::string copyName = folder.path + "/look.db";
        fs::copy_file(files.name, copyName);
        for (const char* suffix : {"-journal", "-wal"})
            if (fs::exists(files.name + suffix))
                fs::copy_file(files.name + suffix, copyName + suffix);
        Connection copy;
        try {
            copy.open(copyName);
            return foreignFileText(copy, path);
        } catch (const SQLiteVMException& e) {
            const int code = e.getCode() & 0xff;
            const bool noRoom = code == SQLiteVMCode::Full || code == SQLiteVMCode::IOErr ||
                code == SQLiteVMCode::CantOpen;
            throw CopyFailed{engineText(copy, e.what()), !noRoom};
        }
    } catch (const fs::filesystem_error& e) {
        throw CopyFailed{e.code().message()};
    }
}

// The judgement on a copy made in the temporary folder, else in the folder of path (the data
// folder, under a hidden name of its own). Throws std::runtime_error when no copy can be made
// or read.
std::optional<std::string> judgedOnCopy(const std::string& path, const Files& files)
{
    std::error_code ec;
    const std::string why = fs::exists(files.name + "-journal", ec)
        ? "a crash left its journal " + files.name + "-journal to be rolled back"
        : "its write-ahead log " + files.name + "-wal must be read through an index it lacks";
    const auto refused = [&](const std::string& copyFailure) {
        return std::runtime_error(path + ": it cannot be judged without changing it: " + why +
                                  ", and a copy of it " + copyFailure + ". It is left as it is.");
    };
    fs::path own = fs::path(path).parent_path();
    if (own.empty())
        own = ".";
    std::string inTemporary;
    try {
        try {
            return judgedIn(fs::temp_directory_path(), "qmk-look-XXXXXX", path, files);
        } catch (const fs::filesystem_error& e) {
            inTemporary = e.code().message(); // no temporary folder
        } catch (const CopyFailed& e) {
            if (e.unreadable)
                throw;
            inTemporary = e.why;
        }
        return judgedIn(own, ".qmk-look-XXXXXX", path, files);
    } catch (const CopyFailed& e) {
        if (e.unreadable)
            throw refused("cannot be read: " + e.why);
        throw refused("could not be made: in the temporary folder: " + inTemporary + "; in " +
                      own.string() + ": " + e.why);
    }
}

// Throws std::runtime_error, the file unchanged, when the file is not this program's or cannot be
// judged; the look is closed before anything else opens the file.
void judge(const std::string& path, const Files& files, int busyTimeout)
{
    std::optional<std::string> refusal;
    bool recover = false;
    {
        Connection look;
        bool opened = false;
        try {
            look.openReadOnly(path, files.wal && !files.logged);
            opened = true;
            look.setBusyTimeout(busyTimeout);
            refusal = foreignFileText(look, path);
        } catch (const SQLiteVMException& e) {
            // refused a write (a recovery), or a log that needs an index made
            const int code = e.getCode() & 0xff;
            recover = opened &&
                (code == SQLiteVMCode::ReadOnly ||
                 (code == SQLiteVMCode::CantOpen && files.logged));
            if (!recover)
                throw failure(look, path, e, opened);
        }
    }
    if (recover)
        refusal = judgedOnCopy(path, files);
    if (refusal)
        throw std::runtime_error(*refusal);
}

} // namespace

void open(Connection& session, const std::string& path, int busyTimeout)
{
    const Files files = filesOf(path);
    const bool readOnly = files.wal && !folderWritable(path);
    if (readOnly)
        if (auto why = unreadable(path, files))
            throw std::runtime_error(*why);
    if (files.present)
        judge(path, files, busyTimeout);
    bool opened = false;
    try {
        if (readOnly)
            session.openReadOnly(path, !files.logged);
        else
            session.open(path);
        opened = true;
        session.setBusyTimeout(busyTimeout);
    } catch (const SQLiteVMException& e) {
        throw failure(session, path, e, opened);
    }
}

std::optional<std::string> foreignFileText(Connection& connection, const std::string& path)
{
    for (const char* name : fixedTables)
        if (dwin::database::sqlite::tableExists(connection, name))
            return std::nullopt;
    dwin::database::sqlite::Cursor cursor = connection.createCursor();
    cursor.execute("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT "
                   "LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid;");
    if (!cursor.hasRow())
        return std::nullopt; // an empty file: a new database
    std::vector<std::string> names;
    for (; cursor.hasRow() && names.size() < 5; cursor.next())
        names.push_back(cursor.getText(0));
    if (cursor.hasRow())
        names.push_back("...");
    return sql::fill("{}: not a database of this program: it holds other tables ({}) and none of "
                     "{}. It is left as it is.",
                     path, sql::join(names, ", "),
                     sql::join({fixedTables.begin(), fixedTables.end()}, ", "));
}

bool folderWritable(const std::string& path)
{
    std::error_code ec;
    fs::path file = fs::canonical(path, ec);
    if (ec)
        file = path;
    const auto folder = file.parent_path();
    return access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

SQLiteVMException failure(Connection& connection, const std::string& path,
                          const SQLiteVMException& e, bool opened)
{
    std::string own = e.what(); // "SQLite VM Exception: " comes again with the new exception
    if (const std::string_view prefix = "SQLite VM Exception: "; own.rfind(prefix, 0) == 0)
        own.erase(0, prefix.size());
    std::string text = path + ": " + engineText(connection, own);
    if (!opened)
        text = own + ": " + text;
    return SQLiteVMException(text, e.getCode());
}

} // namespace qmk::dbopen
