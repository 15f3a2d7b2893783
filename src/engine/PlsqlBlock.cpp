#include "engine/PlsqlBlock.h"

#include "engine/SqlLexer.h"
#include "engine/SqlTranslator.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <set>

namespace engine {

namespace {

using Type = SqlToken::Type;

struct Expr
{
    std::size_t begin = 0; // token range
    std::size_t end = 0;
};

struct Stmt
{
    enum class Kind {
        Null, Commit, Rollback, AssignBind, AssignLocal, If, ForQuery, ForRange, Dml, Output, Block, SelectInto,
        Raise, RaiseApplicationError
    };
    enum class Output { Enable, Disable, Put, PutLine, NewLine, GetLine };

    Kind kind = Kind::Null;
    int line = 1;                  // where the statement starts, for ORA-06512
    std::string target;            // bind or local name assigned; FOR record name
    Expr expr;                     // assigned value; DML text; FOR query (inside the parentheses)
    std::vector<std::pair<Expr, std::vector<Stmt>>> branches; // IF / ELSIF conditions and bodies
    std::vector<Stmt> body;        // ELSE body; loop body; nested block
    Output output = Output::Put;   // DBMS_OUTPUT procedure
    std::vector<Expr> args;        // DBMS_OUTPUT arguments; SELECT INTO targets
    Expr fromPart;                 // SELECT INTO: FROM ... up to the ';' (expr holds SELECT ... before INTO)
    Expr upper;                    // FOR i IN lower .. upper: the upper bound (expr holds the lower)
    bool reverse = false;          // FOR i IN REVERSE lower .. upper
    struct Handler
    {
        std::vector<int> codes;    // ORA codes caught; 0 = OTHERS
        std::vector<Stmt> body;
    };
    std::vector<Handler> handlers; // EXCEPTION section of a block
    int raiseCode = -1;            // RAISE name: its ORA code; -1 = re-raise the exception being handled
    bool hasElse = false;
};

// A local variable or OUT target: ":NAME" for binds, the upper-case name for locals.
struct Target
{
    bool isBind = false;
    std::string name;
};

constexpr std::string_view ExpressionWords[] = {
    "AND", "OR", "NOT", "IS", "NULL", "LIKE", "IN", "BETWEEN", "CASE", "WHEN", "THEN", "ELSE", "END",
    "SYSDATE", "SYSTIMESTAMP", "USER", "DATE", "TIMESTAMP", "TRUE", "FALSE", "ESCAPE", "EXISTS", "SELECT",
    "FROM", "WHERE", "AS", "DISTINCT", "ALL", "ANY", "GROUP", "BY", "ORDER", "HAVING", "UNION", "MINUS",
    "INTERSECT", "ASC", "DESC", "DUAL", "JOIN", "ON", "LEFT", "RIGHT", "INNER", "OUTER",
};

struct NamedException
{
    const char* name;
    int code;
};

constexpr NamedException NamedExceptions[] = {
    {"NO_DATA_FOUND", 1403}, {"TOO_MANY_ROWS", 1422},  {"ZERO_DIVIDE", 1476},  {"DUP_VAL_ON_INDEX", 1},
    {"VALUE_ERROR", 6502},   {"INVALID_NUMBER", 1722}, {"INVALID_CURSOR", 1001},
};

int namedExceptionCode(const std::string& upperName)
{
    for (const NamedException& e : NamedExceptions)
        if (upperName == e.name)
            return e.code;
    return -1;
}

class ParseError
{
public:
    OraError error;
};

class Interpreter
{
public:
    Interpreter(const PlsqlSession& session, std::string_view source, PlsqlBinds& binds)
        : m_session(session), m_source(source), m_binds(binds)
    {
    }

    OraError run()
    {
        if (OraError e = tokenizeSql(m_source, m_t))
            return e;
        std::vector<Stmt> program;
        try {
            std::size_t i = 0;
            if (peekWord(i, "DECLARE")) {
                ++i;
                while (i < m_t.size() && !peekWord(i, "BEGIN"))
                    declaration(i);
            }
            program.push_back(block(i));
            if (i < m_t.size())
                syntax(i, "end-of-file");
        } catch (const ParseError& p) {
            return p.error;
        }
        try {
            for (const auto& [name, init] : m_inits) {
                if (init.end > init.begin)
                    m_locals[name] = evaluate(init);
            }
            execute(program);
        } catch (const OraException& e) {
            if (m_line > 0 && e.error().code() != 6550)
                return OraError(e.error().code(), e.error().text() + "\nORA-06512: at line " + std::to_string(m_line));
            return e.error();
        }
        return {};
    }

private:
    // ------------------------------------------------------------ parsing

