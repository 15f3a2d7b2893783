#pragma once

#include "engine/EngineFunctions.h"
#include "engine/EngineValue.h"
#include "engine/SqlTranslator.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

// An in-memory SQLite connection with the Oracle functions, running Oracle SQL through the translator.
class EngineSqlFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        ASSERT_FALSE(engine::registerOracleFunctions(m_db));
    }
    void TearDown() override { sqlite3_close(m_db); }

    // Runs one statement with positional bind values; returns the rows as text ("" for NULL written as
    // "<null>"), or throws the ORA text of a failure as a std::string.
    std::vector<std::vector<std::string>> run(const std::string& oracleSql,
                                              const std::vector<engine::EngineValue>& binds = {})
    {
        engine::TranslatedSql t;
        if (engine::OraError e = engine::translateSql(oracleSql, t))
            throw e.text();
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(m_db, t.sql.c_str(), -1, &st, nullptr);
        if (rc != SQLITE_OK)
            throw engine::OraError::fromSqlite(m_db, rc).text();
        for (std::size_t i = 0; i < t.binds.size() && i < binds.size(); ++i)
            engine::bindEngineValue(st, static_cast<int>(i + 1), binds[i]);
        std::vector<std::vector<std::string>> rows;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                engine::EngineValue v = engine::columnEngineValue(st, c);
                row.push_back(v.isNull() ? "<null>" : v.toText());
            }
            rows.push_back(row);
        }
        engine::OraError failure = rc == SQLITE_DONE ? engine::OraError() : engine::OraError::fromSqlite(m_db, rc);
        sqlite3_finalize(st);
        if (failure)
            throw failure.text();
        return rows;
    }

    // The single value of a one-row, one-column query, or the error text.
    std::string value(const std::string& oracleSql, const std::vector<engine::EngineValue>& binds = {})
    {
        try {
            auto rows = run(oracleSql, binds);
            if (rows.size() != 1 || rows[0].size() != 1)
                return "<" + std::to_string(rows.size()) + " rows>";
            return rows[0][0];
        } catch (const std::string& error) {
            return error;
        }
    }

    // The ORA code a statement fails with (0 when it succeeds).
    int errorCode(const std::string& oracleSql)
    {
        try {
            run(oracleSql);
            return 0;
        } catch (const std::string& error) {
            return std::stoi(error.substr(4, 5));
        }
    }

    // The column names SQLite reports for a translated query.
    std::vector<std::string> columnNames(const std::string& oracleSql)
    {
        engine::TranslatedSql t;
        std::vector<std::string> names;
        if (engine::translateSql(oracleSql, t))
            return names;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, t.sql.c_str(), -1, &st, nullptr) == SQLITE_OK)
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                names.push_back(sqlite3_column_name(st, c));
        sqlite3_finalize(st);
        return names;
    }

    sqlite3* m_db = nullptr;
};
