// The bundled SAMPLE database and the Samples script folder: every element runs through the database
// layer on the engine with the variables its item.cfg holds, as the run flow binds them.
#include "EngineOciFixture.h"

#include "db/column.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"
#include "db/statement.h"
#include "engine/CEngineProvider.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <map>

namespace {

struct Variable {
    int kind = 0; // 0 bind, 1 substitution
    QString name;
    QString type;
    QString value;
};

// The [VAR_n] sections of an item.cfg.
std::vector<Variable> readVariables(const QString &path)
{
    QFile file(path);
    std::vector<Variable> variables;
    if (!file.open(QIODevice::ReadOnly))
        return variables;
    std::map<QString, std::map<QString, QString>> sections;
    QString section;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            section = line.mid(1, line.size() - 2);
        else if (const auto eq = line.indexOf(QLatin1Char('=')); eq > 0)
            sections[section][line.left(eq)] = line.mid(eq + 1);
    }
    for (int i = 0; sections.count(QStringLiteral("VAR_%1").arg(i)) > 0; ++i) {
        auto &v = sections[QStringLiteral("VAR_%1").arg(i)];
        variables.push_back({v["VarType"].toInt(), v["Name"], v["Type"], v["Value"]});
    }
    return variables;
}

} // namespace

class EngineSamples : public EngineOciFixture
{
protected:
    void SetUp() override
    {
        EngineOciFixture::SetUp();
        const QString sample = testfiles::buildDir() + QStringLiteral("/Samples/SAMPLE.db");
        ASSERT_TRUE(QFile::exists(sample)) << "the resources target builds " << sample.toStdString();
        // A copy, so that elements which write leave the built database as it is.
        ASSERT_TRUE(QFile::copy(sample, m_dir.filePath("SAMPLE.db")));
        engine::registerEngineProvider();
        db::set_rows_per_fetch(500);
    }
};

TEST_F(EngineSamples, SampleDatabaseHoldsTheSchemaAndTheOrders)
{
    db::connection conn;
    EXPECT_THROW(conn.open(db::open_parameters::from_unicode("SAMPLE", "SCOTT", "tiger", 0)), db::error);
    conn.close();
    ASSERT_NO_THROW(conn.open(db::open_parameters::from_unicode("sample", "scott", "TIGER", 0)));
    {
        db::statement count(conn, "SELECT count(1) CNT FROM (SELECT * FROM ORDERS)");
        auto rs = count.execute_query();
        ASSERT_TRUE(rs->has_row());
        EXPECT_EQ(rs->col("CNT").number_text(), "100000");

        db::statement orders(conn, "SELECT ORDER_ID, ORDER_DATE, CUSTOMER, AMOUNT, STATUS, NOTE FROM "
                                   "ORDERS WHERE ORDER_ID = 1");
        auto row = orders.execute_query();
        ASSERT_TRUE(row->has_row());
        EXPECT_EQ(row->col("ORDER_ID").kind(), db::kind_number);
        EXPECT_EQ(row->col("ORDER_DATE").kind(), db::kind_date);
        EXPECT_EQ(row->col("CUSTOMER").kind(), db::kind_string);
        EXPECT_EQ(row->col("AMOUNT").kind(), db::kind_number);
        EXPECT_EQ(row->col("ORDER_DATE").date().year, 2022);

        db::statement emp(conn, "SELECT e.ENAME, d.DNAME, e.HIREDATE FROM EMP e, DEPT d "
                                "WHERE e.DEPTNO = d.DEPTNO AND e.MGR IS NULL");
        auto boss = emp.execute_query();
        ASSERT_TRUE(boss->has_row());
        EXPECT_EQ(boss->col("DNAME").text(), u"FINANCE");
    }
    conn.close();
}