    [[noreturn]] void pls(std::size_t i, const std::string& message, bool statementIgnored)
    {
        const SqlToken& t = i < m_t.size() ? m_t[i] : m_t.back();
        int line = t.line, column = i < m_t.size() ? t.column : t.column + static_cast<int>(t.end - t.begin);
        std::string where = "line " + std::to_string(line) + ", column " + std::to_string(column) + ":";
        std::string text = OraError::standard(6550, std::to_string(line) + ", column " + std::to_string(column)).text();
        text += "\n" + message;
        if (statementIgnored)
            text += "\nORA-06550: " + where + "\nPL/SQL: Statement ignored";
        throw ParseError{OraError(6550, text)};
    }

    [[noreturn]] void syntax(std::size_t i, std::string_view expecting)
    {
        std::string symbol = i < m_t.size() ? std::string(m_source.substr(m_t[i].begin, m_t[i].end - m_t[i].begin))
                                             : std::string("end-of-file");
        if (symbol.size() > 40)
            symbol = symbol.substr(0, 40);
        pls(i, "PLS-00103: Encountered the symbol \"" + upperAscii(symbol) +
                   "\" when expecting one of the following:\n\n   " + std::string(expecting), false);
    }

    bool peekWord(std::size_t i, std::string_view w) const { return i < m_t.size() && m_t[i].isWord(w); }
    bool peekSymbol(std::size_t i, std::string_view s) const { return i < m_t.size() && m_t[i].isSymbol(s); }

    void expectWord(std::size_t& i, std::string_view w)
    {
        if (!peekWord(i, w))
            syntax(i, w);
        ++i;
    }

    void expectSymbol(std::size_t& i, std::string_view s)
    {
        if (!peekSymbol(i, s))
            syntax(i, s);
        ++i;
    }

    // Tokens up to (not including) the next ';' outside parentheses.
    Expr untilSemicolon(std::size_t& i)
    {
        Expr e{i, i};
        int depth = 0;
        while (i < m_t.size()) {
            if (m_t[i].isSymbol("("))
                ++depth;
            else if (m_t[i].isSymbol(")"))
                --depth;
            else if (m_t[i].isSymbol(";") && depth <= 0)
                break;
            ++i;
        }
        if (i >= m_t.size())
            syntax(i, ";");
        e.end = i;
        return e;
    }

    // An expression ending before one of the stop words or symbols at depth 0.
    Expr expression(std::size_t& i, std::initializer_list<std::string_view> stopWords,
                    std::initializer_list<std::string_view> stopSymbols)
    {
        Expr e{i, i};
        int depth = 0;
        int caseDepth = 0;
        while (i < m_t.size()) {
            const SqlToken& t = m_t[i];
            if (t.isSymbol("("))
                ++depth;
            else if (t.isSymbol(")")) {
                if (depth == 0)
                    break;
                --depth;
            } else if (depth == 0 && caseDepth == 0) {
                bool stop = t.isSymbol(";");
                for (std::string_view w : stopWords)
                    stop = stop || t.isWord(w);
                for (std::string_view s : stopSymbols)
                    stop = stop || t.isSymbol(s);
                if (stop)
                    break;
            }
            if (t.isWord("CASE"))
                ++caseDepth;
            else if (t.isWord("END") && caseDepth > 0)
                --caseDepth;
            ++i;
        }
        e.end = i;
        if (e.end == e.begin)
            syntax(i, "an expression");
        checkIdentifiers(e);
        return e;
    }

    bool isLocal(const std::string& upperName) const { return m_declared.count(upperName) > 0; }

    // Identifiers in an expression must be locals, loop records, functions or SQL words.
    void checkIdentifiers(const Expr& e)
    {
        int selectDepth = 0;
        for (std::size_t k = e.begin; k < e.end; ++k) {
            const SqlToken& t = m_t[k];
            if (t.isWord("SELECT"))
                ++selectDepth;
            if (selectDepth > 0 || t.type != Type::Word)
                continue;
            if (k > e.begin && (m_t[k - 1].isSymbol(".") || m_t[k - 1].isSymbol("%")))
                continue;
            if (k + 1 < e.end && m_t[k + 1].isSymbol("("))
                continue;
            std::string u = upperAscii(t.text);
            if (u == "SQL" && k + 2 < e.end && m_t[k + 1].isSymbol("%")) {
                std::string attribute = upperAscii(m_t[k + 2].text);
                if (attribute != "ROWCOUNT" && attribute != "FOUND" && attribute != "NOTFOUND")
                    pls(k + 2, "PLS-00207: identifier '" + attribute +
                                   "', applied to implicit cursor SQL, is not a legal cursor attribute", true);
                continue;
            }
            if (isLocal(u) || std::find(m_records.begin(), m_records.end(), u) != m_records.end())
                continue;
            if (std::find(std::begin(ExpressionWords), std::end(ExpressionWords), u) != std::end(ExpressionWords))
                continue;
            if (u == "SQLCODE" || u == "SQLERRM")
                continue;
            if (k > e.begin && (m_t[k - 1].isWord("DATE") || m_t[k - 1].isWord("TIMESTAMP")))
                continue;
            pls(k, "PLS-00201: identifier '" + u + "' must be declared", true);
        }
    }

