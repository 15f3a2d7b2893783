#include "engine/CEngineStatement.h"

#include "engine/CEngineSession.h"
#include "engine/EngineBuffers.h"
#include "engine/EngineOciErrors.h"
#include "engine/EngineValue.h"
#include "engine/OraDate.h"
#include "engine/PlsqlBlock.h"
#include "engine/SqlLexer.h"
#include "engine/StatementKind.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace engine {
namespace {

using namespace oci;

buffers::Slot slotOf(const BindHandle &b, ub4 element)
{
    buffers::Slot slot;
    const std::size_t stride = b.valueSize > 0 ? static_cast<std::size_t>(b.valueSize) : 0;
    slot.value = b.value != nullptr ? static_cast<char *>(b.value) + element * stride : nullptr;
    slot.size = b.valueSize;
    slot.dty = b.dty;
    slot.utf16 = b.charsetId == OCI_UTF16ID;
    slot.indicator = b.indicator != nullptr ? b.indicator + element : nullptr;
    slot.length = b.length != nullptr ? b.length + element : nullptr;
    slot.returnCode = b.returnCode != nullptr ? b.returnCode + element : nullptr;
    return slot;
}

std::string upperTrimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

// The text of a COMMIT or ROLLBACK statement: [WORK], and for COMMIT an optional COMMENT 'text'. Anything
// else (ROLLBACK TO a savepoint, which the engine never sets, or trailing words) is an error rather than
// a whole commit or rollback reported as done.
OraError checkTransactionText(std::string_view text, bool commit)
{
    std::vector<SqlToken> tokens;
    if (OraError error = tokenizeSql(text, tokens))
        return error;
    std::size_t i = 0;
    while (i < tokens.size() && tokens[i].isSymbol("("))
        ++i;
    ++i; // COMMIT or ROLLBACK
    if (i < tokens.size() && tokens[i].isWord("WORK"))
        ++i;
    if (!commit && i < tokens.size() && tokens[i].isWord("TO")) {
        std::size_t name = i + 1;
        if (name < tokens.size() && tokens[name].isWord("SAVEPOINT"))
            ++name;
        if (name < tokens.size() && (tokens[name].type == SqlToken::Type::Word
                                     || tokens[name].type == SqlToken::Type::QuotedIdent)) {
            const std::string shown = tokens[name].type == SqlToken::Type::Word ? upperAscii(tokens[name].text)
                                                                                  : tokens[name].text;
            return OraError::make(1086, "savepoint '" + shown
                                            + "' never established in this session or is invalid");
        }
        return OraError::standard(name < tokens.size() ? 933 : 921);
    }
    if (commit && i + 1 < tokens.size() && tokens[i].isWord("COMMENT")
        && tokens[i + 1].type == SqlToken::Type::String)
        i += 2;
    if (i < tokens.size())
        return OraError::standard(tokens[i].isSymbol(";") ? 911 : 933);
    return {};
}

bool isDml(ub2 type)
{
    return type == OCI_STMT_INSERT || type == OCI_STMT_UPDATE || type == OCI_STMT_DELETE
        || type == OCI_STMT_MERGE;
}

} // namespace

StmtHandle::StmtHandle(EnvHandle *e)
    : Handle(OCI_HTYPE_STMT, e), statement(std::make_unique<CEngineStatement>(e))
{
}

StmtHandle::~StmtHandle() = default;

CEngineStatement::CEngineStatement(EnvHandle *env) : m_env(env) {}

CEngineStatement::~CEngineStatement()
{
    resetCursor();
}

void CEngineStatement::resetCursor()
{
    if (m_cursor != nullptr)
        sqlite3_finalize(m_cursor);
    m_cursor = nullptr;
    m_session.reset();
    m_state = CursorState::None;
    m_rowPending = false;
}

void CEngineStatement::prepare(std::string_view text)
{
    resetCursor();
    m_binds.clear();
    m_bindByName.clear();
    m_defines.clear();
    m_columns.clear();
    m_described = false;
    m_rowCount = 0;
    m_rowsFetched = 0;
    m_text.assign(text);
    m_type = static_cast<ub2>(classifyStatement(m_text));
    m_translated = TranslatedSql();
    m_translateError = translateSql(m_text, m_translated);
}

