// Prepare, bind, execute, describe, define and array fetch of the engine's OCI surface.
#include "EngineOciFixture.h"

#include "engine/CEngineStatement.h"
#include "engine/OraNumber.h"

#include <array>
#include <cstring>

using namespace oci;

namespace {

std::u16string utf16Of(const char16_t *units, std::size_t maxUnits)
{
    std::u16string text;
    for (std::size_t i = 0; i < maxUnits && units[i] != 0; ++i)
        text.push_back(units[i]);
    return text;
}

} // namespace

class EngineStatement : public EngineOciFixture
{
protected:
    void SetUp() override
    {
        EngineOciFixture::SetUp();
        createDatabase("DATA",
                       "CREATE TABLE NUMS (N NUMBER(10), LABEL VARCHAR2(30), D DATE, C CHAR(5), "
                       "NOTE CLOB, RAWISH RAW(16), F FLOAT, I INTEGER, T TEXT);"
                       "WITH RECURSIVE R(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM R WHERE X < 45) "
                       "INSERT INTO NUMS (N, LABEL, D) SELECT X, 'row ' || X, "
                       "'2024-01-' || printf('%02d', 1 + X % 28) || ' 10:20:30' FROM R;"
                       "CREATE TABLE EMPTY (A NUMBER);");
        s = logon("DATA");
        ASSERT_EQ(s.status, OCI_SUCCESS) << errorText(s);
    }
    void TearDown() override
    {
        logoff(s);
        EngineOciFixture::TearDown();
    }

    ub2 typeAfterPrepare(const std::string &sql)
    {
        OCIStmt *stmt = prepare(s, sql);
        ub2 type = 99;
        api.OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, s.err);
        freeStmt(stmt);
        return type;
    }

    OCIBind *bindText(OCIStmt *stmt, const char *name, char16_t *buffer, sb4 size, sb2 *ind, ub2 *alen)
    {
        OCIBind *bind = nullptr;
        EXPECT_EQ(api.OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText *>(name), -1,
                                    buffer, size, SQLT_STR, ind, alen, nullptr, 0, nullptr, OCI_DEFAULT),
                  OCI_SUCCESS)
            << errorText(s);
        ub4 charset = OCI_UTF16ID;
        api.OCIAttrSet(bind, OCI_HTYPE_BIND, &charset, 4, OCI_ATTR_CHARSET_ID, s.err);
        return bind;
    }

    OCIBind *bindNumber(OCIStmt *stmt, const char *name, OCINumber *number, sb2 *ind)
    {
        OCIBind *bind = nullptr;
        EXPECT_EQ(api.OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText *>(name), -1,
                                    number, sizeof(OCINumber), SQLT_VNU, ind, nullptr, nullptr, 0,
                                    nullptr, OCI_DEFAULT),
                  OCI_SUCCESS)
            << errorText(s);
        return bind;
    }

    OCINumber number(double value)
    {
        OCINumber n{};
        EXPECT_EQ(api.OCINumberFromReal(s.err, &value, sizeof value, &n), OCI_SUCCESS);
        return n;
    }

    std::string tmText(const OCINumber &n)
    {
        OraText buffer[65];
        ub4 size = sizeof buffer;
        EXPECT_EQ(api.OCINumberToText(s.err, &n, reinterpret_cast<const OraText *>("TM"), 2, nullptr, 0,
                                      &size, buffer),
                  OCI_SUCCESS);
        return std::string(reinterpret_cast<char *>(buffer), size);
    }

    Session s;
};

TEST_F(EngineStatement, TypeIsReadableRightAfterPrepare)
{
    EXPECT_EQ(typeAfterPrepare("  /* c */ (SELECT 1 FROM DUAL)"), OCI_STMT_SELECT);
    EXPECT_EQ(typeAfterPrepare("with x as (select 1 a from dual) select a from x"), OCI_STMT_SELECT);
    EXPECT_EQ(typeAfterPrepare("insert into nums (n) values (1)"), OCI_STMT_INSERT);
    EXPECT_EQ(typeAfterPrepare("BEGIN NULL; END;"), OCI_STMT_BEGIN);
    EXPECT_EQ(typeAfterPrepare("DECLARE x NUMBER; BEGIN NULL; END;"), OCI_STMT_DECLARE);
    EXPECT_EQ(typeAfterPrepare("garbage here"), OCI_STMT_UNKNOWN);
}