    void declaration(std::size_t& i)
    {
        if (m_t[i].type != Type::Word)
            syntax(i, "an identifier");
        std::string name = upperAscii(m_t[i].text);
        if (peekWord(i, "CURSOR") || peekWord(i, "TYPE") || peekWord(i, "PROCEDURE") || peekWord(i, "FUNCTION") ||
            peekWord(i, "PRAGMA"))
            pls(i, "PLS-00999: implementation restriction (may be temporary) " + name + " declarations", false);
        ++i;
        if (peekWord(i, "CONSTANT"))
            ++i;
        std::size_t typeStart = i;
        int depth = 0;
        while (i < m_t.size() && !(depth == 0 && (m_t[i].isSymbol(";") || m_t[i].isSymbol(":=") ||
                                                   m_t[i].isWord("DEFAULT")))) {
            if (m_t[i].isSymbol("("))
                ++depth;
            else if (m_t[i].isSymbol(")"))
                --depth;
            ++i;
        }
        if (i == typeStart)
            syntax(i, "a type");
        if (m_t[typeStart].isWord("EXCEPTION") || m_t[typeStart].isWord("CURSOR"))
            pls(typeStart, "PLS-00999: implementation restriction (may be temporary) " +
                               upperAscii(m_t[typeStart].text) + " declarations", false);
        Expr init;
        if (peekSymbol(i, ":=") || peekWord(i, "DEFAULT")) {
            ++i;
            init = expression(i, {}, {});
        }
        expectSymbol(i, ";");
        m_declared.insert(name);
        m_inits.emplace_back(name, init);
    }

    Stmt block(std::size_t& i)
    {
        Stmt s;
        s.kind = Stmt::Kind::Block;
        s.line = i < m_t.size() ? m_t[i].line : 1;
        expectWord(i, "BEGIN");
        s.body = statements(i, {"END", "EXCEPTION"});
        if (s.body.empty())
            syntax(i, "begin case declare exit for goto if loop null raise return select update while with");
        if (peekWord(i, "EXCEPTION")) {
            ++i;
            while (peekWord(i, "WHEN")) {
                ++i;
                Stmt::Handler handler;
                while (true) {
                    if (i >= m_t.size() || m_t[i].type != Type::Word)
                        syntax(i, "an exception name");
                    std::string name = upperAscii(m_t[i].text);
                    int code = name == "OTHERS" ? 0 : namedExceptionCode(name);
                    if (code < 0)
                        pls(i, "PLS-00201: identifier '" + name + "' must be declared", false);
                    handler.codes.push_back(code);
                    ++i;
                    if (peekWord(i, "OR")) {
                        ++i;
                        continue;
                    }
                    break;
                }
                expectWord(i, "THEN");
                ++m_handlerDepth;
                handler.body = statements(i, {"WHEN", "END"});
                --m_handlerDepth;
                if (handler.body.empty())
                    syntax(i, "a statement");
                s.handlers.push_back(std::move(handler));
            }
            if (s.handlers.empty())
                syntax(i, "WHEN");
        }
        expectWord(i, "END");
        if (i < m_t.size() && m_t[i].type == Type::Word)
            ++i; // label
        expectSymbol(i, ";");
        return s;
    }

    // The rest of FOR name IN [REVERSE] lower .. upper LOOP ... END LOOP; the loop counter is a local of
    // the body only, hiding a declared variable of the same name.
    Stmt forRange(std::size_t& i, Stmt s)
    {
        s.kind = Stmt::Kind::ForRange;
        if (peekWord(i, "REVERSE")) {
            s.reverse = true;
            ++i;
        }
        s.expr = expression(i, {"LOOP"}, {".."});
        expectSymbol(i, "..");
        s.upper = expression(i, {"LOOP"}, {});
        expectWord(i, "LOOP");
        const bool hides = isLocal(s.target);
        m_declared.insert(s.target);
        s.body = statements(i, {"END"});
        if (!hides)
            m_declared.erase(s.target);
        if (s.body.empty())
            syntax(i, "a statement");
        expectWord(i, "END");
        expectWord(i, "LOOP");
        expectSymbol(i, ";");
        return s;
    }

    std::vector<Stmt> statements(std::size_t& i, std::initializer_list<std::string_view> enders)
    {
        std::vector<Stmt> out;
        while (i < m_t.size()) {
            bool end = false;
            for (std::string_view w : enders)
                end = end || peekWord(i, w);
            if (end)
                break;
            out.push_back(statement(i));
        }
        return out;
    }

