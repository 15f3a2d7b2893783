#include "EngineSqlFixture.h"

#include "engine/DbmsOutput.h"
#include "engine/PlsqlBlock.h"

#include <gtest/gtest.h>

using namespace engine;

TEST(DbmsOutputTest, BufferFollowsThePackageSemantics)
{
    DbmsOutput out;
    std::string line;
    EXPECT_FALSE(out.putLine("ignored while disabled"));
    out.enable(2000);
    EXPECT_EQ(out.getLine(line), 1);
    out.disable();
    out.enable();
    EXPECT_FALSE(out.put("a"));
    EXPECT_FALSE(out.put("b"));
    EXPECT_EQ(out.getLine(line), 1) << "a PUT line is invisible until completed";
    EXPECT_FALSE(out.newLine());
    EXPECT_FALSE(out.putLine(""));
    EXPECT_FALSE(out.putLine("c"));
    EXPECT_EQ(out.getLine(line), 0);
    EXPECT_EQ(line, "ab");
    EXPECT_EQ(out.getLine(line), 0);
    EXPECT_EQ(line, "");
    // Writing after a read discards the lines not yet read.
    EXPECT_FALSE(out.putLine("d"));
    EXPECT_EQ(out.getLine(line), 0);
    EXPECT_EQ(line, "d");
    EXPECT_EQ(out.getLine(line), 1);

    out.putLine("kept");
    out.disable();
    out.enable();
    EXPECT_EQ(out.getLine(line), 1) << "DISABLE purges the buffer";
}

TEST(DbmsOutputTest, LimitsRaiseOruErrors)
{
    DbmsOutput out;
    out.enable(10); // clamped to the documented minimum
    std::string chunk(999, 'x');
    EXPECT_FALSE(out.putLine(chunk));
    EXPECT_FALSE(out.putLine(chunk));
    OraError full = out.putLine("y");
    EXPECT_EQ(full.code(), 20000);
    EXPECT_EQ(full.text(), "ORA-20000: ORU-10027: buffer overflow, limit of 2000 bytes");
    std::string line;
    EXPECT_EQ(out.getLine(line), 0);
    EXPECT_EQ(line, chunk) << "lines put before the overflow stay readable";

    DbmsOutput unlimited;
    unlimited.enable(std::nullopt);
    for (int i = 0; i < 200; ++i)
        ASSERT_FALSE(unlimited.putLine(std::string(10000, 'z')));
    EXPECT_EQ(unlimited.put(std::string(32768, 'q')).text(),
              "ORA-20000: ORU-10028: line length overflow, limit of 32767 bytes per line");
    DbmsOutput big;
    big.enable(50000000);
    for (int i = 0; i < 100; ++i)
        ASSERT_FALSE(big.putLine(std::string(9999, 'z')));
    EXPECT_EQ(big.putLine("over").code(), 20000) << "sizes above 1,000,000 are clamped";
}

class PlsqlBlockTest : public EngineSqlFixture
{
protected:
    void SetUp() override
    {
        EngineSqlFixture::SetUp();
        run("create table emp (empno number primary key, ename varchar2(10), sal number)");
        run("insert into emp values (1, 'SMITH', 800)");
        run("insert into emp values (2, 'ALLEN', 1600.5)");
        m_session.db = m_db;
        m_session.output = &m_output;
        m_output.enable();
    }

    OraError block(const std::string& text) { return executePlsqlBlock(m_session, text, m_binds); }

    std::vector<std::string> lines()
    {
        std::vector<std::string> out;
        std::string line;
        while (m_output.getLine(line) == 0)
            out.push_back(line);
        return out;
    }

    DbmsOutput m_output;
    PlsqlSession m_session;
    PlsqlBinds m_binds;
};

