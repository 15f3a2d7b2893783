// The engine's OCI surface with hostile buffers: bind values of every external type taken raw from
// the input (malformed NUMBER and DATE bytes, unterminated and odd-sized UTF-16 text, any indicator),
// defines of every type and size, array executes and fetches in any order. Statement texts are a
// fixed set, so the engine's buffer handling is what gets exercised.
#include "engine/EngineOci.h"

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace oci;

namespace {

const char *const kStatements[] = {
    "SELECT N, S, D FROM T WHERE N > :A OR S = :B OR D = :C",
    "INSERT INTO T (N, S, D) VALUES (:A, :B, :C)",
    "BEGIN :A := :B; :C := :A; END;",
    "BEGIN dbms_output.enable(NULL); dbms_output.put_line(:A); dbms_output.get_line(:B, :C); END;",
    "SELECT :A, :B, :C FROM DUAL",
    "UPDATE T SET S = :B, D = :C WHERE N = :A",
    "DELETE FROM T WHERE N = :A AND S = :B AND D = :C",
};
const ub2 kTypes[] = {SQLT_STR, SQLT_VNU, SQLT_ODT, SQLT_CHR, SQLT_AFC, SQLT_NUM,
                      SQLT_INT, SQLT_FLT, SQLT_DAT, SQLT_UIN, SQLT_AVC, 999};

struct Session {
    const api *t = &engine::ociTable();
    OCIEnv *env = nullptr;
    OCIError *err = nullptr;
    OCIServer *server = nullptr;
    OCISvcCtx *svc = nullptr;
    OCISession *user = nullptr;
};

Session &session()
{
    static Session s = [] {
        Session s;
        char folder[] = "/tmp/tarvolo_fuzz_oci_XXXXXX";
        if (mkdtemp(folder) == nullptr)
            std::abort();
        const std::string path = std::string(folder) + "/FUZZ.db";
        sqlite3 *db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db,
                     "CREATE TABLE T (N NUMBER, S VARCHAR2(10), D DATE);"
                     "INSERT INTO T VALUES (1, 'one', '2024-01-01 00:00:00'), (2.5, NULL, NULL),"
                     "(-3, 'three', '1999-12-31 23:59:59');",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        setenv("TARVOLO_DATABASES", folder, 1);
        const api &t = *s.t;
        t.OCIEnvCreate(&s.env, OCI_OBJECT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
        t.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&s.err), OCI_HTYPE_ERROR, 0, nullptr);
        t.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&s.server), OCI_HTYPE_SERVER, 0, nullptr);
        t.OCIServerAttach(s.server, s.err, reinterpret_cast<const OraText *>("FUZZ"), 4, 0);
        t.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&s.svc), OCI_HTYPE_SVCCTX, 0, nullptr);
        t.OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, s.server, 0, OCI_ATTR_SERVER, s.err);
        t.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&s.user), OCI_HTYPE_SESSION, 0, nullptr);
        if (t.OCISessionBegin(s.svc, s.err, s.user, OCI_CRED_RDBMS, OCI_DEFAULT) != OCI_SUCCESS)
            std::abort();
        t.OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, s.user, 0, OCI_ATTR_SESSION, s.err);
        return s;
    }();
    return s;
}

// Reads the input front to back; past its end every read gives zero.
struct Reader {
    const std::uint8_t *data;
    std::size_t size;
    std::uint8_t byte() { return size > 0 ? (--size, *data++) : 0; }
    void bytes(void *out, std::size_t n)
    {
        std::memset(out, 0, n);
        const std::size_t k = n < size ? n : size;
        std::memcpy(out, data, k);
        data += k;
        size -= k;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Session &s = session();
    const api &t = *s.t;
    Reader in{data, size};
    const char *sql = kStatements[in.byte() % (sizeof kStatements / sizeof *kStatements)];

    OCIStmt *stmt = nullptr;
    t.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    t.OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText *>(sql),
                     static_cast<ub4>(std::strlen(sql)), OCI_NTV_SYNTAX, OCI_DEFAULT);