    Stmt statement(std::size_t& i)
    {
        struct Depth
        {
            int& depth;
            explicit Depth(int& d) : depth(d) { ++depth; }
            ~Depth() { --depth; }
        } guard(m_nesting);
        if (m_nesting > MaxNesting)
            pls(i, "PLS-00123: program too large (Diana nodes)", false);
        Stmt s;
        const SqlToken& t = m_t[i];
        s.line = t.line;
        std::string u = t.type == Type::Word ? upperAscii(t.text) : std::string();
        if (u == "NULL") {
            ++i;
            expectSymbol(i, ";");
            return s;
        }
        if (u == "COMMIT" || u == "ROLLBACK") {
            s.kind = u == "COMMIT" ? Stmt::Kind::Commit : Stmt::Kind::Rollback;
            ++i;
            if (peekWord(i, "WORK"))
                ++i;
            expectSymbol(i, ";");
            return s;
        }
        if (u == "BEGIN")
            return block(i);
        if (u == "DECLARE")
            pls(i, "PLS-00999: implementation restriction (may be temporary) nested DECLARE", false);
        if (t.type == Type::Bind) {
            s.kind = Stmt::Kind::AssignBind;
            s.target = t.text;
            ++i;
            expectSymbol(i, ":=");
            s.expr = expression(i, {}, {});
            expectSymbol(i, ";");
            return s;
        }
        if (u == "IF") {
            s.kind = Stmt::Kind::If;
            ++i;
            while (true) {
                Expr cond = expression(i, {"THEN"}, {});
                expectWord(i, "THEN");
                std::vector<Stmt> body = statements(i, {"ELSIF", "ELSE", "END"});
                if (body.empty())
                    syntax(i, "a statement");
                s.branches.emplace_back(cond, std::move(body));
                if (peekWord(i, "ELSIF")) {
                    ++i;
                    continue;
                }
                break;
            }
            if (peekWord(i, "ELSE")) {
                ++i;
                s.hasElse = true;
                s.body = statements(i, {"END"});
                if (s.body.empty())
                    syntax(i, "a statement");
            }
            expectWord(i, "END");
            expectWord(i, "IF");
            expectSymbol(i, ";");
            return s;
        }
        if (u == "FOR") {
            s.kind = Stmt::Kind::ForQuery;
            ++i;
            if (i >= m_t.size() || m_t[i].type != Type::Word)
                syntax(i, "an identifier");
            s.target = upperAscii(m_t[i].text);
            ++i;
            expectWord(i, "IN");
            if (!peekSymbol(i, "("))
                return forRange(i, std::move(s));
            ++i;
            s.expr = untilClose(i);
            expectSymbol(i, ")");
            expectWord(i, "LOOP");
            m_records.push_back(s.target);
            s.body = statements(i, {"END"});
            m_records.pop_back();
            if (s.body.empty())
                syntax(i, "a statement");
            expectWord(i, "END");
            expectWord(i, "LOOP");
            expectSymbol(i, ";");
            return s;
        }
        if (u == "INSERT" || u == "UPDATE" || u == "DELETE" || u == "MERGE") {
            s.kind = Stmt::Kind::Dml;
            s.expr = untilSemicolon(i);
            expectSymbol(i, ";");
            return s;
        }
        if (u == "DBMS_OUTPUT" && peekSymbol(i + 1, ".") && i + 2 < m_t.size() && m_t[i + 2].type == Type::Word)
            return outputCall(i);
        if (u == "RAISE") {
            s.kind = Stmt::Kind::Raise;
            ++i;
            if (peekSymbol(i, ";")) {
                if (m_handlerDepth == 0)
                    pls(i - 1, "PLS-00367: a RAISE statement with no exception name must be inside an exception handler",
                        false);
            } else {
                std::string name = i < m_t.size() ? upperAscii(m_t[i].text) : std::string();
                s.raiseCode = namedExceptionCode(name);
                if (s.raiseCode < 0)
                    pls(i, "PLS-00201: identifier '" + name + "' must be declared", true);
                ++i;
            }
            expectSymbol(i, ";");
            return s;
        }
        if (u == "RAISE_APPLICATION_ERROR" && peekSymbol(i + 1, "(")) {
            s.kind = Stmt::Kind::RaiseApplicationError;
            i += 2;
            s.args.push_back(expression(i, {}, {","}));
            expectSymbol(i, ",");
            s.args.push_back(expression(i, {}, {","}));
            if (peekSymbol(i, ",")) {
                ++i;
                expression(i, {}, {});
            }
            expectSymbol(i, ")");
            expectSymbol(i, ";");
            return s;
        }
        if (t.type == Type::Word && isLocal(u) && peekSymbol(i + 1, ":=")) {
            s.kind = Stmt::Kind::AssignLocal;
            s.target = u;
            i += 2;
            s.expr = expression(i, {}, {});
            expectSymbol(i, ";");
            return s;
        }
        if (t.type == Type::Word && !isLocal(u) &&
            (peekSymbol(i + 1, ":=") || peekSymbol(i + 1, ";") || peekSymbol(i + 1, "(") || peekSymbol(i + 1, ".")))
            pls(i, "PLS-00201: identifier '" + u + "' must be declared", true);
        if (u == "SELECT")
            return selectInto(i);
        syntax(i, "begin case declare exit for goto if loop null raise return select update while with");
    }

