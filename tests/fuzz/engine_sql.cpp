// Statement texts through classification, translation and execution against an in-memory database, with
// bind values taken from the tail of the input.
#include "engine/DbmsOutput.h"
#include "engine/EngineFunctions.h"
#include "engine/EngineValue.h"
#include "engine/OraNumber.h"
#include "engine/PlsqlBlock.h"
#include "engine/SqlTranslator.h"
#include "engine/StatementKind.h"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

int stopLongRuns(void* counter)
{
    return ++*static_cast<int*>(counter) > 2000;
}

engine::EngineValue bindValue(const std::string& tail, std::size_t index)
{
    unsigned char selector = tail.empty() ? 0 : static_cast<unsigned char>(tail[index % tail.size()]);
    switch (selector % 5) {
    case 0: return engine::EngineValue();
    case 1: return engine::EngineValue::integer(static_cast<std::int64_t>(selector) - 100);
    case 2: return engine::EngineValue::text(tail.substr(0, 40));
    case 3: {
        engine::OraDate d;
        d.year = 2024;
        d.month = static_cast<std::uint8_t>(selector % 12 + 1);
        d.day = 1;
        return engine::EngineValue::date(d);
    }
    default:
        return engine::EngineValue::number(
            engine::OraNumber::fromText(std::to_string(selector) + ".5").value_or(engine::OraNumber()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t split = input.find('\0');
    std::string sql = input.substr(0, split);
    std::string tail = split == std::string::npos ? std::string() : input.substr(split + 1);

    if (std::optional<engine::OraNumber> n = engine::OraNumber::fromBytes(data, size)) {
        std::string text;
        (void)n->toText("TM", text);
        (void)engine::OraNumber::fromText(n->toDecimalText());
    }

    engine::classifyStatement(sql);
    engine::TranslatedSql translated;
    engine::OraError error = engine::translateSql(sql, translated);
    if (error)
        return 0;

    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK) {
        sqlite3_close(db);
        return 0;
    }
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1 << 20);
    int steps = 0;
    sqlite3_progress_handler(db, 1000, stopLongRuns, &steps);
    engine::registerOracleFunctions(db);
    sqlite3_exec(db,
                 "CREATE TABLE EMP(EMPNO NUMBER, ENAME VARCHAR2(10), HIREDATE DATE, SAL NUMBER);"
                 "INSERT INTO EMP VALUES (1, 'SMITH', '1980-12-17 00:00:00', 800), (2, 'ALLEN', NULL, 1600.5);",
                 nullptr, nullptr, nullptr);

    if (translated.isPlsql) {
        engine::DbmsOutput output;
        output.enable();
        engine::PlsqlSession session;
        session.db = db;
        session.output = &output;
        int passes = 0;
        session.cancelled = [&passes] { return ++passes > 2000; }; // loops that never reach SQLite end too
        engine::PlsqlBinds binds;
        for (std::size_t i = 0; i < translated.binds.size(); ++i)
            binds[translated.binds[i]] = bindValue(tail, i);
        engine::executePlsqlBlock(session, sql, binds);
        std::string line;
        while (output.getLine(line) == 0) {
        }
    } else {
        sqlite3_stmt* stmt = nullptr;
        int rc = sqlite3_prepare_v2(db, translated.sql.c_str(), -1, &stmt, nullptr);
        if (rc == SQLITE_OK) {
            for (std::size_t i = 0; i < translated.binds.size(); ++i)
                engine::bindEngineValue(stmt, static_cast<int>(i + 1), bindValue(tail, i));
            for (int row = 0; row < 100 && sqlite3_step(stmt) == SQLITE_ROW; ++row)
                for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                    (void)engine::columnEngineValue(stmt, c).toText();
            rc = sqlite3_errcode(db);
        }
        if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
            (void)engine::OraError::fromSqlite(db, rc);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return 0;
}
