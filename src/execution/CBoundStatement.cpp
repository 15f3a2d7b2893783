#include "execution/CBoundStatement.h"

#include "core/CodePage.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"
#include "db/statement.h"
#include "execution/CVariableBinding.h"

namespace {

QByteArray ansi(const QString &text) { return codepage::fromUnicode(text, codepage::kSystemAnsi); }

} // namespace

// The value, indicator and length OCI reads at execution; the bind handle goes with the statement.
struct CBoundStatement::NumberSlot
{
    COracleNumber::Bytes value{};
    oci::sb2 indicator = oci::OCI_IND_NOTNULL;
    oci::ub2 length = COracleNumber::kSize;
    oci::OCIBind *bind = nullptr;
};

CBoundStatement::CBoundStatement(db::connection &session, const QString &text)
    : m_statement(std::make_unique<db::statement>(session, ansi(text).constData(), -1))
{
}

CBoundStatement::~CBoundStatement() = default;

int CBoundStatement::type() const { return m_statement->type(); }

QStringList CBoundStatement::bind(const std::vector<CSQLVariable> &variables)
{
    QStringList unbound;
    for (const CSQLVariable &v : variables) {
        if (v.kind != CSQLVariable::kBind)
            continue;
        const std::string name = ansi(v.name).toStdString();
        const CVariableBinding b = CVariableBinding::decide(v);
        switch (b.as) {
        case CVariableBinding::As::Number:
            if (b.number)
                bindNumber(name, *b.number);
            else
                m_statement->bind(name, db::kind_number); // NULL until a value is set
            break;
        case CVariableBinding::As::Date:
            m_statement->bind(name, db::kind_date).set_date(b.date);
            break;
        case CVariableBinding::As::String:
            m_statement->bind(name, db::kind_string).set_text(b.text);
            break;
        case CVariableBinding::As::Unbound:
            unbound << CVariableBinding::unknownTypeMessage(v);
            break;
        }
    }
    return unbound;
}

// The layer's number parameter takes a double; the bytes are bound here so that no digit is lost.
void CBoundStatement::bindNumber(const std::string &name, const COracleNumber &number)
{
    m_numbers.push_back(std::make_unique<NumberSlot>());
    NumberSlot &slot = *m_numbers.back(); // kept even if the bind fails: OCI may point at it
    slot.value = number.bytes();
    db::connection &conn = m_statement->conn();
    const oci::api *t = conn.table();
    const oci::sword s = t->OCIBindByName(m_statement->handle(), &slot.bind, conn.error_handle(),
                                          reinterpret_cast<const oci::OraText *>(name.data()),
                                          static_cast<oci::sb4>(name.size()), slot.value.data(),
                                          COracleNumber::kSize, oci::SQLT_VNU, &slot.indicator,
                                          &slot.length, nullptr, 0, nullptr, oci::OCI_DEFAULT);
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, conn.error_handle(), oci::OCI_HTYPE_ERROR, name);
}

std::unique_ptr<db::resultset> CBoundStatement::execute()
{
    if (m_statement->type() == kQuery)
        return m_statement->execute_query();
    m_statement->execute();
    return nullptr;
}
