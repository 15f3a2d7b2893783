#include "engine/StatementKind.h"

#include "engine/SqlLexer.h"

#include <cctype>
#include <string>

namespace engine {

namespace {

// The first keyword after blanks, comments and opening parentheses, upper-cased; "" if none.
std::string leadingKeyword(std::string_view sql)
{
    std::size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '(' || c == '\f' || c == '\v') {
            ++i;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            while (i < sql.size() && sql[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            std::size_t close = sql.find("*/", i + 2);
            if (close == std::string_view::npos)
                return {};
            i = close + 2;
        } else {
            break;
        }
    }
    std::size_t k = i;
    while (k < sql.size() && std::isalpha(static_cast<unsigned char>(sql[k])))
        ++k;
    return upperAscii(sql.substr(i, k - i));
}

} // namespace

StatementKind classifyStatement(std::string_view sql)
{
    std::string k = leadingKeyword(sql);
    if (k == "SELECT" || k == "WITH")
        return StatementKind::Select;
    if (k == "UPDATE")
        return StatementKind::Update;
    if (k == "DELETE")
        return StatementKind::Delete;
    if (k == "INSERT")
        return StatementKind::Insert;
    if (k == "CREATE")
        return StatementKind::Create;
    if (k == "DROP")
        return StatementKind::Drop;
    if (k == "ALTER")
        return StatementKind::Alter;
    if (k == "BEGIN")
        return StatementKind::Begin;
    if (k == "DECLARE")
        return StatementKind::Declare;
    if (k == "CALL")
        return StatementKind::Call;
    if (k == "EXPLAIN")
        return StatementKind::ExplainPlan;
    if (k == "MERGE")
        return StatementKind::Merge;
    if (k == "ROLLBACK")
        return StatementKind::Rollback;
    if (k == "COMMIT")
        return StatementKind::Commit;
    return StatementKind::Unknown;
}

bool isDdlStatement(std::string_view sql)
{
    std::string k = leadingKeyword(sql);
    return k == "CREATE" || k == "DROP" || k == "ALTER" || k == "TRUNCATE" || k == "GRANT" || k == "REVOKE" ||
           k == "RENAME" || k == "COMMENT";
}

} // namespace engine
