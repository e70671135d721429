#pragma once
// How the database file is opened. A look that changes nothing judges the file first: only a
// file of this program (one holding a fixed table, or no table at all: a new or empty file) is
// opened for the session; another program's file is refused as it is.
//
// The look is a read-only connection (Connection::openReadOnly): a file in WAL mode with nothing
// in its log is read as it stands, any other through its journal or log. A file whose reading
// needs a recovery (a journal left by a crash, a log without its index) is judged on a private
// copy of the file with its journal and log, where the engine may recover the copy. The copy is
// made in a folder of its own in the temporary folder, else in the folder path names (the data
// folder), and removed after the look; the file is refused only when neither takes the copy.
//
// The session connection opens for reading and writing as it always did, except for a file in
// WAL mode in a folder the program cannot write (the engine could make neither log nor index
// there): it opens read-only, and reads as the look does. Read as it stands, such a file takes
// no lock: a change another user's program makes to it meanwhile is not seen.

#include <array>
#include <optional>
#include <string>

namespace dwin::database::sqlite {
class Connection;
class SQLiteVMException;
} // namespace dwin::database::sqlite

namespace qmk::dbopen {

using Connection = dwin::database::sqlite::Connection;

inline constexpr std::array<const char*, 4> fixedTables = {"Softwares", "Shareware_Sites",
                                                           "Black_Sites", "Temp_Sites"};

// Opens session on path after the look (above); both wait busyTimeout ms for another program's
// lock. Throws std::runtime_error, the file unchanged, for another program's file and for a file
// that cannot be judged or read without changing it (the text names the file and says why);
// SQLiteVMException (see failure) when the engine fails.
void open(Connection& session, const std::string& path, int busyTimeout);

// The refusal of a file that holds tables (or views) but none of the fixed ones, naming it as
// path; none for a file of this program. Throws when the engine cannot read the file.
std::optional<std::string> foreignFileText(Connection& connection, const std::string& path);

// Whether the engine may make files (journal, log) in the folder of path (of the file a link
// names).
bool folderWritable(const std::string& path);

// The engine's failure e on connection made the message text: "<path>: <engine text>", after the
// layer's own text when the connection did not open.
dwin::database::sqlite::SQLiteVMException
failure(Connection& connection, const std::string& path,
        const dwin::database::sqlite::SQLiteVMException& e, bool opened);

} // namespace qmk::dbopen
