#include "execution/CStatementRun.h"

#include "core/CodePage.h"
#include "db/column.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"
#include "db/statement.h"
#include "execution/CBoundStatement.h"
#include "execution/CStatementText.h"
#include "execution/IVariableSource.h"
#include "settings/Options.h"

#include <algorithm>

namespace {

// Runs work, turning whatever it throws into a message; false when it threw.
template <class Work> bool guarded(QStringList &messages, Work &&work)
{
    try {
        work();
        return true;
    } catch (const db::error &e) {
        messages << e.display_text();
    } catch (const std::exception &e) {
        messages << QStringLiteral("Unexpected failure: %1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        messages << QStringLiteral("Unexpected failure");
    }
    return false;
}

QByteArray ansi(const QString &text) { return codepage::fromUnicode(text, codepage::kSystemAnsi); }

const std::vector<CSQLVariable> &listOf(const std::vector<CSQLVariable> *variables)
{
    static const std::vector<CSQLVariable> none;
    return variables ? *variables : none;
}

} // namespace

CStatementRun::CStatementRun() = default;

CStatementRun::~CStatementRun() { close(); }

CRunReport CStatementRun::open(const CSQLConnection &connection)
{
    close();
    CRunReport r;
    if (!m_session)
        m_session = std::make_unique<db::connection>();
    r.ok = guarded(r.messages, [&] {
        db::open_parameters p =
            db::open_parameters::from_unicode(connection.database(), connection.user(),
                                              connection.password(), connection.connectAs());
        p.environment_mode = oci::OCI_OBJECT; // environment mode 2
        p.non_blocking = false;
        m_session->open(p);
    });
    m_open = r.ok;
    if (!r.ok)
        m_session->close();
    return r;
}

void CStatementRun::close()
{
    closeQuery();
    m_statementType = 0;
    if (m_session && m_open) {
        m_session->close();
        m_open = false;
    }
}

void CStatementRun::releaseRows()
{
    m_sources.clear();
    m_rows.reset();
    m_statement.reset();
}

void CStatementRun::closeQuery()
{
    releaseRows();
    m_columns.clear();
    m_fetchedRows = 0;
    m_endOfData = false;
}

std::unique_ptr<CBoundStatement> CStatementRun::prepare(const QString &sql, QStringList &messages)
{
    if (!m_session || !m_open)
        throw DB_LIBRARY_ERROR(db::error::internal_error, "no open session");
    const std::vector<CSQLVariable> &variables = listOf(m_variables);
    auto statement = std::make_unique<CBoundStatement>(
        *m_session,
        CStatementText::withoutCarriageReturns(CStatementText::substitute(sql, variables)));
    if (statement->type() == 0)
        return nullptr;
    messages << statement->bind(variables);
    return statement;
}

CRunExecution CStatementRun::execute(bool askVariables)
{
    closeQuery();
    m_output.clear();
    m_statementType = 0;
    CRunExecution r;
    if (!m_open || m_sqlText.size() < 4)
        return r;
    const bool ran = guarded(r.messages, [&] {
        const bool ask = askVariables && m_source && m_variables && !m_variables->empty();
        if (ask && !m_source->askValues(*m_variables))
            return;
        const bool output = options::EnableDBMSOutput;
        if (output) {
            const int size = options::clamped(options::DBMSOutputBufferSize);
            runDbmsStatement(ansi(CStatementText::enableDbmsOutput(size)).constData(), r.messages);
        }
        std::unique_ptr<CBoundStatement> statement = prepare(m_sqlText, r.messages);
        if (!statement)
            return;
        std::unique_ptr<db::resultset> rows = statement->execute();
        m_statementType = statement->type();
        if (rows) {
            m_statement = std::move(statement);
            m_rows = std::move(rows);
            // Functions the query calls while its rows are fetched must not fill the buffer.
            if (output)
                runDbmsStatement(CStatementText::kDisableDbmsOutput, r.messages);
            for (db::column *c = m_rows->first_column(); c; c = m_rows->column_after(c)) {
                m_columns.push_back({c->name_unicode(), c->kind()});
                m_sources.push_back(c);
            }
            r.outcome = CRunExecution::Outcome::Query;
            return;
        }
        statement.reset();
        if (output) {
            m_output = readDbmsOutput(r.messages);
            runDbmsStatement(CStatementText::kDisableDbmsOutput, r.messages);
            r.outputRead = true;
            r.output = m_output;
        }
        r.outcome = CRunExecution::Outcome::Statement;
    });
    if (!ran) {
        closeQuery();
        m_statementType = 0;
        r.outcome = CRunExecution::Outcome::Failed;
    }
    return r;
}

void CStatementRun::runDbmsStatement(const char *sql, QStringList &messages)
{
    try {
        db::statement(*m_session, sql).execute();
    } catch (const db::error &e) {
        messages << e.display_text();
    }
}

QStringList CStatementRun::readDbmsOutput(QStringList &messages)
{
    QStringList lines;
    try {
        db::statement st(*m_session, CStatementText::kGetLine);
        db::parameter &line = st.bind(":1", db::kind_string);
        db::parameter &status = st.bind(":2", db::kind_number);
        for (;;) {
            st.execute();
            if (status.integer() != 0)
                break;
            // An empty line comes back as NULL; it is still a line.
            lines.append(line.is_null() ? QString() : QStringView(line.text()).toString());
        }
    } catch (const db::error &e) {
        messages << e.display_text();
    }
    return lines;
}

void CStatementRun::appendValue(CRowBatch &batch, db::column &column, bool *reported)
{
    try {
        if (!column.is_null()) {
            switch (column.kind()) {
            case db::kind_number: {
                const std::string_view t = column.number_text();
                batch.appendCell(QLatin1StringView(t.data(), qsizetype(t.size())));
                return;
            }
            case db::kind_date:
                batch.appendCell(m_dateType.displayText(column.date()));
                return;
            default: {
                const std::u16string_view t = column.text();
                batch.appendCell(QStringView(t.data(), qsizetype(t.size())));
                return;
            }
            }
        }
    } catch (const db::error &e) {
        const bool isNull =
            e.kind() == db::error::library_kind && e.code() == db::error::cannot_convert;
        if (!isNull && !*reported) {
            batch.messages << e.display_text();
            *reported = true;
        }
    }
    batch.appendCell(QStringView());
}

CRowBatch CStatementRun::fetchNext()
{
    CRowBatch batch(int(m_sources.size()));
    if (m_statementType != kQuery || !m_rows || m_sources.empty())
        return batch;
    const int batchSize = m_rows->rows_per_fetch();
    batch.reserve(batchSize);
    bool reported = false; // one conversion message per fetch
    batch.failed = !guarded(batch.messages, [&] {
        m_rows->has_row(); // fetches the next batch once the current one is used up
        m_endOfData = m_rows->end_of_data();
        if (m_endOfData)
            return;
        do {
            for (db::column *c : m_sources)
                appendValue(batch, *c, &reported);
        } while (m_rows->next());
    });
    batch.dropPartialRow();
    m_fetchedRows += batch.rowCount();
    if (batch.failed)
        return batch; // the rows stay for another try
    if (batch.rowCount() < batchSize)
        m_endOfData = true;
    if (m_endOfData)
        releaseRows(); // the columns stay for sorting and export
    return batch;
}

CRunReport CStatementRun::fetchAll(const std::function<bool(CRowBatch &&)> &sink)
{
    CRunReport r;
    r.ok = true;
    while (m_rows && !m_endOfData) {
        CRowBatch batch = fetchNext();
        r.messages << batch.messages;
        const bool failed = batch.failed;
        if (!sink(std::move(batch)))
            break;
        if (failed) {
            r.ok = false; // a failing fetch is not tried again
            break;
        }
    }
    return r;
}

CRunCount CStatementRun::count()
{
    CRunCount r;
    if (m_statementType != kQuery) {
        r.ok = true;
        return r;
    }
    CRowBatch value(1);
    bool reported = false;
    r.ok = guarded(r.messages, [&] {
        std::unique_ptr<CBoundStatement> statement =
            prepare(CStatementText::countRows(m_sqlText), r.messages);
        std::unique_ptr<db::resultset> rows = statement ? statement->execute() : nullptr;
        if (rows && rows->has_row())
            appendValue(value, rows->col("CNT"), &reported);
    });
    if (reported) {
        r.ok = false;
        r.messages << value.messages;
    } else if (r.ok && !value.isEmpty()) {
        r.rows = CStatementText::leadingInteger(value.text(0, 0));
    }
    return r;
}