TEST_F(EngineSamples, EverySampleElementRunsWithItsVariables)
{
    const QDir samples(QDir::cleanPath(testfiles::dataPath(QStringLiteral("../../resources/Samples"))));
    QStringList folders = samples.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    folders.erase(std::remove_if(folders.begin(), folders.end(),
                                 [](const QString &f) { return f.toInt() <= 0; }),
                  folders.end());
    ASSERT_GE(folders.size(), 8);

    db::connection conn;
    ASSERT_NO_THROW(conn.open(db::open_parameters::from_unicode("SAMPLE", "SCOTT", "TIGER", 0)));
    {
        db::statement enable(conn, "BEGIN dbms_output.enable(1000000); END;");
        enable.execute();
    }
    for (const QString &folder : folders) {
        QFile queryFile(samples.filePath(folder + "/query.sql"));
        ASSERT_TRUE(queryFile.open(QIODevice::ReadOnly)) << folder.toStdString();
        QString sql = QString::fromUtf8(queryFile.readAll());
        const std::vector<Variable> variables = readVariables(samples.filePath(folder + "/item.cfg"));
        for (const Variable &v : variables) {
            if (v.kind == 1)
                sql.replace(v.name, v.value, Qt::CaseInsensitive);
        }
        SCOPED_TRACE(folder.toStdString() + ": " + sql.toStdString());
        try {
            const QByteArray text = sql.toUtf8();
            db::statement stmt(conn, text.constData());
            for (const Variable &v : variables) {
                if (v.kind != 0)
                    continue;
                if (v.type == "Number") {
                    stmt.bind(v.name.toStdString(), db::kind_number).set_number(v.value.toDouble());
                } else if (v.type == "Date") {
                    const QStringList parts = v.value.split('.');
                    ASSERT_EQ(parts.size(), 3);
                    stmt.bind(v.name.toStdString(), db::kind_date)
                        .set_date(db::datetime{static_cast<std::int16_t>(parts[2].toInt()),
                                               parts[1].toInt(), static_cast<std::uint8_t>(parts[0].toInt()),
                                               0, 0, 0});
                } else {
                    stmt.bind(v.name.toStdString(), db::kind_string).set_text(v.value);
                }
            }
            int rows = 0;
            if (stmt.type() == oci::OCI_STMT_SELECT) {
                auto rs = stmt.execute_query();
                while (rs->has_row() && rows < 2000) {
                    for (db::column *c = rs->first_column(); c != nullptr; c = rs->column_after(c)) {
                        if (c->is_null())
                            continue;
                        if (c->kind() == db::kind_number) {
                            EXPECT_FALSE(c->number_text().empty());
                        } else if (c->kind() == db::kind_date) {
                            EXPECT_GT(c->date().year, 1900);
                        }
                    }
                    ++rows;
                    rs->next();
                }
            } else {
                stmt.execute();
                db::statement get(conn, "BEGIN dbms_output.get_line(:1, :2); END;");
                db::parameter &status = get.bind(":2", db::kind_number);
                get.bind(":1", db::kind_string);
                for (get.execute(); status.integer() == 0 && rows < 1000; get.execute())
                    ++rows;
            }
            EXPECT_GT(rows, 0);
        } catch (const db::error &e) {
            ADD_FAILURE() << e.display_text().toStdString();
        }
    }
    conn.close();
}

