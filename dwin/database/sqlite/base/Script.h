#pragma once
// Script: hands out the statements of a multi-statement SQL text one by one.

#include "dwin/database/sqlite/base/Statement.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dwin::database::sqlite {

class Connection;

// Keeps its own copy of the text. The statements it hands out belong to the caller.
// The connection must outlive the script. nextStatement throws SQLiteVMException (result code)
// when a statement does not prepare.
class Script {
public:
    explicit Script(Connection& connection) : connection_(&connection) {}

    Connection& getConnection() const { return *connection_; }
    std::string_view getText() const { return text_; }
    void setText(std::string_view sql);
    void restart();
    // Statements handed out since the text was set or restarted.
    std::int32_t getCount() const { return count_; }
    // The next prepared statement, or nothing when only blanks or comments are left.
    std::optional<Statement> nextStatement();
    // Calls the callback with each statement in turn; stops at once with a non-zero result
    // and returns it, else returns 0.
    std::int32_t run(const std::function<std::int32_t(Statement&)>& callback);

private:
    Connection* connection_;
    std::string text_;
    std::size_t rest_ = 0; // offset of the part not yet prepared
    std::int32_t count_ = 0;
};

} // namespace dwin::database::sqlite