    // SELECT items INTO target, ... FROM ...;
    Stmt selectInto(std::size_t& i)
    {
        Stmt s;
        s.kind = Stmt::Kind::SelectInto;
        s.line = m_t[i].line;
        std::size_t start = i;
        int depth = 0;
        while (i < m_t.size() && !(depth == 0 && (m_t[i].isWord("INTO") || m_t[i].isSymbol(";")))) {
            if (m_t[i].isSymbol("("))
                ++depth;
            else if (m_t[i].isSymbol(")"))
                --depth;
            ++i;
        }
        if (!peekWord(i, "INTO"))
            pls(start, "PLS-00428: an INTO clause is expected in this SELECT statement", false);
        s.expr = Expr{start, i};
        ++i;
        while (true) {
            Expr target{i, i + 1};
            if (i >= m_t.size() || !outTarget(target))
                pls(i, "PLS-00201: identifier '" +
                           (i < m_t.size() ? upperAscii(m_t[i].text) : std::string()) + "' must be declared", true);
            s.args.push_back(target);
            ++i;
            if (peekSymbol(i, ",")) {
                ++i;
                continue;
            }
            break;
        }
        if (!peekWord(i, "FROM"))
            syntax(i, "FROM");
        s.fromPart = untilSemicolon(i);
        expectSymbol(i, ";");
        return s;
    }

    // Tokens up to the ')' closing an already consumed '('.
    Expr untilClose(std::size_t& i)
    {
        Expr e{i, i};
        int depth = 0;
        while (i < m_t.size()) {
            if (m_t[i].isSymbol("("))
                ++depth;
            else if (m_t[i].isSymbol(")")) {
                if (depth == 0)
                    break;
                --depth;
            }
            ++i;
        }
        if (i >= m_t.size())
            syntax(i, ")");
        e.end = i;
        if (e.end == e.begin)
            syntax(i, "a query");
        return e;
    }

