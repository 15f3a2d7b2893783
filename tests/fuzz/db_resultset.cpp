// Drives a query through the database layer with a provider whose describe and fetch answers come
// from the input: column types, sizes and names, rows per fetch, values of any kind and length, and
// failing calls. Every outcome must be a value or a db::error.
#include "../db/ScriptedOci.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"
#include "db/statement.h"

#include <cstddef>
#include <cstdint>

namespace {

class Input {
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t word() { return static_cast<uint16_t>(byte() | (byte() << 8)); }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

const oci::ub2 kTypes[] = {oci::SQLT_CHR, oci::SQLT_NUM, oci::SQLT_LNG, oci::SQLT_DAT,
                           oci::SQLT_BIN, oci::SQLT_AFC, oci::SQLT_IBDOUBLE, oci::SQLT_RDD,
                           oci::SQLT_CLOB, oci::SQLT_ODT, oci::SQLT_TIMESTAMP, oci::SQLT_INT};
const char *const kFunctions[] = {"OCIStmtFetch", "OCIAttrGet", "OCIParamGet", "OCIDefineByPos",
                                  "OCIAttrSet", "OCINumberToText", "OCIStmtExecute"};

scripted::Value value(Input &in)
{
    switch (in.byte() % 4) {
    case 0:
        return scripted::null();
    case 1:
        return scripted::text(std::u16string(in.word() % 3000, char16_t(u'a' + in.byte() % 26)));
    case 2:
        return scripted::number(std::string(in.byte() % 30, char('0' + in.byte() % 10)));
    default:
        return scripted::date(static_cast<short>(in.word()), in.byte(), in.byte(), in.byte(),
                              in.byte(), in.byte());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    scripted::Session session;
    const int columns = 1 + in.byte() % 6;
    for (int i = 0; i < columns; ++i) {
        const uint8_t t = in.byte();
        const oci::ub2 type = t < 200 ? kTypes[t % std::size(kTypes)] : t;
        std::string name(in.byte() % 4, char('A' + in.byte() % 3));
        scripted::state().columns.push_back({name, type, in.word()});
    }
    db::set_rows_per_fetch(static_cast<oci::ub2>(in.byte() % 40));
    const int rows = in.byte() % 70;
    for (int r = 0; r < rows; ++r) {
        std::vector<scripted::Value> row;
        for (int c = 0; c < columns; ++c)
            row.push_back(value(in));
        scripted::state().rows.push_back(std::move(row));
    }
    if (const uint8_t f = in.byte(); f & 1)
        scripted::fail(kFunctions[(f >> 1) % std::size(kFunctions)], oci::OCI_ERROR, in.byte() % 8);

    try {
        db::connection conn;
        conn.open({"SCRIPTED", "u", "p", 0, oci::OCI_OBJECT, false});
        db::statement st(conn, "select");
        std::unique_ptr<db::resultset> rs = st.execute_query();
        for (int steps = 0; steps < 500 && rs->has_row(); ++steps) {
            for (db::column *c = rs->first_column(); c != nullptr; c = rs->column_after(c)) {
                try {
                    if (c->kind() == db::kind_string)
                        (void)c->text();
                    else if (c->kind() == db::kind_number)
                        (void)c->number_text();
                    else
                        (void)c->date();
                } catch (const db::error &) {
                }
            }
            if (!rs->next() && rs->reached_end())
                break;
        }
    } catch (const db::error &) {
    }
    db::set_rows_per_fetch(20);
    return 0;
}