sword CEngineStatement::bind(std::unique_ptr<BindHandle> bind, BindHandle *&out, OraError &error)
{
    out = nullptr;
    if (!buffers::isSupportedType(bind->dty)) {
        error = ocierr::make(3115);
        return OCI_ERROR;
    }
    if (bind->valueSize < 0) {
        error = OraError::make(21560, "argument 7 is null, invalid, or out of range");
        return OCI_ERROR;
    }
    const auto &names = m_translated.binds;
    if (!m_translateError && std::find(names.begin(), names.end(), bind->name) == names.end()) {
        error = ocierr::make(1036);
        return OCI_ERROR;
    }
    out = bind.get();
    m_bindByName[bind->name] = out;
    m_binds.push_back(std::move(bind));
    return OCI_SUCCESS;
}

sword CEngineStatement::define(std::unique_ptr<DefineHandle> define, DefineHandle *&out,
                               OraError &error)
{
    out = nullptr;
    const ub4 position = define->position;
    if (position == 0 || position > 1000 || (m_described && position > m_columns.size())) {
        error = ocierr::make(1007);
        return OCI_ERROR;
    }
    if (!buffers::isSupportedType(define->dty)) {
        error = ocierr::make(3115);
        return OCI_ERROR;
    }
    if (define->valueSize < 0 || (define->value == nullptr && define->valueSize > 0)) {
        error = OraError::make(21560, "argument 5 is null, invalid, or out of range");
        return OCI_ERROR;
    }
    if (m_defines.size() < position)
        m_defines.resize(position);
    out = define.get();
    m_defines[position - 1] = std::move(define);
    return OCI_SUCCESS;
}

OraError CEngineStatement::prepareSqlite(sqlite3 *db)
{
    if (m_cursor != nullptr)
        return {};
    const std::string &sql = m_translated.sql;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &m_cursor, nullptr);
    if (rc != SQLITE_OK) {
        OraError error = OraError::fromSqlite(db, rc);
        sqlite3_finalize(m_cursor);
        m_cursor = nullptr;
        return error;
    }
    if (m_cursor == nullptr)
        return OraError::standard(900);
    return {};
}

OraError CEngineStatement::checkBound() const
{
    for (const std::string &name : m_translated.binds) {
        if (m_bindByName.find(name) == m_bindByName.end())
            return ocierr::make(1008);
    }
    return {};
}

OraError CEngineStatement::bindElement(ub4 element)
{
    sqlite3_clear_bindings(m_cursor);
    const auto &names = m_translated.binds;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const BindHandle &b = *m_bindByName.at(names[i]);
        EngineValue value;
        if (OraError error = buffers::readValue(slotOf(b, element), value))
            return error;
        const int rc = bindEngineValue(m_cursor, static_cast<int>(i) + 1, value);
        if (rc != SQLITE_OK)
            return OraError::fromSqlite(sqlite3_db_handle(m_cursor), rc);
    }
    return {};
}