TEST_F(PlsqlBlockTest, GetLineProtocolReturnsLinesThenStatusOne)
{
    m_output.disable();
    ASSERT_FALSE(block("BEGIN dbms_output.enable(10000); END;"));
    ASSERT_FALSE(block("begin dbms_output.put_line('x'); dbms_output.put('a'); dbms_output.put_line(1.5); end;"));
    const char* getLine = "BEGIN dbms_output.get_line(:1, :2); END;";
    ASSERT_FALSE(block(getLine));
    EXPECT_EQ(m_binds["1"], EngineValue::text("x"));
    EXPECT_EQ(m_binds["2"], EngineValue::integer(0));
    ASSERT_FALSE(block(getLine));
    EXPECT_EQ(m_binds["1"], EngineValue::text("a1.5"));
    ASSERT_FALSE(block(getLine));
    EXPECT_TRUE(m_binds["1"].isNull());
    EXPECT_EQ(m_binds["2"], EngineValue::integer(1));
    ASSERT_FALSE(block("BEGIN dbms_output.disable; END;"));
    ASSERT_FALSE(block("begin dbms_output.put_line('dropped'); end;"));
    ASSERT_FALSE(block(getLine));
    EXPECT_EQ(m_binds["2"], EngineValue::integer(1));
}

TEST_F(PlsqlBlockTest, LocalsLoopsConditionsDmlAndBinds)
{
    m_binds["RAISE"] = EngineValue::number(*OraNumber::fromText("100"));
    const char* text = R"(DECLARE
  v_total NUMBER := 0;
  v_count INTEGER DEFAULT 0;
  v_label VARCHAR2(20);
BEGIN
  FOR r IN (SELECT ename, sal FROM emp ORDER BY empno) LOOP
    v_total := v_total + r.sal;
    v_count := v_count + 1;
    dbms_output.put_line(r.ename || ': ' || r.sal);
  END LOOP;
  IF v_total > 5000 THEN
    v_label := 'big';
  ELSIF v_total > 2000 THEN
    v_label := 'medium';
  ELSE
    v_label := 'small';
  END IF;
  UPDATE emp SET sal = sal + :raise WHERE empno = v_count;
  INSERT INTO emp (empno, ename, sal) VALUES (v_count + 1, v_label, v_total);
  :total := v_total;
  :Label := upper(v_label);
  BEGIN
    NULL;
  END;
END;)";
    ASSERT_FALSE(block(text)) << block(text).text();
    EXPECT_EQ(lines(), (std::vector<std::string>{"SMITH: 800", "ALLEN: 1600.5"}));
    EXPECT_EQ(m_binds["TOTAL"].toText(), "2400.5");
    EXPECT_EQ(m_binds["LABEL"], EngineValue::text("MEDIUM"));
    EXPECT_EQ(value("select sal from emp where empno = 2"), "1700.5");
    EXPECT_EQ(value("select ename || sal from emp where empno = 3"), "medium2400.5");
}

TEST_F(PlsqlBlockTest, NumericForLoopsCountWithinTheirBounds)
{
    const char* text = R"(DECLARE
  i NUMBER := 42;
  n NUMBER := 0;
BEGIN
  FOR i IN 1 .. 3 LOOP
    n := n + i;
    dbms_output.put_line('up ' || i);
  END LOOP;
  FOR k IN REVERSE 1..2 LOOP
    dbms_output.put_line('down ' || k);
  END LOOP;
  FOR k IN 5 .. 4 LOOP
    dbms_output.put_line('never');
  END LOOP;
  FOR k IN 1.6 .. :last LOOP
    INSERT INTO emp (empno, ename) VALUES (k * 10, 'E' || k);
  END LOOP;
  :sum := n;
  :i := i;
END;)";
    m_binds["LAST"] = EngineValue::integer(3);
    ASSERT_FALSE(block(text)) << block(text).text();
    EXPECT_EQ(lines(), (std::vector<std::string>{"up 1", "up 2", "up 3", "down 2", "down 1"}));
    EXPECT_EQ(m_binds["SUM"].toText(), "6");
    EXPECT_EQ(m_binds["I"].toText(), "42") << "the counter hides the variable only inside the loop";
    EXPECT_EQ(value("select count(*) from emp where empno >= 10"), "2"); // 1.6 rounds to 2: rows 20 and 30

    EXPECT_EQ(block("begin for k in 1 .. 2 loop null; end loop; :x := k; end;").code(), 6550);
    m_binds.erase("LAST");
    EXPECT_EQ(block("begin for k in 1 .. :last loop null; end loop; end;").code(), 1008);
    m_binds["LAST"] = EngineValue();
    EXPECT_EQ(block("begin for k in 1 .. :last loop null; end loop; end;").code(), 6502);
    EXPECT_EQ(block("begin for k in 1 .. 3000000000 loop null; end loop; end;").code(), 1426);
    int passes = 0;
    m_session.cancelled = [&passes] { return ++passes > 100; };
    EXPECT_EQ(block("begin for k in 1 .. 2147483647 loop null; end loop; end;").code(), 1013);
    EXPECT_EQ(passes, 101);
}