    constexpr int Elements = 3;
    struct Bound {
        alignas(8) std::uint8_t value[Elements][48];
        std::array<sb2, Elements> ind{};
        std::array<ub2, Elements> len{};
        std::array<ub2, Elements> rcode{};
    };
    std::array<Bound, 3> binds{};
    const char *names[] = {":A", ":b", ":C"};
    for (int i = 0; i < 3; ++i) {
        Bound &b = binds[std::size_t(i)];
        const ub2 dty = kTypes[in.byte() % (sizeof kTypes / sizeof *kTypes)];
        const sb4 valueSize = 1 + in.byte() % 48;
        in.bytes(b.value, sizeof b.value);
        for (int e = 0; e < Elements; ++e) {
            b.ind[std::size_t(e)] = static_cast<sb2>(static_cast<std::int8_t>(in.byte()));
            b.len[std::size_t(e)] = in.byte() % 64;
        }
        OCIBind *bind = nullptr;
        t.OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText *>(names[i]), -1, b.value,
                        valueSize, dty, b.ind.data(), b.len.data(), b.rcode.data(), 0, nullptr, 0);
        if (bind != nullptr && (in.byte() & 1)) {
            ub4 charset = OCI_UTF16ID;
            t.OCIAttrSet(bind, OCI_HTYPE_BIND, &charset, 4, OCI_ATTR_CHARSET_ID, s.err);
        }
    }

    ub2 type = 0;
    t.OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, s.err);
    const ub4 iters = in.byte() % (Elements + 1);
    const sword status = t.OCIStmtExecute(s.svc, stmt, s.err, iters, 0, nullptr, nullptr, 0);

    if (type == OCI_STMT_SELECT && (status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO)) {
        constexpr int Rows = 4;
        struct Defined {
            alignas(8) std::uint8_t value[Rows][40];
            std::array<sb2, Rows> ind{};
            std::array<ub2, Rows> len{};
            std::array<ub2, Rows> rcode{};
        };
        std::array<Defined, 3> defines{};
        for (ub4 pos = 1; pos <= 3; ++pos) {
            Defined &d = defines[pos - 1];
            const ub2 dty = kTypes[in.byte() % (sizeof kTypes / sizeof *kTypes)];
            const sb4 valueSize = 1 + in.byte() % 40;
            const std::uint8_t flags = in.byte();
            OCIDefine *define = nullptr;
            t.OCIDefineByPos(stmt, &define, s.err, pos, d.value, valueSize, dty,
                             (flags & 1) ? d.ind.data() : nullptr, (flags & 2) ? d.len.data() : nullptr,
                             (flags & 4) ? d.rcode.data() : nullptr, 0);
            if (define != nullptr && (flags & 8)) {
                ub2 charset = OCI_UTF16ID;
                t.OCIAttrSet(define, OCI_HTYPE_DEFINE, &charset, 2, OCI_ATTR_CHARSET_ID, s.err);
            }
        }
        for (int f = 0; f < 4; ++f)
            t.OCIStmtFetch(stmt, s.err, 1 + in.byte() % Rows, OCI_FETCH_NEXT, 0);
    }
    OraText message[256];
    sb4 code = 0;
    t.OCIErrorGet(s.err, 1, nullptr, &code, message, sizeof message, OCI_HTYPE_ERROR);
    t.OCIHandleFree(stmt, OCI_HTYPE_STMT);

    // Keep the table small and the session free of open transactions.
    OCIStmt *rollback = nullptr;
    t.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&rollback), OCI_HTYPE_STMT, 0, nullptr);
    t.OCIStmtPrepare(rollback, s.err, reinterpret_cast<const OraText *>("ROLLBACK"), 8, OCI_NTV_SYNTAX, 0);
    t.OCIStmtExecute(s.svc, rollback, s.err, 1, 0, nullptr, nullptr, 0);
    t.OCIHandleFree(rollback, OCI_HTYPE_STMT);
    return 0;
}