bool CEngineStatement::describeDeclaredType(std::string_view declared, ColumnInfo &info)
{
    const std::string type = upperTrimmed(declared);
    if (type.empty())
        return false;
    const std::size_t open = type.find('(');
    const std::string base = upperTrimmed(std::string_view(type).substr(0, open));
    int first = -1;
    int second = -1;
    if (open != std::string::npos) {
        const char *p = type.c_str() + open + 1;
        char *end = nullptr;
        const long n = std::strtol(p, &end, 10);
        if (end != p && n >= 0)
            first = static_cast<int>(std::min(n, 32767L));
        const std::size_t comma = type.find(',', open);
        if (comma != std::string::npos) {
            const long s = std::strtol(type.c_str() + comma + 1, &end, 10);
            second = static_cast<int>(std::clamp(s, -127L, 127L));
        }
    }
    auto startsWith = [&](std::string_view prefix) { return base.rfind(prefix, 0) == 0; };
    auto contains = [&](std::string_view part) { return base.find(part) != std::string::npos; };
    auto number = [&](sb2 precision, sb1 scale) {
        info.dataType = SQLT_NUM;
        info.dataSize = 22;
        info.precision = precision;
        info.scale = scale;
    };
    auto text = [&](ub2 dataType) {
        info.dataType = dataType;
        info.dataSize = static_cast<ub2>(first > 0 ? first : 4000);
    };

    if (base == "CLOB" || base == "NCLOB") {
        info.dataType = SQLT_CLOB;
        info.dataSize = 4000;
    } else if (base == "BLOB") {
        info.dataType = SQLT_BLOB;
        info.dataSize = 4000;
    } else if (base == "BFILE") {
        info.dataType = SQLT_BFILEE;
        info.dataSize = 530;
    } else if (base == "DATE" || startsWith("TIMESTAMP") || base == "DATETIME") {
        info.dataType = SQLT_DAT;
        info.dataSize = 7;
    } else if (base == "NUMBER" || base == "NUMERIC" || base == "DECIMAL" || base == "DEC") {
        if (first < 0)
            number(0, -127);
        else
            number(static_cast<sb2>(first), static_cast<sb1>(second < 0 ? 0 : second));
    } else if (base == "FLOAT") {
        number(static_cast<sb2>(first > 0 ? first : 126), -127);
    } else if (base == "REAL") {
        number(63, -127);
    } else if (startsWith("DOUBLE") || startsWith("BINARY_")) {
        number(126, -127);
    } else if (base == "CHAR" || base == "NCHAR" || base == "CHARACTER"
               || base == "NATIONAL CHARACTER") {
        text(SQLT_AFC);
        info.charsetForm = base.front() == 'N' ? SQLCS_NCHAR : SQLCS_IMPLICIT;
    } else if (base == "RAW") {
        info.dataType = SQLT_BIN;
        info.dataSize = static_cast<ub2>(first > 0 ? first : 2000);
    } else if (contains("CHAR") || contains("TEXT") || contains("CLOB") || base == "STRING"
               || base == "LONG") {
        text(SQLT_CHR);
        if (base.front() == 'N')
            info.charsetForm = SQLCS_NCHAR;
    } else if (contains("INT")) {
        number(38, 0);
    } else if (contains("BLOB")) {
        info.dataType = SQLT_BIN;
        info.dataSize = 2000;
    } else {
        number(0, -127); // SQLite gives every other declared type numeric affinity
    }
    return true;
}

void CEngineStatement::describe(bool haveRow)
{
    m_columns.clear();
    const int count = sqlite3_column_count(m_cursor);
    m_columns.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        ColumnInfo info;
        const char *name = sqlite3_column_name(m_cursor, i);
        info.name = name != nullptr ? name : "";
        if (!describeDeclaredType(sqlite3_column_decltype(m_cursor, i) ? sqlite3_column_decltype(m_cursor, i) : "",
                                  info)) {
            const int type = haveRow ? sqlite3_column_type(m_cursor, i) : SQLITE_NULL;
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                info.dataType = SQLT_NUM;
                info.dataSize = 22;
                info.scale = -127;
            } else if (type == SQLITE_TEXT
                       && OraDate::isStorageText(std::string_view(
                           reinterpret_cast<const char *>(sqlite3_column_text(m_cursor, i)),
                           static_cast<std::size_t>(sqlite3_column_bytes(m_cursor, i))))) {
                info.dataType = SQLT_DAT;
                info.dataSize = 7;
            } else if (type == SQLITE_BLOB) {
                info.dataType = SQLT_BIN;
                info.dataSize = 2000;
            }
        }
        m_columns.push_back(std::move(info));
    }
    m_described = true;
}

sword CEngineStatement::columns(const std::vector<ColumnInfo> *&out, OraError &error)
{
    out = nullptr;
    if (!m_described) {
        error = ocierr::make(24338);
        return OCI_ERROR;
    }
    out = &m_columns;
    return OCI_SUCCESS;
}

sword CEngineStatement::execute(const std::shared_ptr<CEngineSession> &session, ub4 iterations,
                                ub4 rowOffset, ub4 mode, OraError &error)
{
    if (!session || session->isEnded()) {
        error = ocierr::make(1012);
        return OCI_ERROR;
    }
    if (m_session != session) {
        resetCursor();
        m_session = session;
    }
    const bool isQuery = m_type == OCI_STMT_SELECT && !m_translated.isPlsql;
    if (!isQuery && iterations == 0) {
        error = ocierr::make(24333);
        return OCI_ERROR;
    }

    sword status = OCI_SUCCESS;
    if (m_type == OCI_STMT_COMMIT || m_type == OCI_STMT_ROLLBACK) {
        if ((error = checkTransactionText(m_text, m_type == OCI_STMT_COMMIT)))
            return OCI_ERROR;
        error = m_type == OCI_STMT_COMMIT ? session->commit() : session->rollback();
        m_rowCount = 0;
        status = error ? OCI_ERROR : OCI_SUCCESS;
    } else if (m_translateError) {
        error = m_translateError;
        return OCI_ERROR;
    } else if (OraError unbound = checkBound()) {
        error = unbound;
        return OCI_ERROR;
    } else if (m_translated.isPlsql) {
        status = executeBlock(mode, error);
    } else if (isQuery) {
        status = executeQuery(iterations, mode, error);
    } else {
        status = executeDml(iterations, rowOffset, error);
    }

    if ((status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO)
        && (mode & OCI_COMMIT_ON_SUCCESS) != 0) {
        if (OraError failed = session->commit()) {
            error = failed;
            return OCI_ERROR;
        }
    }
    return status;
}