    Stmt outputCall(std::size_t& i)
    {
        Stmt s;
        s.kind = Stmt::Kind::Output;
        s.line = m_t[i].line;
        std::size_t nameAt = i + 2;
        std::string proc = upperAscii(m_t[nameAt].text);
        i += 3;
        std::vector<Expr> args;
        if (peekSymbol(i, "(")) {
            ++i;
            if (!peekSymbol(i, ")")) {
                while (true) {
                    args.push_back(expression(i, {}, {","}));
                    if (peekSymbol(i, ",")) {
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            expectSymbol(i, ")");
        }
        expectSymbol(i, ";");
        struct Proc
        {
            const char* name;
            Stmt::Output kind;
            std::size_t minArgs, maxArgs;
        };
        static const Proc procs[] = {
            {"ENABLE", Stmt::Output::Enable, 0, 1},   {"DISABLE", Stmt::Output::Disable, 0, 0},
            {"PUT", Stmt::Output::Put, 1, 1},         {"PUT_LINE", Stmt::Output::PutLine, 1, 1},
            {"NEW_LINE", Stmt::Output::NewLine, 0, 0}, {"GET_LINE", Stmt::Output::GetLine, 2, 2},
        };
        for (const Proc& p : procs) {
            if (proc != p.name)
                continue;
            if (args.size() < p.minArgs || args.size() > p.maxArgs)
                pls(nameAt, "PLS-00306: wrong number or types of arguments in call to '" + proc + "'", true);
            if (p.kind == Stmt::Output::GetLine)
                for (const Expr& a : args)
                    if (!outTarget(a))
                        pls(a.begin, "PLS-00363: expression '" +
                                         upperAscii(m_source.substr(m_t[a.begin].begin, m_t[a.end - 1].end - m_t[a.begin].begin)) +
                                         "' cannot be used as an assignment target", true);
            s.output = p.kind;
            s.args = std::move(args);
            return s;
        }
        pls(nameAt, "PLS-00302: component '" + proc + "' must be declared", true);
    }

    std::optional<Target> outTarget(const Expr& e) const
    {
        if (e.end - e.begin != 1)
            return std::nullopt;
        const SqlToken& t = m_t[e.begin];
        if (t.type == Type::Bind)
            return Target{true, t.text};
        if (t.type == Type::Word && isLocal(upperAscii(t.text)))
            return Target{false, upperAscii(t.text)};
        return std::nullopt;
    }

    // ------------------------------------------------------------ execution

    struct Record
    {
        std::string name;
        std::vector<std::string> columns; // upper case
        std::vector<EngineValue> values;
    };

    // Oracle text of a token range with locals and record fields turned into quoted binds.
    std::string substituted(const Expr& e) const
    {
        std::string out;
        for (std::size_t k = e.begin; k < e.end; ++k) {
            const SqlToken& t = m_t[k];
            std::string piece(m_source.substr(t.begin, t.end - t.begin));
            bool afterDot = k > e.begin && m_t[k - 1].isSymbol(".");
            if (t.type == Type::Word && !afterDot) {
                std::string u = upperAscii(t.text);
                bool isRecord = std::any_of(m_active.begin(), m_active.end(),
                                            [&](const Record* r) { return r->name == u; });
                if ((u == "SQLCODE" || u == "SQLERRM") && !(k + 1 < e.end && m_t[k + 1].isSymbol("("))) {
                    piece = ":\"S." + u + "\"";
                } else if (u == "SQL" && k + 2 < e.end && m_t[k + 1].isSymbol("%") && m_t[k + 2].type == Type::Word) {
                    piece = ":\"S." + upperAscii(m_t[k + 2].text) + "\"";
                    k += 2;
                } else if (isRecord && k + 2 < e.end && m_t[k + 1].isSymbol(".") && m_t[k + 2].type == Type::Word) {
                    piece = ":\"R." + u + "." + upperAscii(m_t[k + 2].text) + "\"";
                    k += 2;
                } else if (isLocal(u) && !(k + 1 < e.end && m_t[k + 1].isSymbol("("))) {
                    piece = ":\"L." + u + "\"";
                }
            }
            out += piece;
            out += ' ';
        }
        return out;
    }

    EngineValue bindValueFor(const std::string& name) const
    {
        if (name.rfind("L.", 0) == 0) {
            auto it = m_locals.find(name.substr(2));
            return it == m_locals.end() ? EngineValue() : it->second;
        }
        if (name == "S.SQLCODE" || name == "S.SQLERRM") {
            const OraError* current = m_handling.empty() ? nullptr : &m_handling.back();
            if (name == "S.SQLCODE")
                return EngineValue::integer(current ? -current->code() : 0);
            if (!current)
                return EngineValue::text("ORA-0000: normal, successful completion");
            return EngineValue::text(current->text().substr(0, current->text().find('\n')));
        }
        if (name.rfind("S.", 0) == 0) {
            // SQL%ROWCOUNT, SQL%FOUND, SQL%NOTFOUND of the last SQL statement; NULL before the first.
            if (m_rowCount < 0)
                return {};
            if (name == "S.ROWCOUNT")
                return EngineValue::integer(m_rowCount);
            return EngineValue::integer((m_rowCount > 0) == (name == "S.FOUND") ? 1 : 0);
        }
        if (name.rfind("R.", 0) == 0) {
            std::size_t dot = name.find('.', 2);
            std::string record = name.substr(2, dot - 2);
            std::string column = name.substr(dot + 1);
            for (auto it = m_active.rbegin(); it != m_active.rend(); ++it) {
                if ((*it)->name != record)
                    continue;
                for (std::size_t c = 0; c < (*it)->columns.size(); ++c)
                    if ((*it)->columns[c] == column)
                        return (*it)->values[c];
                throw OraException(OraError(6550, "ORA-06550: line " + std::to_string(m_line) +
                                                      ", column 1:\nPLS-00302: component '" + column +
                                                      "' must be declared"));
            }
            return {};
        }
        auto it = m_binds.find(name);
        if (it == m_binds.end())
            throw OraException(OraError::standard(1008));
        return it->second;
    }

    struct Statement
    {
        sqlite3_stmt* stmt = nullptr;
        ~Statement() { sqlite3_finalize(stmt); }
    };

    // Translates and prepares Oracle text, binding locals, record fields and binds.
    void prepare(const std::string& oracleText, Statement& st)
    {
        TranslatedSql tr;
        if (OraError e = translateSql(oracleText, tr))
            throw OraException(e);
        int rc = sqlite3_prepare_v2(m_session.db, tr.sql.c_str(), static_cast<int>(tr.sql.size()), &st.stmt, nullptr);
        if (rc != SQLITE_OK)
            throw OraException(OraError::fromSqlite(m_session.db, rc));
        for (std::size_t b = 0; b < tr.binds.size(); ++b)
            bindEngineValue(st.stmt, static_cast<int>(b + 1), bindValueFor(tr.binds[b]));
    }

    EngineValue evaluate(const Expr& e)
    {
        Statement st;
        prepare("SELECT " + substituted(e) + " FROM DUAL", st);
        int rc = sqlite3_step(st.stmt);
        if (rc != SQLITE_ROW)
            throw OraException(OraError::fromSqlite(m_session.db, rc));
        return columnEngineValue(st.stmt, 0);
    }

    bool condition(const Expr& e)
    {
        Statement st;
        prepare("SELECT CASE WHEN " + substituted(e) + " THEN 1 ELSE 0 END FROM DUAL", st);
        int rc = sqlite3_step(st.stmt);
        if (rc != SQLITE_ROW)
            throw OraException(OraError::fromSqlite(m_session.db, rc));
        return sqlite3_column_int(st.stmt, 0) == 1;
    }

    void check(const OraError& e)
    {
        if (e)
            throw OraException(e);
    }

    void assign(const Target& t, EngineValue v)
    {
        if (t.isBind)
            m_binds[t.name] = std::move(v);
        else
            m_locals[t.name] = std::move(v);
    }

    static std::string outputText(const EngineValue& v) { return v.toText(); }

    void execute(const std::vector<Stmt>& statements)
    {
        for (const Stmt& s : statements)
            execute(s);
    }

    void execute(const Stmt& s)
    {
        m_line = s.line;
        switch (s.kind) {
        case Stmt::Kind::Null: break;
        case Stmt::Kind::Block: {
            if (s.handlers.empty()) {
                execute(s.body);
                break;
            }
            OraError caught;
            try {
                execute(s.body);
                break;
            } catch (const OraException& e) {
                caught = e.error();
            }
            for (const Stmt::Handler& h : s.handlers) {
                bool matches = std::any_of(h.codes.begin(), h.codes.end(),
                                           [&](int code) { return code == 0 || code == caught.code(); });
                if (!matches)
                    continue;
                m_handling.push_back(caught);
                struct Pop
                {
                    std::vector<OraError>& handling;
                    ~Pop() { handling.pop_back(); }
                } pop{m_handling};
                execute(h.body);
                return;
            }
            throw OraException(caught);
        }
        case Stmt::Kind::Raise:
            if (s.raiseCode < 0)
                throw OraException(m_handling.back());
            throw OraException(s.raiseCode == 1 ? OraError::standard(1, "unknown") : OraError::standard(s.raiseCode));
        case Stmt::Kind::RaiseApplicationError: {
            std::optional<std::int64_t> code = evaluate(s.args[0]).toNumber().rounded(0).toInt64();
            if (!code || *code < -20999 || *code > -20000)
                throw OraException(OraError::make(21000, "error number argument to raise_application_error of " +
                                                             evaluate(s.args[0]).toText() + " is out of range"));
            throw OraException(OraError::make(static_cast<int>(-*code), evaluate(s.args[1]).toText()));
        }
        case Stmt::Kind::Commit:
            if (m_session.commit)
                check(m_session.commit());
            else if (!sqlite3_get_autocommit(m_session.db))
                check(exec("COMMIT"));
            break;
        case Stmt::Kind::Rollback:
            if (m_session.rollback)
                check(m_session.rollback());
            else if (!sqlite3_get_autocommit(m_session.db))
                check(exec("ROLLBACK"));
            break;
        case Stmt::Kind::AssignBind: m_binds[s.target] = evaluate(s.expr); break;
        case Stmt::Kind::AssignLocal: m_locals[s.target] = evaluate(s.expr); break;
        case Stmt::Kind::If: {
            for (const auto& [cond, body] : s.branches) {
                if (condition(cond)) {
                    execute(body);
                    return;
                }
            }
            if (s.hasElse)
                execute(s.body);
            break;
        }
        case Stmt::Kind::Dml: {
            if (m_session.beforeDml)
                check(m_session.beforeDml());
            Statement st;
            prepare(substituted(s.expr), st);
            int rc;
            while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE)
                throw OraException(OraError::fromSqlite(m_session.db, rc));
            m_rowCount = sqlite3_changes64(m_session.db);
            break;
        }
        case Stmt::Kind::ForQuery: {
            Statement st;
            prepare(substituted(s.expr), st);
            if (sqlite3_column_count(st.stmt) == 0)
                throw OraException(OraError::standard(928));
            Record record;
            record.name = s.target;
            for (int c = 0; c < sqlite3_column_count(st.stmt); ++c)
                record.columns.push_back(upperAscii(sqlite3_column_name(st.stmt, c)));
            m_active.push_back(&record);
            struct Pop
            {
                std::vector<Record*>& active;
                ~Pop() { active.pop_back(); }
            } pop{m_active};
            int rc;
            while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
                if (m_session.cancelled && m_session.cancelled())
                    throw OraException(OraError::make(1013, "user requested cancel of current operation"));
                record.values.clear();
                for (int c = 0; c < sqlite3_column_count(st.stmt); ++c)
                    record.values.push_back(columnEngineValue(st.stmt, c));
                execute(s.body);
                m_line = s.line;
            }
            if (rc != SQLITE_DONE)
                throw OraException(OraError::fromSqlite(m_session.db, rc));
            break;
        }
        case Stmt::Kind::ForRange: {
            // Bounds are evaluated once and rounded to integers; NULL is a value error, as in Oracle.
            // The counter is a PLS_INTEGER: bounds beyond its range overflow.
            auto bound = [&](const Expr& e) {
                EngineValue v = evaluate(e);
                if (v.isNull())
                    throw OraException(OraError::standard(6502));
                std::optional<std::int64_t> n = v.toNumber().rounded(0).toInt64();
                if (!n || *n < std::numeric_limits<std::int32_t>::min() || *n > std::numeric_limits<std::int32_t>::max())
                    throw OraException(OraError::make(1426, "numeric overflow"));
                return *n;
            };
            const std::int64_t lower = bound(s.expr);
            const std::int64_t upper = bound(s.upper);
            // The counter is a local while the body runs; a variable it hides gets its value back after.
            struct Restore
            {
                std::map<std::string, EngineValue>& locals;
                std::set<std::string>& declared;
                const std::string& name;
                bool wasDeclared;
                std::optional<EngineValue> hidden;
                ~Restore()
                {
                    if (hidden)
                        locals[name] = std::move(*hidden);
                    else
                        locals.erase(name);
                    if (!wasDeclared)
                        declared.erase(name);
                }
            } restore{m_locals, m_declared, s.target, isLocal(s.target), {}};
            if (auto it = m_locals.find(s.target); it != m_locals.end())
                restore.hidden = it->second;
            m_declared.insert(s.target);
            if (lower > upper)
                break;
            for (std::int64_t k = s.reverse ? upper : lower;; k += s.reverse ? -1 : 1) {
                if (m_session.cancelled && m_session.cancelled())
                    throw OraException(OraError::make(1013, "user requested cancel of current operation"));
                m_locals[s.target] = EngineValue::integer(k);
                execute(s.body);
                m_line = s.line;
                if (k == (s.reverse ? lower : upper))
                    break;
            }
            break;
        }
        case Stmt::Kind::Output: output(s); break;
        case Stmt::Kind::SelectInto: {
            Statement st;
            prepare(substituted(s.expr) + substituted(s.fromPart), st);
            std::size_t columns = static_cast<std::size_t>(sqlite3_column_count(st.stmt));
            if (columns != s.args.size())
                throw OraException(columns > s.args.size() ? OraError::make(913, "too many values")
                                                          : OraError::make(947, "not enough values"));
            int rc = sqlite3_step(st.stmt);
            if (rc == SQLITE_DONE)
                throw OraException(OraError::standard(1403));
            if (rc != SQLITE_ROW)
                throw OraException(OraError::fromSqlite(m_session.db, rc));
            std::vector<EngineValue> row;
            for (std::size_t c = 0; c < columns; ++c)
                row.push_back(columnEngineValue(st.stmt, static_cast<int>(c)));
            rc = sqlite3_step(st.stmt);
            if (rc == SQLITE_ROW)
                throw OraException(OraError::standard(1422));
            if (rc != SQLITE_DONE)
                throw OraException(OraError::fromSqlite(m_session.db, rc));
            for (std::size_t c = 0; c < columns; ++c)
                assign(*outTarget(s.args[c]), std::move(row[c]));
            m_rowCount = 1;
            break;
        }
        }
    }

    void output(const Stmt& s)
    {
        DbmsOutput& out = *m_session.output;
        switch (s.output) {
        case Stmt::Output::Enable: {
            if (s.args.empty()) {
                out.enable();
                break;
            }
            EngineValue size = evaluate(s.args[0]);
            if (size.isNull())
                out.enable(std::nullopt);
            else {
                std::optional<std::int64_t> n = size.toNumber().rounded(0).toInt64();
                out.enable(n.value_or(1000000));
            }
            break;
        }
        case Stmt::Output::Disable: out.disable(); break;
        case Stmt::Output::Put: check(out.put(outputText(evaluate(s.args[0])))); break;
        case Stmt::Output::PutLine: check(out.putLine(outputText(evaluate(s.args[0])))); break;
        case Stmt::Output::NewLine: check(out.newLine()); break;
        case Stmt::Output::GetLine: {
            std::string line;
            int status = out.getLine(line);
            assign(*outTarget(s.args[0]), status == 0 && !line.empty() ? EngineValue::text(line) : EngineValue());
            assign(*outTarget(s.args[1]), EngineValue::integer(status));
            break;
        }
        }
    }

    OraError exec(const char* sql)
    {
        int rc = sqlite3_exec(m_session.db, sql, nullptr, nullptr, nullptr);
        return rc == SQLITE_OK ? OraError() : OraError::fromSqlite(m_session.db, rc);
    }

    const PlsqlSession& m_session;
    std::string_view m_source;
    PlsqlBinds& m_binds;
    std::vector<SqlToken> m_t;
    std::set<std::string> m_declared;                       // local names (upper case)
    std::vector<std::pair<std::string, Expr>> m_inits;      // declarations in order with their defaults
    std::map<std::string, EngineValue> m_locals;            // current local values
    std::vector<std::string> m_records;                     // FOR records in scope while parsing
    std::vector<Record*> m_active;                          // FOR records in scope while running
    int m_line = 0;                                         // line of the statement running
    std::vector<OraError> m_handling;                       // exceptions whose handlers are running
    int m_handlerDepth = 0;                                 // exception handlers being parsed
    std::int64_t m_rowCount = -1;                           // rows of the last SQL statement (SQL%ROWCOUNT)
    int m_nesting = 0;                                      // statements being parsed inside each other
    static constexpr int MaxNesting = 200;                  // keeps parsing and running off the stack's end
};

} // namespace

OraError executePlsqlBlock(const PlsqlSession& session, std::string_view block, PlsqlBinds& binds)
{
    if (!session.db || !session.output)
        return OraError::standard(600, "block without session");
    try {
        Interpreter interpreter(session, block, binds);
        return interpreter.run();
    } catch (const std::bad_alloc&) {
        return OraError::standard(4030, "memory");
    }
}

} // namespace engine