TEST_F(PlsqlBlockTest, CommitAndRollbackReachTheSession)
{
    int commits = 0, rollbacks = 0, writes = 0;
    m_session.commit = [&] { ++commits; return OraError(); };
    m_session.rollback = [&] { ++rollbacks; return OraError(); };
    m_session.beforeDml = [&] { ++writes; return OraError(); };
    ASSERT_FALSE(block("begin delete from emp where empno = 1; commit; rollback work; end;"));
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(rollbacks, 1);
    EXPECT_EQ(writes, 1);

    m_session = PlsqlSession{m_db, &m_output, {}, {}, {}, {}};
    ASSERT_EQ(sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_FALSE(block("begin delete from emp; rollback; end;"));
    EXPECT_EQ(value("select count(*) from emp"), "1");
}

TEST_F(PlsqlBlockTest, UnsupportedCodeIsAnOra06550NamingLineAndColumn)
{
    OraError unknown = block("BEGIN\n  NULL;\n  do_something(1);\nEND;");
    EXPECT_EQ(unknown.code(), 6550);
    EXPECT_EQ(unknown.text(), "ORA-06550: line 3, column 3:\nPLS-00201: identifier 'DO_SOMETHING' must be declared\n"
                              "ORA-06550: line 3, column 3:\nPL/SQL: Statement ignored");
    OraError undeclared = block("begin :x := y + 1; end;");
    EXPECT_EQ(undeclared.code(), 6550);
    EXPECT_NE(undeclared.text().find("line 1, column 13:\nPLS-00201: identifier 'Y'"), std::string::npos);
    EXPECT_EQ(block("begin null end;").code(), 6550);
    EXPECT_EQ(block("begin select 1 from dual; end;").code(), 6550);
    EXPECT_EQ(block("begin select 1 into undeclared from dual; end;").code(), 6550);
    EXPECT_EQ(block("begin null; exception when no_such_thing then null; end;").code(), 6550);
    EXPECT_EQ(block("begin raise; end;").code(), 6550);
    EXPECT_EQ(block("begin while 1 = 1 loop null; end loop; end;").code(), 6550);
    EXPECT_EQ(block("begin dbms_output.put_line('a', 'b'); end;").code(), 6550);
    EXPECT_EQ(block("begin dbms_output.get_line('a', :s); end;").code(), 6550);
    EXPECT_EQ(block("begin dbms_output.flush; end;").code(), 6550);
    EXPECT_EQ(block("begin end;").code(), 6550);
    EXPECT_EQ(block("begin null;").code(), 6550);
    EXPECT_EQ(block("begin " + std::string(3000, '(')).code(), 6550);
    std::string deep;
    for (int k = 0; k < 5000; ++k)
        deep += "begin if 1 = 1 then ";
    EXPECT_EQ(block(deep + "null;").code(), 6550);
    // The whole block is checked before any statement runs.
    EXPECT_EQ(block("begin delete from emp; bogus; end;").code(), 6550);
    EXPECT_EQ(value("select count(*) from emp"), "2");
}

TEST_F(PlsqlBlockTest, RuntimeErrorsCarryTheLine)
{
    OraError divide = block("begin\n  dbms_output.put_line('before');\n  :x := 1 / 0;\nend;");
    EXPECT_EQ(divide.text(), "ORA-01476: divisor is equal to zero\nORA-06512: at line 3");
    EXPECT_EQ(lines(), (std::vector<std::string>{"before"})) << "work done before the failure stays";
    OraError missingBind = block("begin :never_bound := :also_missing; end;");
    EXPECT_EQ(missingBind.code(), 1008);
    OraError duplicate = block("begin insert into emp values (1, 'X', 1); end;");
    EXPECT_EQ(duplicate.code(), 1);
    EXPECT_NE(duplicate.text().find("ORA-06512: at line 1"), std::string::npos);
    OraError field = block("begin for r in (select ename from emp) loop dbms_output.put_line(r.nosuch); end loop; end;");
    EXPECT_EQ(field.code(), 6550);
    m_output.enable(2000);
    OraError overflow = block("begin for r in (select 1 from emp, emp, emp, emp, emp, emp, emp, emp) loop "
                              "dbms_output.put_line('0123456789'); end loop; end;");
    EXPECT_EQ(overflow.text(),
              "ORA-20000: ORU-10027: buffer overflow, limit of 2000 bytes\nORA-06512: at line 1");
}

TEST_F(PlsqlBlockTest, SelectIntoTakesExactlyOneRow)
{
    m_binds["ID"] = EngineValue::integer(2);
    ASSERT_FALSE(block("declare v_name varchar2(10); begin select ename, sal into v_name, :sal from emp "
                       "where empno = :id; :name := lower(v_name); end;"));
    EXPECT_EQ(m_binds["NAME"], EngineValue::text("allen"));
    EXPECT_EQ(m_binds["SAL"].toText(), "1600.5");
    OraError none = block("begin\n  select ename into :n from emp where empno = 99;\nend;");
    EXPECT_EQ(none.text(), "ORA-01403: no data found\nORA-06512: at line 2");
    EXPECT_EQ(block("begin select ename into :n from emp; end;").code(), 1422);
    EXPECT_EQ(block("begin select ename, sal into :n from emp where empno = 1; end;").code(), 913);
}

TEST_F(PlsqlBlockTest, ImplicitCursorAttributesReportTheLastStatement)
{
    ASSERT_FALSE(block("begin\n"
                       "  update emp set sal = sal * 2;\n"
                       "  dbms_output.put_line(sql%rowcount || ' rows updated');\n"
                       "  delete from emp where empno = 99;\n"
                       "  if sql%notfound then dbms_output.put_line('nothing deleted'); end if;\n"
                       "  :found := sql%found;\n"
                       "end;"));
    EXPECT_EQ(lines(), (std::vector<std::string>{"2 rows updated", "nothing deleted"}));
    EXPECT_EQ(m_binds["FOUND"], EngineValue::integer(0));
    EXPECT_EQ(block("begin :x := sql%isopen; end;").code(), 6550);
}

TEST_F(PlsqlBlockTest, ExceptionHandlersCatchByNameAndOthers)
{
    ASSERT_FALSE(block("declare v varchar2(10);\n"
                       "begin\n"
                       "  begin\n"
                       "    select ename into v from emp where empno = 42;\n"
                       "  exception\n"
                       "    when too_many_rows then dbms_output.put_line('many');\n"
                       "    when no_data_found then dbms_output.put_line('none ' || sqlcode);\n"
                       "  end;\n"
                       "  :x := 1 / 0;\n"
                       "exception\n"
                       "  when others then\n"
                       "    dbms_output.put_line(sqlerrm);\n"
                       "end;"));
    EXPECT_EQ(lines(), (std::vector<std::string>{"none -1403", "ORA-01476: divisor is equal to zero"}));
    EXPECT_EQ(block("begin :x := 1 / 0; exception when no_data_found then null; end;").code(), 1476);
    OraError reraised = block("begin\n  insert into emp values (1, 'X', 0);\nexception\n  when dup_val_on_index then\n"
                              "    dbms_output.put_line('dup');\n    raise;\nend;");
    EXPECT_EQ(reraised.code(), 1);
    EXPECT_EQ(lines(), (std::vector<std::string>{"dup"}));
    EXPECT_EQ(block("begin raise_application_error(-20001, 'custom ' || 42); end;").text(),
              "ORA-20001: custom 42\nORA-06512: at line 1");
    EXPECT_EQ(block("begin raise_application_error(-1, 'x'); end;").code(), 21000);
    EXPECT_EQ(block("begin raise no_data_found; exception when others then :c := sqlcode; end;").code(), 0);
    EXPECT_EQ(m_binds["C"], EngineValue::integer(-1403));
}