sword CEngineStatement::executeQuery(ub4 iterations, ub4 mode, OraError &error)
{
    if (m_cursor != nullptr)
        sqlite3_reset(m_cursor);
    m_state = CursorState::None;
    m_rowPending = false;
    m_rowCount = 0;
    m_rowsFetched = 0;
    if ((error = prepareSqlite(m_session->db())))
        return OCI_ERROR;
    if ((mode & OCI_DESCRIBE_ONLY) != 0) {
        describe(false);
        return OCI_SUCCESS;
    }
    if ((error = bindElement(0)))
        return OCI_ERROR;
    const int rc = sqlite3_step(m_cursor);
    if (rc == SQLITE_ROW) {
        m_rowPending = true;
        m_state = CursorState::Open;
    } else if (rc == SQLITE_DONE) {
        m_state = CursorState::Open;
    } else {
        error = OraError::fromSqlite(m_session->db(), rc);
        sqlite3_reset(m_cursor);
        return OCI_ERROR;
    }
    describe(m_rowPending);
    if (!m_rowPending)
        sqlite3_reset(m_cursor); // releases the read snapshot; the cursor is known to be empty
    m_atEnd = !m_rowPending;
    if (iterations == 0)
        return OCI_SUCCESS;
    return fetchRows(iterations, error);
}

sword CEngineStatement::executeDml(ub4 iterations, ub4 rowOffset, OraError &error)
{
    CEngineSession &session = *m_session;
    const bool ddl = isDdlStatement(m_text);
    if (ddl) {
        if ((error = session.commit()))
            return OCI_ERROR;
        if (m_cursor != nullptr) {
            sqlite3_finalize(m_cursor); // DDL may change what the translation refers to
            m_cursor = nullptr;
        }
    }
    if ((error = prepareSqlite(session.db())))
        return OCI_ERROR;
    bool opened = false;
    if (isDml(m_type) && (error = session.beginWrite(&opened)))
        return OCI_ERROR;

    std::uint64_t affected = 0;
    for (ub4 element = rowOffset; element < iterations; ++element) {
        sqlite3_reset(m_cursor);
        if ((error = bindElement(element)))
            break;
        int rc = SQLITE_ROW;
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(m_cursor);
        if (rc != SQLITE_DONE) {
            error = OraError::fromSqlite(session.db(), rc);
            break;
        }
        affected += static_cast<std::uint64_t>(sqlite3_changes64(session.db()));
    }
    sqlite3_reset(m_cursor);
    if (ddl) {
        sqlite3_finalize(m_cursor);
        m_cursor = nullptr;
    }
    m_rowCount = affected;
    // A transaction this statement opened and that changed nothing is closed again, so an idle
    // session never holds the database's write lock.
    if (opened && affected == 0)
        error ? (void)session.rollback() : (void)session.commit();
    return error ? OCI_ERROR : OCI_SUCCESS;
}

