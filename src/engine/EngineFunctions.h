#pragma once

#include "engine/OraError.h"

#include <string_view>

struct sqlite3;

namespace engine {

// Registers on a connection the functions translated SQL calls (NVL, NVL2, DECODE, TO_CHAR, TO_DATE,
// TO_NUMBER, TRUNC, ROUND, ADD_MONTHS, MONTHS_BETWEEN, LAST_DAY, INSTR, SUBSTR, LPAD, RPAD, INITCAP, CHR,
// GREATEST, LEAST and the
// ora_* helpers behind SYSDATE, USER, || and date arithmetic) and a temporary DUAL view (one row, DUMMY 'X').
// Errors inside the functions are raised as "ORA-NNNNN: text" messages, which OraError::fromSqlite keeps.
// Call once per connection, outside a transaction.
OraError registerOracleFunctions(sqlite3* db);

// The name USER returns on this connection (upper case as Oracle reports it); "" until set.
void setSessionUser(sqlite3* db, std::string_view user);

} // namespace engine
