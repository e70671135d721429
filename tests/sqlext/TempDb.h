// A connection on a fresh database file in a temporary folder of its own.
#pragma once

#include "dwin/database/sqlite/Base.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace sqlext_test {

namespace sq = dwin::database::sqlite;

class TempDb : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs every statement of sql, dropping any rows.
    void exec(const std::string& sql);
    // Runs one query and returns its rows.
    std::vector<std::vector<sq::SQLiteData>> query(const std::string& sql);
    // The single value of a one-row, one-column query.
    sq::SQLiteData scalar(const std::string& sql);
    // The result code a failing statement throws; 0 when it succeeds.
    int failureCode(const std::string& sql);

    std::filesystem::path dir;
    std::filesystem::path file;
    sq::Connection db;
};

} // namespace sqlext_test
