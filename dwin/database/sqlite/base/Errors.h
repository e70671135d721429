#pragma once
// Exceptions of the SQLite layer and the engine's result codes.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dwin::database::sqlite {

// SQLite's primary result codes, under SQLite's own values.
struct SQLiteVMCode {
    enum : std::int32_t {
        Ok = 0,
        Error = 1,
        Internal = 2,
        Perm = 3,
        Abort = 4,
        Busy = 5,
        Locked = 6,
        NoMem = 7,
        ReadOnly = 8,
        Interrupt = 9,
        IOErr = 10,
        Corrupt = 11,
        NotFound = 12,
        Full = 13,
        CantOpen = 14,
        Protocol = 15,
        Empty = 16,
        Schema = 17,
        TooBig = 18,
        Constraint = 19,
        Mismatch = 20,
        Misuse = 21,
        NoLfs = 22,
        Auth = 23,
        Format = 24,
        Range = 25,
        NotADb = 26,
        Notice = 27,
        Warning = 28,
        Row = 100,
        Done = 101,
    };
};

// The engine's generic English text for a result code ("database is locked" for 5).
std::string_view resultText(std::int32_t code);

// An error reported by the SQLite engine. Carries the engine's result code; the engine's own
// text is not copied in: ask Connection::getErrorMessage after catching.
class SQLiteVMException : public std::runtime_error {
public:
    // Message "SQLite VM Exception".
    explicit SQLiteVMException(std::int32_t code);
    // Message "SQLite VM Exception: " followed by text.
    SQLiteVMException(std::string_view text, std::int32_t code);

    std::int32_t getCode() const noexcept { return code_; }

private:
    std::int32_t code_;
};

// A misuse of the layer detected by the layer itself (wrong state, bad index, bad type).
// Message "SQLite D Exception: " followed by the text; no code.
class SQLiteDException : public std::runtime_error {
public:
    explicit SQLiteDException(std::string_view text);
};

} // namespace dwin::database::sqlite
