#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

// OCI_ATTR_STMT_TYPE values. Statements with another leading keyword (TRUNCATE, GRANT, SAVEPOINT, junk,
// empty text) report Unknown, as the client does for statement types it has no constant for.
enum class StatementKind : std::uint16_t {
    Unknown = 0,
    Select = 1,
    Update = 2,
    Delete = 3,
    Insert = 4,
    Create = 5,
    Drop = 6,
    Alter = 7,
    Begin = 8,
    Declare = 9,
    Call = 10,
    ExplainPlan = 15,
    Merge = 16,
    Rollback = 17,
    Commit = 21,
};

// The kind from the first keyword after blanks, both comment kinds and opening parentheses (SELECT and
// WITH are Select). Never fails.
StatementKind classifyStatement(std::string_view sql);
// True for statements that commit implicitly (CREATE, DROP, ALTER, TRUNCATE, GRANT, REVOKE, RENAME, COMMENT).
bool isDdlStatement(std::string_view sql);

} // namespace engine
