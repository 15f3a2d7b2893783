#pragma once

#include "db/column.h"
#include "db/connection.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace db {

// The cursor over an executed query: describes the select list once, defines one batch buffer per
// column and fetches batch by batch. Destroy it before its statement.
class resultset {
public:
    static constexpr oci::ub2 column_size_limit = 2048; // longest string element, in characters
    static constexpr oci::ub2 min_converted_size = 128;  // text element of non-character types

    // Describes and defines (no fetch yet). Throws db::error: 1009 for a LOB or BFILE column,
    // 1002 when buffers cannot be allocated, Oracle errors of the calls (with the column name for
    // defines); columns made so far are freed first. rows below 1 count as 1.
    resultset(oci::OCIStmt *statement_handle, connection &conn, oci::ub2 rows);
    ~resultset();
    resultset(const resultset &) = delete;
    resultset &operator=(const resultset &) = delete;

    // Fetches the next batch; returns the rows it delivered. Statuses other than success, success
    // with info and no data throw an Oracle error.
    int fetch();

    // True when the current row holds data, fetching the next batch when the current row has
    // passed the fetched rows and the end has not been reached.
    bool has_row();
    // Moves to the next row; true when it is already fetched (never fetches).
    bool next();
    // True when the current row lies past the last row of the query.
    bool end_of_data() const;

    // Exact, byte-wise lookup; the later of two columns of one name wins; library error 1011.
    column &col(const std::string &name) const;
    // By 0-based position; null outside the columns.
    column *col(int index) const;
    column *first_column() const;
    column *column_after(const column *c) const;
    int column_count() const { return static_cast<int>(m_columns.size()); }

    oci::ub2 rows_per_fetch() const { return m_rows_per_fetch; }
    oci::ub4 rows_fetched() const { return m_rows_fetched; }
    oci::ub4 current_row() const { return m_current_row; }
    bool reached_end() const { return m_end_of_data; } // the last fetch delivered a short batch
    bool described() const { return m_described; }
    bool defined() const { return m_defined; }

    connection &conn() const { return *m_connection; }

private:
    void describe();
    void define();

    connection::child m_child;                      // counted while the result set lives
    std::vector<std::unique_ptr<column>> m_columns; // select-list order
    std::map<std::string, column *> m_by_name;
    connection *m_connection;
    oci::OCIStmt *m_statement; // not owned
    oci::ub2 m_rows_per_fetch;
    oci::ub4 m_rows_fetched = 0; // OCI_ATTR_ROW_COUNT after the last fetch
    oci::ub4 m_current_row = 0;  // counted from 0 over all batches
    bool m_end_of_data = false;
    bool m_described = false;
    bool m_defined = false;
};

} // namespace db