TEST_F(EngineSamples, EverydayDmlWithBindsAndBlocksOnTheSampleSchema)
{
    db::connection conn, other;
    ASSERT_NO_THROW(conn.open(db::open_parameters::from_unicode("SAMPLE", "SCOTT", "TIGER", 0)));
    ASSERT_NO_THROW(other.open(db::open_parameters::from_unicode("SAMPLE", "SCOTT", "TIGER", 0)));
    auto text = [](db::connection &c, const char *sql) {
        db::statement stmt(c, sql);
        auto rs = stmt.execute_query();
        const std::u16string_view v = rs->has_row() ? rs->first_column()->text() : std::u16string_view();
        return QString::fromUtf16(v.data(), static_cast<qsizetype>(v.size())).toStdString();
    };
    auto oraCode = [&](const char *sql) {
        try {
            db::statement stmt(conn, sql);
            stmt.execute();
        } catch (const db::error &e) {
            return e.display_text().toStdString().substr(e.display_text().indexOf("ORA-"), 9);
        }
        return std::string("no error");
    };
    {
        db::statement insert(conn, "INSERT INTO DEPT (DEPTNO, DNAME, LOC) VALUES (:NO, :NAME, :LOC)");
        insert.bind(":NO", db::kind_number).set_number(60);
        insert.bind(":NAME", db::kind_string).set_text(QStringLiteral("RÉSEAU"));
        insert.bind(":LOC", db::kind_string).set_text(QString());
        insert.execute();
        db::statement update(conn, "UPDATE EMP SET SAL = :SAL, HIREDATE = :D WHERE EMPNO = :E");
        update.bind(":SAL", db::kind_number).set_number(1234.56);
        update.bind(":D", db::kind_date).set_date(db::datetime{2020, 5, 6, 7, 8, 9});
        update.bind(":E", db::kind_number).set_number(8010);
        update.execute();
    }
    EXPECT_EQ(text(other, "SELECT DNAME FROM DEPT WHERE DEPTNO = 60"), "") << "not committed yet";
    db::statement(conn, "COMMIT").execute();
    EXPECT_EQ(text(other, "SELECT DNAME || NVL(LOC, '-') FROM DEPT WHERE DEPTNO = 60"), "RÉSEAU-");
    EXPECT_EQ(text(other, "SELECT TO_CHAR(HIREDATE, 'DD.MM.YYYY HH24:MI') || ' ' || SAL FROM EMP WHERE EMPNO = 8010"),
              "06.05.2020 07:08 1234.56");

    // The sample tables keep Oracle's constraints: keys are NOT NULL, character columns have their size.
    EXPECT_EQ(oraCode("INSERT INTO DEPT (DEPTNO, DNAME) VALUES (NULL, 'X')"), "ORA-01400");
    EXPECT_EQ(oraCode("INSERT INTO DEPT VALUES (70, 'A NAME TOO LONG', 'X')"), "ORA-12899");
    EXPECT_EQ(oraCode("UPDATE EMP SET ENAME = 'MUCH TOO LONG' WHERE EMPNO = 8001"), "ORA-12899");
    // A value a DATE or NUMBER column could not give back is refused rather than stored.
    EXPECT_EQ(oraCode("INSERT INTO EMP (EMPNO, HIREDATE) VALUES (9000, '01-JAN-2020')"), "ORA-01861");
    EXPECT_EQ(oraCode("INSERT INTO EMP (EMPNO, SAL) VALUES (9000, 'a lot')"), "ORA-01722");

    {
        db::statement block(
            conn,
            "DECLARE\n  total NUMBER := 0;\nBEGIN\n"
            "  FOR r IN (SELECT ENAME, SAL FROM EMP WHERE DEPTNO = :DEPTNO ORDER BY EMPNO) LOOP\n"
            "    total := total + r.SAL;\n  END LOOP;\n"
            "  FOR i IN 1 .. 2 LOOP\n    DBMS_OUTPUT.PUT_LINE('line ' || i);\n  END LOOP;\n"
            "  DBMS_OUTPUT.PUT_LINE('total ' || total);\nEND;");
        block.bind(":DEPTNO", db::kind_number).set_number(40);
        db::statement(conn, "BEGIN dbms_output.enable(20000); END;").execute();
        block.execute();
        db::statement get(conn, "BEGIN dbms_output.get_line(:1, :2); END;");
        db::parameter &line = get.bind(":1", db::kind_string);
        db::parameter &status = get.bind(":2", db::kind_number);
        std::vector<std::string> lines;
        for (get.execute(); status.integer() == 0; get.execute())
            lines.push_back(
                QString::fromUtf16(line.text().data(), static_cast<qsizetype>(line.text().size()))
                    .toStdString());
        EXPECT_EQ(lines, (std::vector<std::string>{"line 1", "line 2", "total 2700"}));
    }
    conn.close();
    other.close();
}