TEST_F(EngineStatement, BindingByNameFollowsOracleRules)
{
    OCIStmt *stmt = prepare(s, "SELECT N FROM NUMS WHERE N = :Id OR N = :1 OR N = :id + 40");
    OCINumber id = number(3);
    OCINumber one = number(7);
    sb2 ind = 0;
    OCIBind *bind = nullptr;
    // A name that is not in the text is refused when bound.
    EXPECT_EQ(api.OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText *>(":NOPE"), -1, &id,
                                22, SQLT_VNU, &ind, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_ERROR);
    EXPECT_EQ(errorText(s), "ORA-01036: illegal variable name/number");

    bindNumber(stmt, ":ID", &id, &ind);
    // :1 is still unbound.
    EXPECT_EQ(execute(s, stmt, 0), OCI_ERROR);
    EXPECT_EQ(errorText(s), "ORA-01008: not all variables bound");

    bindNumber(stmt, ":1", &one, &ind);
    OCINumber later = number(5);
    bindNumber(stmt, ": id", &later, &ind); // bound twice: the later bind wins
    ASSERT_EQ(execute(s, stmt, 0), OCI_SUCCESS) << errorText(s);

    std::array<OCINumber, 4> out{};
    std::array<sb2, 4> inds{};
    OCIDefine *def = nullptr;
    api.OCIDefineByPos(stmt, &def, s.err, 1, out.data(), 22, SQLT_VNU, inds.data(), nullptr, nullptr,
                       OCI_DEFAULT);
    EXPECT_EQ(api.OCIStmtFetch(stmt, s.err, 4, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_NO_DATA);
    EXPECT_EQ(attrUb4(stmt, OCI_HTYPE_STMT, OCI_ATTR_ROWS_FETCHED, s), 3u);
    EXPECT_EQ(tmText(out[0]), "5");
    EXPECT_EQ(tmText(out[1]), "7");
    EXPECT_EQ(tmText(out[2]), "45");
    freeStmt(stmt);
}

TEST_F(EngineStatement, Utf16TextAndNullsRoundTripThroughBindsAndDefines)
{
    OCIStmt *insert = prepare(s, "INSERT INTO NUMS (N, LABEL) VALUES (:n, :label)");
    char16_t text[16] = u"Grüße 𝄞 €";
    sb2 textInd = 0;
    ub2 textLen = 0;
    OCINumber n = number(100);
    sb2 nInd = 0;
    bindText(insert, ":LABEL", text, sizeof text, &textInd, &textLen);
    bindNumber(insert, ":N", &n, &nInd);
    ASSERT_EQ(execute(s, insert), OCI_SUCCESS) << errorText(s);
    EXPECT_EQ(attrUb4(insert, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT, s), 1u);

    n = number(101);
    textInd = -1; // NULL by indicator
    ASSERT_EQ(execute(s, insert), OCI_SUCCESS);
    n = number(102);
    textInd = 0;
    text[0] = 0; // Oracle's empty string is NULL
    ASSERT_EQ(execute(s, insert), OCI_SUCCESS);
    freeStmt(insert);

    OCIStmt *query = prepare(s, "SELECT LABEL FROM NUMS WHERE N >= 100 ORDER BY N");
    ASSERT_EQ(execute(s, query, 0), OCI_SUCCESS);
    char16_t labels[3][31];
    std::memset(labels, 0x55, sizeof labels);
    sb2 inds[3] = {};
    ub2 lens[3] = {};
    OCIDefine *def = nullptr;
    api.OCIDefineByPos(query, &def, s.err, 1, labels, sizeof labels[0], SQLT_STR, inds, lens, nullptr,
                       OCI_DEFAULT);
    ub4 charset = OCI_UTF16ID;
    api.OCIAttrSet(def, OCI_HTYPE_DEFINE, &charset, 4, OCI_ATTR_CHARSET_ID, s.err);
    EXPECT_EQ(api.OCIStmtFetch(query, s.err, 3, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
    EXPECT_EQ(utf16Of(labels[0], 31), u"Grüße 𝄞 €");
    EXPECT_EQ(inds[0], 0);
    EXPECT_EQ(lens[0], 2 * std::u16string(u"Grüße 𝄞 €").size());
    EXPECT_EQ(inds[1], -1);
    EXPECT_EQ(inds[2], -1);
    freeStmt(query);
}

TEST_F(EngineStatement, ArrayFetchDeliversBatchesThenNoDataThenFetchOutOfSequence)
{
    struct Case {
        const char *sql;
        std::vector<ub4> batches; // rows delivered per fetch of 20; the last one returns OCI_NO_DATA
    };
    const std::vector<Case> cases{{"SELECT N, LABEL, D FROM NUMS ORDER BY N", {20, 20, 5}},
                                  {"SELECT N, LABEL, D FROM NUMS WHERE N <= 20", {20, 0}},
                                  {"SELECT N, LABEL, D FROM NUMS WHERE N > 100", {0}}};
    for (const Case &c : cases) {
        OCIStmt *stmt = prepare(s, c.sql);
        ASSERT_EQ(execute(s, stmt, 0), OCI_SUCCESS) << errorText(s);
        EXPECT_EQ(attrUb4(stmt, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT, s), 0u);
        std::array<OCINumber, 20> nums{};
        std::array<char, 20 * 31> labels{};
        std::array<OCIDate, 20> dates{};
        std::array<sb2, 20> i1{}, i2{}, i3{};
        OCIDefine *d = nullptr;
        api.OCIDefineByPos(stmt, &d, s.err, 1, nums.data(), 22, SQLT_VNU, i1.data(), nullptr, nullptr, 0);
        api.OCIDefineByPos(stmt, &d, s.err, 2, labels.data(), 31, SQLT_STR, i2.data(), nullptr, nullptr, 0);
        api.OCIDefineByPos(stmt, &d, s.err, 3, dates.data(), sizeof(OCIDate), SQLT_ODT, i3.data(), nullptr,
                           nullptr, 0);
        ub4 total = 0;
        for (std::size_t b = 0; b < c.batches.size(); ++b) {
            const bool last = b + 1 == c.batches.size();
            EXPECT_EQ(api.OCIStmtFetch(stmt, s.err, 20, OCI_FETCH_NEXT, OCI_DEFAULT),
                      last ? OCI_NO_DATA : OCI_SUCCESS)
                << c.sql << " batch " << b;
            total += c.batches[b];
            EXPECT_EQ(attrUb4(stmt, OCI_HTYPE_STMT, OCI_ATTR_ROWS_FETCHED, s), c.batches[b]);
            EXPECT_EQ(attrUb4(stmt, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT, s), total);
        }
        if (total > 0) {
            const ub4 lastRow = (total - 1) % 20;
            EXPECT_EQ(tmText(nums[lastRow]), std::to_string(total));
            EXPECT_STREQ(&labels[lastRow * 31], ("row " + std::to_string(total)).c_str());
            EXPECT_EQ(dates[lastRow].OCIDateYYYY, 2024);
            EXPECT_EQ(dates[lastRow].OCIDateTime.OCITimeMI, 20);
        }
        EXPECT_EQ(api.OCIStmtFetch(stmt, s.err, 20, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
        EXPECT_EQ(errorText(s), "ORA-01002: fetch out of sequence");
        freeStmt(stmt);
    }
}

TEST_F(EngineStatement, TruncationAndNullsAreReportedAsOciDoes)
{
    OCIStmt *stmt = prepare(s, "SELECT LABEL, C FROM NUMS WHERE N IN (1, 10) ORDER BY N");
    ASSERT_EQ(execute(s, stmt, 0), OCI_SUCCESS);
    char16_t text[2][4];
    sb2 ind[2] = {};
    ub2 rcode[2] = {};
    OCIDefine *d = nullptr;
    api.OCIDefineByPos(stmt, &d, s.err, 1, text, sizeof text[0], SQLT_STR, ind, nullptr, rcode, 0);
    ub2 charset = OCI_UTF16ID;
    api.OCIAttrSet(d, OCI_HTYPE_DEFINE, &charset, 2, OCI_ATTR_CHARSET_ID, s.err);
    char c[2][6];
    api.OCIDefineByPos(stmt, &d, s.err, 2, c, 6, SQLT_STR, nullptr, nullptr, nullptr, 0);
    // C is NULL and has no indicator: ORA-01405.
    EXPECT_EQ(api.OCIStmtFetch(stmt, s.err, 2, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(errorCode(s), 1405);
    freeStmt(stmt);

    stmt = prepare(s, "SELECT LABEL FROM NUMS WHERE N IN (1, 10) ORDER BY N");
    ASSERT_EQ(execute(s, stmt, 0), OCI_SUCCESS);
    api.OCIDefineByPos(stmt, &d, s.err, 1, text, sizeof text[0], SQLT_STR, ind, nullptr, rcode, 0);
    api.OCIAttrSet(d, OCI_HTYPE_DEFINE, &charset, 2, OCI_ATTR_CHARSET_ID, s.err);
    EXPECT_EQ(api.OCIStmtFetch(stmt, s.err, 2, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS_WITH_INFO);
    EXPECT_EQ(errorCode(s), 24345);
    EXPECT_EQ(utf16Of(text[0], 4), u"row");
    EXPECT_EQ(ind[0], 10); // "row 1": the original length in bytes
    EXPECT_EQ(rcode[0], 1406);
    EXPECT_EQ(utf16Of(text[1], 4), u"row");
    EXPECT_EQ(ind[1], 12);
    freeStmt(stmt);
}

TEST_F(EngineStatement, DescribeReportsOracleTypesNamesAndSizes)
{
    OCIStmt *stmt = prepare(s, "SELECT n, label, d, c, note, rawish, f, i, t, n * 2, 'abc', d + 1, "
                               "NULL, \"N\" \"lower\" FROM nums");
    ASSERT_EQ(execute(s, stmt, 0), OCI_SUCCESS) << errorText(s);
    const ub4 count = attrUb4(stmt, OCI_HTYPE_STMT, OCI_ATTR_PARAM_COUNT, s);
    ASSERT_EQ(count, 14u);
    struct Expected {
        const char *name;
        ub2 type;
        ub2 size;
    };
    const Expected expected[] = {{"N", 2, 22},     {"LABEL", 1, 30}, {"D", 12, 7},     {"C", 96, 5},
                                 {"NOTE", 112, 4000}, {"RAWISH", 23, 16}, {"F", 2, 22},  {"I", 2, 22},
                                 {"T", 1, 4000},   {"N*2", 2, 22},   {"'ABC'", 1, 4000}, {"D+1", 12, 7},
                                 {"NULL", 1, 4000}, {"lower", 2, 22}};
    for (ub4 pos = 1; pos <= count; ++pos) {
        void *param = nullptr;
        ASSERT_EQ(api.OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, pos), OCI_SUCCESS);
        OraText *name = nullptr;
        ub4 nameLength = 0;
        ub2 type = 0;
        ub2 size = 0;
        // Both handle types callers use for a parameter descriptor are accepted.
        api.OCIAttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, s.err);
        api.OCIAttrGet(param, OCI_HTYPE_DESCRIBE, &type, nullptr, OCI_ATTR_DATA_TYPE, s.err);
        api.OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.err);
        const Expected &e = expected[pos - 1];
        EXPECT_EQ(std::string(reinterpret_cast<char *>(name), nameLength), e.name) << pos;
        EXPECT_EQ(type, e.type) << e.name;
        EXPECT_EQ(size, e.size) << e.name;
        EXPECT_EQ(api.OCIDescriptorFree(param, OCI_DTYPE_PARAM), OCI_SUCCESS);
    }
    void *param = nullptr;
    EXPECT_EQ(api.OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, 15), OCI_ERROR);
    freeStmt(stmt);

    engine::ColumnInfo info;
    EXPECT_FALSE(engine::CEngineStatement::describeDeclaredType("  ", info));
    ASSERT_TRUE(engine::CEngineStatement::describeDeclaredType("number(7, 2)", info));
    EXPECT_EQ(info.precision, 7);
    EXPECT_EQ(info.scale, 2);
    ASSERT_TRUE(engine::CEngineStatement::describeDeclaredType("NVARCHAR2(12)", info));
    EXPECT_EQ(info.dataType, SQLT_CHR);
    EXPECT_EQ(info.dataSize, 12);
    EXPECT_EQ(info.charsetForm, SQLCS_NCHAR);
    ASSERT_TRUE(engine::CEngineStatement::describeDeclaredType("TIMESTAMP(6)", info));
    EXPECT_EQ(info.dataType, SQLT_DAT);
    ASSERT_TRUE(engine::CEngineStatement::describeDeclaredType("BFILE", info));
    EXPECT_EQ(info.dataType, SQLT_BFILEE);
}

TEST_F(EngineStatement, ExecuteIterationsAndCommitOnSuccess)
{
    OCIStmt *update = prepare(s, "UPDATE NUMS SET LABEL = 'x' WHERE N <= 10");
    EXPECT_EQ(execute(s, update, 0), OCI_ERROR);
    EXPECT_EQ(errorText(s), "ORA-24333: zero iteration count");
    EXPECT_EQ(execute(s, update, 1, OCI_COMMIT_ON_SUCCESS), OCI_SUCCESS);
    EXPECT_EQ(attrUb4(update, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT, s), 10u);
    EXPECT_EQ(sqliteQuery("DATA", "SELECT count(*) FROM NUMS WHERE LABEL = 'x'"), "10");
    freeStmt(update);

    // A query executed with iterations > 0 needs its defines and fetches at once.
    OCIStmt *query = prepare(s, "SELECT N FROM NUMS WHERE N = 3");
    EXPECT_EQ(execute(s, query, 1), OCI_ERROR);
    EXPECT_EQ(errorCode(s), 24374);
    OCINumber n{};
    sb2 ind = 0;
    OCIDefine *d = nullptr;
    api.OCIDefineByPos(query, &d, s.err, 1, &n, 22, SQLT_VNU, &ind, nullptr, nullptr, 0);
    EXPECT_EQ(execute(s, query, 1), OCI_SUCCESS);
    EXPECT_EQ(tmText(n), "3");
    freeStmt(query);

    // Array DML runs once per element.
    OCIStmt *insert = prepare(s, "INSERT INTO EMPTY (A) VALUES (:a)");
    std::array<OCINumber, 3> values{number(1), number(0.5), number(-1e-5)};
    OCIBind *b = nullptr;
    api.OCIBindByName(insert, &b, s.err, reinterpret_cast<const OraText *>(":a"), -1, values.data(), 22,
                      SQLT_VNU, nullptr, nullptr, nullptr, 0, nullptr, 0);
    EXPECT_EQ(execute(s, insert, 3), OCI_SUCCESS) << errorText(s);
    EXPECT_EQ(attrUb4(insert, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT, s), 3u);
    freeStmt(insert);
    run(s, "COMMIT");
    EXPECT_EQ(sqliteQuery("DATA", "SELECT group_concat(A, ';') FROM EMPTY"), "1;0.5;-1.0e-05");
}

TEST_F(EngineStatement, NumberTextFollowsTheTmFormat)
{
    OCIStmt *stmt = prepare(s, "SELECT 0.5, 123.45, -0.00001, 1e40, 12345678901234567 FROM DUAL");
    ASSERT_EQ(execute(s, stmt, 0), OCI_SUCCESS) << errorText(s);
    std::array<OCINumber, 5> n{};
    OCIDefine *d = nullptr;
    for (ub4 i = 0; i < 5; ++i)
        api.OCIDefineByPos(stmt, &d, s.err, i + 1, &n[i], 22, SQLT_VNU, nullptr, nullptr, nullptr, 0);
    ASSERT_EQ(api.OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS) << errorText(s);
    EXPECT_EQ(tmText(n[0]), ".5");
    EXPECT_EQ(tmText(n[1]), "123.45");
    EXPECT_EQ(tmText(n[2]), "-.00001");
    EXPECT_EQ(tmText(n[3]), "1" + std::string(40, '0'));
    EXPECT_EQ(tmText(n[4]), "12345678901234567");
    sb4 asInt = 0;
    EXPECT_EQ(api.OCINumberToInt(s.err, &n[4], 4, OCI_NUMBER_SIGNED, &asInt), OCI_ERROR);
    EXPECT_EQ(api.OCINumberToInt(s.err, &n[1], 4, OCI_NUMBER_SIGNED, &asInt), OCI_SUCCESS);
    EXPECT_EQ(asInt, 123);
    OraText tiny[3];
    ub4 size = sizeof tiny;
    EXPECT_EQ(api.OCINumberToText(s.err, &n[1], reinterpret_cast<const OraText *>("TM"), 2, nullptr, 0,
                                  &size, tiny),
              OCI_ERROR);
    api.OCINumberSetZero(s.err, &n[0]);
    EXPECT_EQ(tmText(n[0]), "0");
    freeStmt(stmt);
}

TEST_F(EngineStatement, BlocksWriteOutBindsBackAndServeDbmsOutput)
{
    run(s, "BEGIN dbms_output.enable(NULL); dbms_output.put_line('first'); "
           "dbms_output.put_line('second ' || 2); END;");

    OCIStmt *get = prepare(s, "BEGIN dbms_output.get_line(:1, :2); END;");
    char16_t line[512];
    sb2 lineInd = -1;
    ub2 lineLen = 0;
    OCINumber status{};
    sb2 statusInd = -1;
    bindText(get, ":1", line, sizeof line, &lineInd, &lineLen);
    bindNumber(get, ":2", &status, &statusInd);
    std::vector<std::u16string> lines;
    for (int guard = 0; guard < 10; ++guard) {
        ASSERT_EQ(execute(s, get), OCI_SUCCESS) << errorText(s);
        sb4 st = -1;
        ASSERT_EQ(statusInd, 0);
        api.OCINumberToInt(s.err, &status, 4, OCI_NUMBER_SIGNED, &st);
        if (st != 0)
            break;
        EXPECT_EQ(lineInd, 0);
        lines.push_back(utf16Of(line, 512));
        EXPECT_EQ(lineLen, 2 * lines.back().size());
    }
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"first", u"second 2"}));
    EXPECT_EQ(lineInd, -1); // the line is NULL once no line remains
    freeStmt(get);

    // An OUT value larger than the caller's buffer fails as PL/SQL does.
    OCIStmt *assign = prepare(s, "BEGIN :x := 'longer than four'; END;");
    char16_t small[4];
    sb2 smallInd = 0;
    ub2 smallLen = 0;
    small[0] = 0;
    bindText(assign, ":X", small, sizeof small, &smallInd, &smallLen);
    EXPECT_EQ(execute(s, assign), OCI_ERROR);
    EXPECT_EQ(errorCode(s), 6502);
    freeStmt(assign);
}

TEST_F(EngineStatement, SqlErrorsSurfaceAtExecuteAsOracleErrors)
{
    struct Case {
        const char *sql;
        int code;
    };
    const Case cases[] = {{"SELECT * FROM MISSING", 942},
                          {"SELECT NOPE FROM NUMS", 904},
                          {"SELECT 'unterminated FROM NUMS", 1756},
                          {"INSERT INTO NUMS (N) VALUES ('abc' + 1)", 1722}};
    for (const Case &c : cases) {
        OCIStmt *stmt = prepare(s, c.sql);
        const ub2 type = typeAfterPrepare(c.sql);
        EXPECT_EQ(execute(s, stmt, type == OCI_STMT_SELECT ? 0 : 1), OCI_ERROR) << c.sql;
        EXPECT_EQ(errorCode(s), c.code) << c.sql << ": " << errorText(s);
        freeStmt(stmt);
    }
}

TEST_F(EngineStatement, NumberTextAgreesWithTheGeneralFormatterForEveryShape)
{
    std::vector<std::string> values{"0", "1", "-1", "5", "-5", "99", "-99", "100", "1001", ".5", "-.5",
                                    ".001", "1e-5", "12.3", "123.45", "-123.45", "3.14159", "1e-130",
                                    "-1e-130", "1e125", "-1e125", "1e63", "-1e63", "1e64", "1e-64",
                                    "12345678901234567890123456789012345678",
                                    "-123456789012345678901234567890123456789",
                                    "0.3333333333333333333333333333333333333333"};
    std::uint64_t rng = 12345;
    for (int i = 0; i < 300; ++i) {
        rng = rng * 6364136223846793005ULL + 1442695040888963407ULL;
        const int digits = int(rng >> 60) + 1;
        const int exponent = int((rng >> 20) % 90) - 45;
        std::string text = (rng & 1) ? "-" : "";
        for (int d = 0; d < digits; ++d)
            text += char('0' + (rng >> (d * 3 + 5)) % 10);
        values.push_back(text + "e" + std::to_string(exponent));
    }
    for (const std::string &value : values) {
        const auto number = engine::OraNumber::fromText(value);
        ASSERT_TRUE(number) << value;
        OCINumber raw{};
        std::memcpy(raw.OCINumberPart, number->bytes().data(), OCI_NUMBER_SIZE);
        for (const char *format : {"TM", "tm9"}) {
            OraText buffer[80];
            ub4 size = sizeof buffer;
            ASSERT_EQ(api.OCINumberToText(s.err, &raw, reinterpret_cast<const OraText *>(format),
                                          ub4(std::strlen(format)), nullptr, 0, &size, buffer),
                      OCI_SUCCESS)
                << value;
            EXPECT_EQ(std::string(reinterpret_cast<char *>(buffer), size), number->toTmText()) << value;
        }
    }
}

TEST_F(EngineStatement, FetchedDoublesBecomeTheNumbersOciNumberFromRealMakes)
{
    // The quotient carries all 53 bits, so the fetch has to round it to 15 digits itself.
    OCIStmt *stmt = prepare(s, "SELECT :a / 3.0 FROM DUAL");
    double in = 0;
    OCIBind *b = nullptr;
    api.OCIBindByName(stmt, &b, s.err, reinterpret_cast<const OraText *>(":A"), -1, &in, 8, SQLT_FLT,
                      nullptr, nullptr, nullptr, 0, nullptr, 0);
    OCINumber out{};
    OCIDefine *d = nullptr;
    std::uint64_t rng = 99;
    const double fixed[] = {0.1, 0.1 + 0.2, 1.0 / 3, -2.5e-7, 123456789.123456789, 9.99e125, -1e-120,
                            4503599627370497.5, 1e15 + 0.5, 6.02214076e23};
    for (int i = 0; i < 210; ++i) {
        rng = rng * 6364136223846793005ULL + 1442695040888963407ULL;
        double bits;
        const std::uint64_t raw = (rng & 0x800FFFFFFFFFFFFFULL) | (std::uint64_t(900 + (rng >> 53) % 400) << 52);
        std::memcpy(&bits, &raw, 8);
        in = i < 10 ? fixed[i] : bits;
        ASSERT_EQ(execute(s, stmt, 0), OCI_SUCCESS) << errorText(s);
        api.OCIDefineByPos(stmt, &d, s.err, 1, &out, 22, SQLT_VNU, nullptr, nullptr, nullptr, 0);
        ASSERT_EQ(api.OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, 0), OCI_SUCCESS) << in;
        const OCINumber bound = number(in);
        const double quotient =
            engine::OraNumber::fromBytes(bound.OCINumberPart, bound.OCINumberPart[0] + 1u)->toDouble() / 3.0;
        EXPECT_EQ(tmText(out), tmText(number(quotient))) << in;
    }
    freeStmt(stmt);
}