sword CEngineStatement::executeBlock(ub4 mode, OraError &error)
{
    (void)mode;
    CEngineSession &session = *m_session;
    PlsqlBinds values;
    for (const std::string &name : m_translated.binds) {
        EngineValue value;
        if ((error = buffers::readValue(slotOf(*m_bindByName.at(name), 0), value)))
            return OCI_ERROR;
        values.emplace(name, std::move(value));
    }
    const PlsqlBinds inputs = values;

    // Oracle runs a block as one statement: when it fails, what it changed since it started (or since
    // its last COMMIT or ROLLBACK) is undone and the transaction around it stays as it was. A savepoint
    // set at the block's first write gives that.
    bool savepoint = false;  // the block's savepoint is set
    bool openedHere = false; // the write that set it also opened the transaction
    PlsqlSession context;
    context.db = session.db();
    context.output = &session.output();
    context.beforeDml = [&] {
        bool opened = false;
        if (OraError failed = session.beginWrite(&opened))
            return failed;
        if (!savepoint) {
            const int rc = sqlite3_exec(session.db(), "SAVEPOINT TARVOLO_BLOCK", nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK)
                return OraError::fromSqlite(session.db(), rc);
            savepoint = true;
            openedHere = opened;
        }
        return OraError();
    };
    context.commit = [&] {
        savepoint = false;
        return session.commit();
    };
    context.rollback = [&] {
        savepoint = false;
        return session.rollback();
    };
    error = executePlsqlBlock(context, m_text, values);
    if (savepoint && session.inTransaction()) {
        if (error && openedHere) {
            (void)session.rollback(); // the transaction holds only the block's work
        } else {
            if (error)
                sqlite3_exec(session.db(), "ROLLBACK TO TARVOLO_BLOCK", nullptr, nullptr, nullptr);
            sqlite3_exec(session.db(), "RELEASE TARVOLO_BLOCK", nullptr, nullptr, nullptr);
        }
    }
    m_rowCount = error ? 0 : 1;
    if (error)
        return error.code() == 1403 ? OCI_NO_DATA : OCI_ERROR;

    for (const auto &[name, value] : values) {
        const auto bound = m_bindByName.find(name);
        if (bound == m_bindByName.end() || bound->second->value == nullptr)
            continue;
        const auto input = inputs.find(name);
        if (input != inputs.end() && input->second == value)
            continue;
        buffers::Stored stored = buffers::Stored::Value;
        OraError failed = buffers::storeValue(slotOf(*bound->second, 0), value, stored);
        if (!failed && stored == buffers::Stored::Truncated)
            failed = ocierr::bufferTooSmall();
        if (failed && !error)
            error = failed;
    }
    return error ? OCI_ERROR : OCI_SUCCESS;
}

sword CEngineStatement::fetch(ub4 rows, ub2 orientation, OraError &error)
{
    if (orientation != 0 && orientation != OCI_FETCH_NEXT) {
        error = ocierr::make(24391);
        return OCI_ERROR;
    }
    return fetchRows(rows, error);
}

sword CEngineStatement::fetchRows(ub4 rows, OraError &error)
{
    m_rowsFetched = 0;
    if (m_state == CursorState::None) {
        error = ocierr::make(m_described ? 1002 : 24338);
        return OCI_ERROR;
    }
    if (m_state == CursorState::Exhausted || !m_session || m_session->isEnded()) {
        error = ocierr::make(m_session && m_session->isEnded() ? 1012 : 1002);
        return OCI_ERROR;
    }
    const bool anyDefine = std::any_of(m_defines.begin(), m_defines.end(),
                                       [](const auto &d) { return d != nullptr; });
    if (!anyDefine) {
        error = ocierr::make(24374);
        return OCI_ERROR;
    }

    bool truncated = false;
    ub4 row = 0;
    for (; row < rows; ++row) {
        if (!m_rowPending) {
            if (m_atEnd)
                break;
            const int rc = sqlite3_step(m_cursor);
            if (rc == SQLITE_DONE) {
                m_atEnd = true;
                sqlite3_reset(m_cursor);
                break;
            }
            if (rc != SQLITE_ROW) {
                error = OraError::fromSqlite(m_session->db(), rc);
                sqlite3_reset(m_cursor);
                m_atEnd = true;
                m_rowsFetched = row;
                m_rowCount += row;
                return OCI_ERROR;
            }
            m_rowPending = true;
        }
        for (const auto &d : m_defines) {
            if (d == nullptr || d->position > m_columns.size())
                continue;
            buffers::Stored stored = buffers::Stored::Value;
            if (OraError failed = buffers::storeColumn(slotOf(*d, row), m_cursor,
                                                       static_cast<int>(d->position) - 1, stored)) {
                error = failed;
                m_rowPending = false;
                m_rowsFetched = row;
                m_rowCount += row;
                return OCI_ERROR;
            }
            truncated = truncated || stored == buffers::Stored::Truncated;
        }
        m_rowPending = false;
    }
    m_rowsFetched = row;
    m_rowCount += row;
    if (row < rows) {
        m_state = CursorState::Exhausted;
        error = ocierr::make(1403);
        return OCI_NO_DATA;
    }
    if (truncated) {
        error = ocierr::make(24345);
        return OCI_SUCCESS_WITH_INFO;
    }
    return OCI_SUCCESS;
}

} // namespace engine
