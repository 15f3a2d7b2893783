#include "engine/EngineValue.h"
#include "engine/OraError.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace engine;

TEST(EngineValueTest, ImplicitConversionsFollowOracle)
{
    EXPECT_EQ(EngineValue::text(" 12.5 ").toNumber().toDecimalText(), "12.5");
    EXPECT_EQ(EngineValue::real(0.1).toNumber().toDecimalText(), "0.1");
    EXPECT_THROW(EngineValue::text("12,5").toNumber(), OraException);
    EXPECT_THROW(EngineValue().toNumber(), OraException);
    EXPECT_THROW(EngineValue::date(OraDate{}).toNumber(), OraException);
    EXPECT_EQ(EngineValue::text("2024-02-29 10:00:00").toDate().day, 29);
    try {
        EngineValue::text("29.02.2024").toDate();
        FAIL();
    } catch (const OraException& e) {
        EXPECT_EQ(e.error().code(), 1861);
    }
    EXPECT_EQ(EngineValue::real(-0.5).toText(), "-.5");
    EXPECT_EQ(EngineValue::integer(-42).toText(), "-42");
    EXPECT_EQ(EngineValue().toText(), "");
}

TEST(EngineValueTest, BindsAndColumnsRoundTripThroughSqlite)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT ?1, typeof(?1), ?2, typeof(?2), ?3, ?4, ?5, x'41420043'", -1, &st,
                                 nullptr),
              SQLITE_OK);
    bindEngineValue(st, 1, EngineValue::number(*OraNumber::fromText("12345678901234")));
    bindEngineValue(st, 2, EngineValue::number(*OraNumber::fromText("2.5")));
    bindEngineValue(st, 3, EngineValue::date(*OraDate::fromStorageText("2001-02-03 04:05:06")));
    bindEngineValue(st, 4, EngineValue::text(""));
    bindEngineValue(st, 5, EngineValue::number(*OraNumber::fromText("1e30")));
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(columnEngineValue(st, 0), EngineValue::integer(12345678901234));
    EXPECT_EQ(columnEngineValue(st, 1), EngineValue::text("integer"));
    EXPECT_EQ(columnEngineValue(st, 2), EngineValue::real(2.5));
    EXPECT_EQ(columnEngineValue(st, 3), EngineValue::text("real"));
    EXPECT_EQ(columnEngineValue(st, 4), EngineValue::text("2001-02-03 04:05:06"));
    EXPECT_TRUE(columnEngineValue(st, 5).isNull());
    EXPECT_EQ(columnEngineValue(st, 6).toText(), "1" + std::string(30, '0'));
    EXPECT_EQ(columnEngineValue(st, 7), EngineValue::text(std::string("AB\0C", 4)));
    sqlite3_finalize(st);
    sqlite3_close(db);
}
