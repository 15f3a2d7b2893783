#include "engine/EngineOci.h"

#include "core/CodePage.h"
#include "engine/CEngineSession.h"
#include "engine/CEngineStatement.h"
#include "engine/EngineDatabases.h"
#include "engine/EngineFaultHook.h"
#include "engine/EngineHandles.h"
#include "engine/EngineOciErrors.h"
#include "engine/OraDate.h"
#include "engine/OraNumber.h"
#include "engine/SqlTranslator.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <type_traits>
#include <unordered_set>

namespace engine {

using namespace oci;

namespace {

std::mutex &liveMutex()
{
    static std::mutex m;
    return m;
}

std::unordered_set<const void *> &liveHandles()
{
    static std::unordered_set<const void *> handles;
    return handles;
}

} // namespace

bool isLiveHandle(const void *p)
{
    std::lock_guard<std::mutex> lock(liveMutex());
    return liveHandles().count(p) > 0;
}

Handle::Handle(ub4 handleType, EnvHandle *environment) : type(handleType), env(environment)
{
    std::lock_guard<std::mutex> lock(liveMutex());
    liveHandles().insert(static_cast<const void *>(this));
}

Handle::~Handle()
{
    tag = 0;
    std::lock_guard<std::mutex> lock(liveMutex());
    liveHandles().erase(static_cast<const void *>(this));
}

EnvHandle::~EnvHandle()
{
    // Children go before what they depend on: descriptors and statements, then sessions, then the rest.
    auto freeWhere = [this](auto predicate) {
        std::vector<Handle *> doomed;
        for (Handle *h : children) {
            if (predicate(h))
                doomed.push_back(h);
        }
        for (Handle *h : doomed) {
            children.erase(h);
            delete h;
        }
    };
    freeWhere([](Handle *h) { return h->type == kParamType || h->type == OCI_HTYPE_STMT; });
    freeWhere([](Handle *h) { return h->type == OCI_HTYPE_SESSION; });
    freeWhere([](Handle *) { return true; });
}

bool EnvHandle::freeChild(Handle *child)
{
    if (children.erase(child) == 0)
        return false;
    for (Handle *h : children) {
        if (h->type != OCI_HTYPE_SVCCTX)
            continue;
        auto *svc = static_cast<SvcCtxHandle *>(h);
        if (svc->server == child)
            svc->server = nullptr;
        if (svc->session == child)
            svc->session = nullptr;
    }
    delete child;
    return true;
}

namespace {

// The engine handle behind p when it is live and of the given type, else null.
template <typename T>
T *as(const void *p, ub4 type)
{
    if (p == nullptr || !isLiveHandle(p))
        return nullptr;
    auto *h = static_cast<Handle *>(const_cast<void *>(p));
    if (h->tag != kHandleTag)
        return nullptr;
    if (h->type != type && !(type == kParamType && h->type == kParamType))
        return nullptr;
    return static_cast<T *>(h);
}

ParamHandle *asParam(const void *p, ub4 type)
{
    if (type != OCI_DTYPE_PARAM && type != OCI_HTYPE_DESCRIBE)
        return nullptr;
    return as<ParamHandle>(p, kParamType);
}

ErrorHandle *errorOf(OCIError *errhp)
{
    ErrorHandle *err = as<ErrorHandle>(errhp, OCI_HTYPE_ERROR);
    if (err != nullptr)
        err->record = OraError();
    return err;
}

sword fail(ErrorHandle *err, OraError error, sword status = OCI_ERROR)
{
    if (err != nullptr)
        err->record = std::move(error);
    return status;
}

sword report(ErrorHandle *err, sword status, OraError error)
{
    if (err != nullptr && error)
        err->record = std::move(error);
    return status;
}

template <typename T>
void put(void *target, T value)
{
    std::memcpy(target, &value, sizeof value);
}

void putText(void *attributep, ub4 *sizep, const std::string &text)
{
    put(attributep, reinterpret_cast<const OraText *>(text.c_str()));
    if (sizep != nullptr)
        *sizep = static_cast<ub4>(text.size());
}

// Narrow text crosses the interface in the system code page; the engine works in UTF-8.
bool narrowIsUtf8()
{
    static const bool utf8 = codepage::systemWriteCodePage() == codepage::kUtf8;
    return utf8;
}

std::string fromNarrow(std::string_view text)
{
    if (narrowIsUtf8())
        return std::string(text);
    return codepage::toUnicode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())),
                               codepage::kSystemAnsi)
        .toUtf8()
        .toStdString();
}

std::string toNarrow(const std::string &text)
{
    if (narrowIsUtf8())
        return text;
    return codepage::fromUnicode(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                                 codepage::kSystemAnsi)
        .toStdString();
}

std::string textArg(const void *text, sb4 length)
{
    if (text == nullptr)
        return {};
    const char *p = static_cast<const char *>(text);
    return fromNarrow(length < 0 ? std::string_view(p) : std::string_view(p, static_cast<std::size_t>(length)));
}

ub2 charsetArg(const void *value, ub4 size)
{
    if (size == 4) {
        ub4 v;
        std::memcpy(&v, value, 4);
        return static_cast<ub2>(v);
    }
    ub2 v;
    std::memcpy(&v, value, 2);
    return v;
}

std::optional<OraNumber> numberOf(const OCINumber *number)
{
    if (number == nullptr)
        return std::nullopt;
    const std::size_t size = std::min<std::size_t>(number->OCINumberPart[0] + 1u, OCI_NUMBER_SIZE);
    return OraNumber::fromBytes(number->OCINumberPart, size);
}

constexpr std::size_t kTmFixedLimit = 64; // TM switches to scientific notation beyond this

bool isTmFormat(std::string_view format)
{
    auto is = [&](std::string_view f) {
        return format.size() == f.size()
            && std::equal(format.begin(), format.end(), f.begin(),
                          [](char a, char b) { return (a & ~0x20) == (b & ~0x20); });
    };
    return is("TM") || is("TM9");
}

// Oracle's TM text of a NUMBER straight from its bytes, in fixed notation, into out (at least
// kTmFixedLimit bytes). Returns its length, or 0 when the value needs the general formatter
// (scientific notation, malformed bytes).
std::size_t tmFixedText(const OCINumber &number, char *out)
{
    const ub1 *b = number.OCINumberPart;
    const unsigned length = b[0];
    if (length == 0 || length > 21)
        return 0;
    if (length == 1) {
        if (b[1] != 0x80)
            return 0;
        out[0] = '0';
        return 1;
    }
    const bool positive = (b[1] & 0x80) != 0;
    int exponent = positive ? int(b[1]) - 193 : 62 - int(b[1]);
    unsigned end = length + 1;
    if (!positive && b[end - 1] == 102)
        --end;
    char digits[44];
    std::size_t n = 0;
    for (unsigned i = 2; i < end; ++i) {
        const int d = positive ? int(b[i]) - 1 : 101 - int(b[i]);
        if (d < 0 || d > 99)
            return 0;
        digits[n++] = char('0' + d / 10);
        digits[n++] = char('0' + d % 10);
    }
    if (n == 0)
        return 0;
    int pointAt = 2 * (exponent + 1); // digits before the decimal point
    std::size_t first = 0;
    if (digits[0] == '0') {
        first = 1;
        --pointAt;
    }
    while (n > first && digits[n - 1] == '0')
        --n;
    const char *d = digits + first;
    const int count = int(n - first);
    if (count <= 0)
        return 0;
    const int size = (positive ? 0 : 1)
        + (pointAt >= count ? pointAt : pointAt > 0 ? count + 1 : 1 - pointAt + count);
    if (size > int(kTmFixedLimit))
        return 0;
    char *p = out;
    if (!positive)
        *p++ = '-';
    if (pointAt >= count) {
        std::memcpy(p, d, std::size_t(count));
        p += count;
        std::memset(p, '0', std::size_t(pointAt - count));
        p += pointAt - count;
    } else if (pointAt > 0) {
        std::memcpy(p, d, std::size_t(pointAt));
        p += pointAt;
        *p++ = '.';
        std::memcpy(p, d + pointAt, std::size_t(count - pointAt));
        p += count - pointAt;
    } else {
        *p++ = '.';
        std::memset(p, '0', std::size_t(-pointAt));
        p += -pointAt;
        std::memcpy(p, d, std::size_t(count));
        p += count;
    }
    return std::size_t(p - out);
}

// ---- environment and handles ----

sword envNlsCreate(OCIEnv **envp, ub4 mode, void *, malocfp_t, ralocfp_t, mfreefp_t,
                   size_t xtramem_sz, void **usrmempp, ub2 charset, ub2 ncharset)
{
    if (envp == nullptr)
        return OCI_INVALID_HANDLE;
    *envp = nullptr;
    std::unique_ptr<EnvHandle> env(new (std::nothrow) EnvHandle());
    if (env == nullptr)
        return OCI_ERROR;
    env->mode = mode;
    env->charset = charset;
    env->ncharset = ncharset;
    if (xtramem_sz > 0 && usrmempp != nullptr) {
        env->userMemory.assign(xtramem_sz, 0);
        *usrmempp = env->userMemory.data();
    }
    *envp = reinterpret_cast<OCIEnv *>(env.release());
    return OCI_SUCCESS;
}

sword envCreate(OCIEnv **envp, ub4 mode, void *ctxp, malocfp_t malocfp, ralocfp_t ralocfp,
                mfreefp_t mfreefp, size_t xtramem_sz, void **usrmempp)
{
    return envNlsCreate(envp, mode, ctxp, malocfp, ralocfp, mfreefp, xtramem_sz, usrmempp, 0, 0);
}

sword handleAlloc(const void *parenth, void **hndlpp, const ub4 type, const size_t, void **usrmempp)
{
    EnvHandle *env = as<EnvHandle>(parenth, OCI_HTYPE_ENV);
    if (env == nullptr || hndlpp == nullptr)
        return OCI_INVALID_HANDLE;
    env->record = OraError();
    Handle *h = nullptr;
    switch (type) {
    case OCI_HTYPE_ERROR: h = new ErrorHandle(env); break;
    case OCI_HTYPE_SERVER: h = new ServerHandle(env); break;
    case OCI_HTYPE_SVCCTX: h = new SvcCtxHandle(env); break;
    case OCI_HTYPE_SESSION: h = new SessionHandle(env); break;
    case OCI_HTYPE_STMT: h = new StmtHandle(env); break;
    case OCI_HTYPE_DESCRIBE:
    case OCI_HTYPE_TRANS: h = new PlainHandle(type, env); break;
    default:
        *hndlpp = nullptr;
        env->record = OraError::make(32166, "illegal handle type");
        return OCI_ERROR;
    }
    env->children.insert(h);
    *hndlpp = h;
    if (usrmempp != nullptr)
        *usrmempp = nullptr;
    return OCI_SUCCESS;
}

sword handleFree(void *hndlp, const ub4 type)
{
    if (type == OCI_HTYPE_ENV) {
        EnvHandle *env = as<EnvHandle>(hndlp, OCI_HTYPE_ENV);
        if (env == nullptr)
            return OCI_INVALID_HANDLE;
        delete env;
        return OCI_SUCCESS;
    }
    if (type == OCI_HTYPE_BIND || type == OCI_HTYPE_DEFINE || type == kParamType)
        return OCI_INVALID_HANDLE; // owned by their statement; parameters go through OCIDescriptorFree
    Handle *h = as<Handle>(hndlp, type);
    if (h == nullptr || !h->env->freeChild(h))
        return OCI_INVALID_HANDLE;
    return OCI_SUCCESS;
}

sword descriptorFree(void *descp, const ub4 type)
{
    ParamHandle *param = asParam(descp, type);
    if (param == nullptr || !param->env->freeChild(param))
        return OCI_INVALID_HANDLE;
    return OCI_SUCCESS;
}

// ---- attributes ----

sword attrSet(void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 size, ub4 attrtype,
              OCIError *errhp)
{
    ErrorHandle *err = errorOf(errhp);
    switch (trghndltyp) {
    case OCI_HTYPE_SVCCTX: {
        auto *svc = as<SvcCtxHandle>(trgthndlp, trghndltyp);
        if (svc == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_SERVER) {
            auto *server = as<ServerHandle>(attributep, OCI_HTYPE_SERVER);
            if (attributep != nullptr && server == nullptr)
                return OCI_INVALID_HANDLE;
            svc->server = server;
            return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_SESSION) {
            auto *session = as<SessionHandle>(attributep, OCI_HTYPE_SESSION);
            if (attributep != nullptr && session == nullptr)
                return OCI_INVALID_HANDLE;
            svc->session = session;
            return OCI_SUCCESS;
        }
        break;
    }
    case OCI_HTYPE_SESSION: {
        auto *session = as<SessionHandle>(trgthndlp, trghndltyp);
        if (session == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_USERNAME || attrtype == OCI_ATTR_PASSWORD) {
            std::string value = textArg(attributep, static_cast<sb4>(size));
            (attrtype == OCI_ATTR_USERNAME ? session->userName : session->password) = std::move(value);
            return OCI_SUCCESS;
        }
        break;
    }
    case OCI_HTYPE_SERVER: {
        auto *server = as<ServerHandle>(trgthndlp, trghndltyp);
        if (server == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_NONBLOCKING_MODE) {
            // A toggle, as in a client: the value passed is ignored.
            server->nonBlocking = server->nonBlocking != 0 ? 0 : 1;
            return OCI_SUCCESS;
        }
        break;
    }
    case OCI_HTYPE_BIND:
    case OCI_HTYPE_DEFINE: {
        auto *bind = as<BindHandle>(trgthndlp, trghndltyp);
        if (bind == nullptr)
            return OCI_INVALID_HANDLE;
        if (attributep == nullptr)
            break;
        if (attrtype == OCI_ATTR_CHARSET_ID) {
            bind->charsetId = charsetArg(attributep, size);
            return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_CHARSET_FORM) {
            bind->charsetForm = *static_cast<ub1 *>(attributep);
            return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_MAXDATA_SIZE) {
            std::memcpy(&bind->maxDataSize, attributep, sizeof(ub4));
            return OCI_SUCCESS;
        }
        break;
    }
    case OCI_HTYPE_STMT:
        if (as<StmtHandle>(trgthndlp, trghndltyp) == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_PREFETCH_ROWS)
            return OCI_SUCCESS; // rows come straight from the cursor; nothing to prefetch
        break;
    case OCI_HTYPE_ENV:
        if (as<EnvHandle>(trgthndlp, trghndltyp) == nullptr)
            return OCI_INVALID_HANDLE;
        break;
    default:
        if (as<Handle>(trgthndlp, trghndltyp) == nullptr)
            return OCI_INVALID_HANDLE;
        break;
    }
    return fail(err, ocierr::make(24315));
}

sword attrGet(const void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 *sizep, ub4 attrtype,
              OCIError *errhp)
{
    ErrorHandle *err = errorOf(errhp);
    if (attributep == nullptr)
        return fail(err, ocierr::make(24315));
    if (ParamHandle *param = asParam(trgthndlp, trghndltyp)) {
        const ColumnInfo &c = param->column;
        switch (attrtype) {
        case OCI_ATTR_DATA_SIZE: put<ub2>(attributep, c.dataSize); return OCI_SUCCESS;
        case OCI_ATTR_DATA_TYPE: put<ub2>(attributep, c.dataType); return OCI_SUCCESS;
        case OCI_ATTR_NAME: putText(attributep, sizep, c.name); return OCI_SUCCESS;
        case OCI_ATTR_PRECISION: put<sb2>(attributep, c.precision); return OCI_SUCCESS;
        case OCI_ATTR_SCALE: put<sb1>(attributep, c.scale); return OCI_SUCCESS;
        case OCI_ATTR_IS_NULL: put<ub1>(attributep, c.nullable); return OCI_SUCCESS;
        case OCI_ATTR_CHARSET_FORM: put<ub1>(attributep, c.charsetForm); return OCI_SUCCESS;
        case OCI_ATTR_CHAR_USED: put<ub1>(attributep, 0); return OCI_SUCCESS;
        case OCI_ATTR_CHAR_SIZE:
            put<ub2>(attributep, c.dataType == SQLT_CHR || c.dataType == SQLT_AFC ? c.dataSize : 0);
            return OCI_SUCCESS;
        default:
            return fail(err, ocierr::make(24315));
        }
    }
    switch (trghndltyp) {
    case OCI_HTYPE_STMT: {
        auto *stmt = as<StmtHandle>(trgthndlp, trghndltyp);
        if (stmt == nullptr)
            return OCI_INVALID_HANDLE;
        const CEngineStatement &s = *stmt->statement;
        switch (attrtype) {
        case OCI_ATTR_STMT_TYPE: put<ub2>(attributep, s.statementType()); return OCI_SUCCESS;
        case OCI_ATTR_ROW_COUNT:
            put<ub4>(attributep, static_cast<ub4>(std::min<std::uint64_t>(s.rowCount(), 0xFFFFFFFFu)));
            return OCI_SUCCESS;
        case OCI_ATTR_UB8_ROW_COUNT: put<ub8>(attributep, s.rowCount()); return OCI_SUCCESS;
        case OCI_ATTR_PARAM_COUNT: put<ub4>(attributep, s.paramCount()); return OCI_SUCCESS;
        case OCI_ATTR_ROWS_FETCHED: put<ub4>(attributep, s.rowsFetched()); return OCI_SUCCESS;
        case OCI_ATTR_PREFETCH_ROWS: put<ub4>(attributep, 1); return OCI_SUCCESS;
        case OCI_ATTR_PARSE_ERROR_OFFSET: put<ub2>(attributep, 0); return OCI_SUCCESS;
        case OCI_ATTR_STATEMENT: putText(attributep, sizep, s.text()); return OCI_SUCCESS;
        default: break;
        }
        break;
    }
    case OCI_HTYPE_SVCCTX: {
        auto *svc = as<SvcCtxHandle>(trgthndlp, trghndltyp);
        if (svc == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_SERVER) {
            put<void *>(attributep, svc->server);
            return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_SESSION) {
            put<void *>(attributep, svc->session);
            return OCI_SUCCESS;
        }
        break;
    }
    case OCI_HTYPE_SESSION: {
        auto *session = as<SessionHandle>(trgthndlp, trghndltyp);
        if (session == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_USERNAME) {
            putText(attributep, sizep, session->userName);
            return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_TRANSACTION_IN_PROGRESS) {
            const bool open = session->session && !session->session->isEnded()
                && session->session->inTransaction();
            put<boolean>(attributep, open ? 1 : 0);
            return OCI_SUCCESS;
        }
        break;
    }
    case OCI_HTYPE_SERVER: {
        auto *server = as<ServerHandle>(trgthndlp, trghndltyp);
        if (server == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_SERVER_STATUS) {
            put<ub4>(attributep, server->databasePath.empty() ? OCI_SERVER_NOT_CONNECTED
                                                              : OCI_SERVER_NORMAL);
            return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_NONBLOCKING_MODE) {
            put<ub1>(attributep, server->nonBlocking);
            return OCI_SUCCESS;
        }
        break;
    }
    case OCI_HTYPE_BIND:
    case OCI_HTYPE_DEFINE: {
        auto *bind = as<BindHandle>(trgthndlp, trghndltyp);
        if (bind == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_CHARSET_ID) {
            put<ub2>(attributep, bind->charsetId != 0 ? bind->charsetId : OCI_CHARSET_AL32UTF8);
            return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_MAXDATA_SIZE) {
            put<ub4>(attributep, bind->maxDataSize);
            return OCI_SUCCESS;
        }
        break;
    }
    case OCI_HTYPE_ENV:
        if (as<EnvHandle>(trgthndlp, trghndltyp) == nullptr)
            return OCI_INVALID_HANDLE;
        if (attrtype == OCI_ATTR_CHARSET_ID) {
            const ub2 charset = static_cast<const EnvHandle *>(trgthndlp)->charset;
            put<ub2>(attributep, charset != 0 ? charset : OCI_CHARSET_AL32UTF8);
            return OCI_SUCCESS;
        }
        break;
    default:
        if (as<Handle>(trgthndlp, trghndltyp) == nullptr)
            return OCI_INVALID_HANDLE;
        break;
    }
    return fail(err, ocierr::make(24315));
}

// ---- server and session ----

sword serverAttach(OCIServer *srvhp, OCIError *errhp, const OraText *dblink, sb4 dblink_len, ub4)
{
    ErrorHandle *err = errorOf(errhp);
    auto *server = as<ServerHandle>(srvhp, OCI_HTYPE_SERVER);
    if (server == nullptr || err == nullptr)
        return OCI_INVALID_HANDLE;
    const std::string name = textArg(dblink, dblink_len);
    const QString path = findDatabase(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    if (path.isEmpty())
        return fail(err, ocierr::make(12154));
    server->serviceName = name;
    server->databasePath = path.toStdString();
    return OCI_SUCCESS;
}

sword serverDetach(OCIServer *srvhp, OCIError *errhp, ub4)
{
    ErrorHandle *err = errorOf(errhp);
    auto *server = as<ServerHandle>(srvhp, OCI_HTYPE_SERVER);
    if (server == nullptr || err == nullptr)
        return OCI_INVALID_HANDLE;
    server->databasePath.clear();
    return OCI_SUCCESS;
}

sword sessionBegin(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp, ub4 credt, ub4 mode)
{
    ErrorHandle *err = errorOf(errhp);
    auto *svc = as<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    auto *user = as<SessionHandle>(usrhp, OCI_HTYPE_SESSION);
    if (svc == nullptr || user == nullptr || err == nullptr)
        return OCI_INVALID_HANDLE;
    if (svc->server == nullptr || svc->server->databasePath.empty())
        return fail(err, ocierr::make(24327));
    if (credt != OCI_CRED_RDBMS)
        return fail(err, ocierr::make(1017));
    if (user->session && !user->session->isEnded())
        user->session->end();
    std::unique_ptr<CEngineSession> session;
    if (OraError error = CEngineSession::open(svc->server->databasePath, user->userName,
                                              user->password, mode, session))
        return fail(err, error);
    user->session = std::move(session);
    svc->session = user;
    return OCI_SUCCESS;
}

sword sessionEnd(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp, ub4)
{
    ErrorHandle *err = errorOf(errhp);
    auto *svc = as<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    if (svc == nullptr || err == nullptr)
        return OCI_INVALID_HANDLE;
    SessionHandle *user = usrhp != nullptr ? as<SessionHandle>(usrhp, OCI_HTYPE_SESSION) : svc->session;
    if (user == nullptr)
        return usrhp != nullptr ? OCI_INVALID_HANDLE : fail(err, ocierr::make(1012));
    if (!user->session)
        return fail(err, ocierr::make(1012));
    OraError error = user->session->end();
    user->session.reset();
    return error ? fail(err, error) : OCI_SUCCESS;
}

// ---- errors ----

sword errorGet(void *hndlp, ub4 recordno, OraText *, sb4 *errcodep, OraText *bufp, ub4 bufsiz,
               ub4 type)
{
    const OraError *record = nullptr;
    if (type == OCI_HTYPE_ERROR) {
        auto *err = as<ErrorHandle>(hndlp, OCI_HTYPE_ERROR);
        if (err == nullptr)
            return OCI_INVALID_HANDLE;
        record = &err->record;
    } else if (type == OCI_HTYPE_ENV) {
        auto *env = as<EnvHandle>(hndlp, OCI_HTYPE_ENV);
        if (env == nullptr)
            return OCI_INVALID_HANDLE;
        record = &env->record;
    } else {
        return OCI_INVALID_HANDLE;
    }
    if (recordno != 1 || !*record)
        return OCI_NO_DATA;
    if (errcodep != nullptr)
        *errcodep = record->code();
    if (bufp != nullptr && bufsiz > 0) {
        const std::string text = toNarrow(record->text()) + "\n";
        std::size_t n = std::min<std::size_t>(text.size(), bufsiz - 1);
        while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n; // never cut a character in half
        std::memcpy(bufp, text.data(), n);
        bufp[n] = 0;
    }
    return OCI_SUCCESS;
}

// ---- statements ----

sword stmtPrepare(OCIStmt *stmtp, OCIError *errhp, const OraText *stmt, ub4 stmt_len, ub4, ub4)
{
    ErrorHandle *err = errorOf(errhp);
    auto *handle = as<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    if (handle == nullptr || err == nullptr)
        return OCI_INVALID_HANDLE;
    const char *text = reinterpret_cast<const char *>(stmt);
    handle->statement->prepare(text != nullptr ? fromNarrow(std::string_view(text, stmt_len)) : std::string());
    return OCI_SUCCESS;
}

sword stmtExecute(OCISvcCtx *svchp, OCIStmt *stmtp, OCIError *errhp, ub4 iters, ub4 rowoff,
                  const OCISnapshot *, OCISnapshot *, ub4 mode)
{
    ErrorHandle *err = errorOf(errhp);
    auto *svc = as<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    auto *handle = as<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    if (svc == nullptr || handle == nullptr || err == nullptr)
        return OCI_INVALID_HANDLE;
    std::shared_ptr<CEngineSession> session = svc->session != nullptr ? svc->session->session : nullptr;
    OraError error;
    const sword status = handle->statement->execute(session, iters, rowoff, mode, error);
    return report(err, status, std::move(error));
}

sword stmtFetch(OCIStmt *stmtp, OCIError *errhp, ub4 nrows, ub2 orientation, ub4)
{
    ErrorHandle *err = errorOf(errhp);
    auto *handle = as<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    if (handle == nullptr || err == nullptr)
        return OCI_INVALID_HANDLE;
    OraError error;
    const sword status = handle->statement->fetch(nrows, orientation, error);
    return report(err, status, std::move(error));
}

sword bindByName(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp, const OraText *placeholder,
                 sb4 placeh_len, void *valuep, sb4 value_sz, ub2 dty, void *indp, ub2 *alenp,
                 ub2 *rcodep, ub4 maxarr_len, ub4 *curelep, ub4)
{
    ErrorHandle *err = errorOf(errhp);
    auto *handle = as<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    if (handle == nullptr || err == nullptr || bindp == nullptr)
        return OCI_INVALID_HANDLE;
    *bindp = nullptr;
    if (placeholder == nullptr)
        return fail(err, ocierr::make(1036));
    auto bind = std::make_unique<BindHandle>(handle->env);
    bind->name = normalizeBindName(textArg(placeholder, placeh_len));
    bind->value = valuep;
    bind->valueSize = value_sz;
    bind->dty = dty;
    bind->indicator = static_cast<sb2 *>(indp);
    bind->length = alenp;
    bind->returnCode = rcodep;
    bind->maxElements = maxarr_len;
    bind->currentElements = curelep;
    BindHandle *made = nullptr;
    OraError error;
    const sword status = handle->statement->bind(std::move(bind), made, error);
    *bindp = reinterpret_cast<OCIBind *>(made);
    return report(err, status, std::move(error));
}

sword defineByPos(OCIStmt *stmtp, OCIDefine **defnp, OCIError *errhp, ub4 position, void *valuep,
                  sb4 value_sz, ub2 dty, void *indp, ub2 *rlenp, ub2 *rcodep, ub4)
{
    ErrorHandle *err = errorOf(errhp);
    auto *handle = as<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    if (handle == nullptr || err == nullptr || defnp == nullptr)
        return OCI_INVALID_HANDLE;
    *defnp = nullptr;
    auto define = std::make_unique<DefineHandle>(handle->env);
    define->position = position;
    define->value = valuep;
    define->valueSize = value_sz;
    define->dty = dty;
    define->indicator = static_cast<sb2 *>(indp);
    define->length = rlenp;
    define->returnCode = rcodep;
    DefineHandle *made = nullptr;
    OraError error;
    const sword status = handle->statement->define(std::move(define), made, error);
    *defnp = reinterpret_cast<OCIDefine *>(made);
    return report(err, status, std::move(error));
}

sword paramGet(const void *hndlp, ub4 htype, OCIError *errhp, void **parmdpp, ub4 pos)
{
    ErrorHandle *err = errorOf(errhp);
    auto *handle = as<StmtHandle>(hndlp, OCI_HTYPE_STMT);
    if (htype != OCI_HTYPE_STMT || handle == nullptr || err == nullptr || parmdpp == nullptr)
        return OCI_INVALID_HANDLE;
    *parmdpp = nullptr;
    const std::vector<ColumnInfo> *columns = nullptr;
    OraError error;
    if (handle->statement->columns(columns, error) != OCI_SUCCESS)
        return fail(err, std::move(error));
    if (pos == 0 || pos > columns->size())
        return fail(err, ocierr::make(24334));
    auto *param = new ParamHandle(handle->env);
    param->column = (*columns)[pos - 1];
    param->column.name = toNarrow(param->column.name);
    handle->env->children.insert(param);
    *parmdpp = param;
    return OCI_SUCCESS;
}

// ---- numbers and dates ----

sword numberFromReal(OCIError *errhp, const void *rnum, uword rnum_length, OCINumber *number)
{
    ErrorHandle *err = errorOf(errhp);
    if (err == nullptr)
        return OCI_INVALID_HANDLE;
    if (rnum == nullptr || number == nullptr || (rnum_length != 4 && rnum_length != 8))
        return fail(err, ocierr::make(22060));
    double value = 0;
    if (rnum_length == 4) {
        float f;
        std::memcpy(&f, rnum, 4);
        value = f;
    } else {
        std::memcpy(&value, rnum, 8);
    }
    const auto result = OraNumber::fromDouble(value);
    if (!result)
        return fail(err, ocierr::make(22053));
    std::memcpy(number->OCINumberPart, result->bytes().data(), OCI_NUMBER_SIZE);
    return OCI_SUCCESS;
}

sword numberToInt(OCIError *errhp, const OCINumber *number, uword rsl_length, uword rsl_flag, void *rsl)
{
    ErrorHandle *err = errorOf(errhp);
    if (err == nullptr)
        return OCI_INVALID_HANDLE;
    const auto value = numberOf(number);
    if (!value || rsl == nullptr)
        return fail(err, ocierr::make(22060));
    if (OraError error = value->toInteger(rsl_length, rsl_flag == OCI_NUMBER_SIGNED, rsl))
        return fail(err, std::move(error));
    return OCI_SUCCESS;
}

sword numberToText(OCIError *errhp, const OCINumber *number, const oratext *fmt, ub4 fmt_length,
                   const oratext *, ub4, ub4 *buf_size, oratext *buf)
{
    ErrorHandle *err = errorOf(errhp);
    if (err == nullptr)
        return OCI_INVALID_HANDLE;
    if (number == nullptr || buf == nullptr || buf_size == nullptr)
        return fail(err, ocierr::make(22060));
    const std::string_view format = fmt != nullptr && fmt_length > 0
        ? std::string_view(reinterpret_cast<const char *>(fmt), fmt_length)
        : std::string_view("TM");
    if (isTmFormat(format)) {
        char fast[kTmFixedLimit + 1];
        const std::size_t length = tmFixedText(*number, fast);
        if (length > 0) {
            if (length + 1 > *buf_size)
                return fail(err, ocierr::make(22065));
            std::memcpy(buf, fast, length);
            buf[length] = 0;
            *buf_size = static_cast<ub4>(length);
            return OCI_SUCCESS;
        }
    }
    const auto value = numberOf(number);
    if (!value)
        return fail(err, ocierr::make(22060));
    thread_local std::string text;
    if (OraError error = value->toText(format, text))
        return fail(err, std::move(error));
    if (text.size() + 1 > *buf_size)
        return fail(err, ocierr::make(22065));
    std::memcpy(buf, text.data(), text.size());
    buf[text.size()] = 0;
    *buf_size = static_cast<ub4>(text.size());
    return OCI_SUCCESS;
}

void numberSetZero(OCIError *, OCINumber *num)
{
    if (num != nullptr)
        std::memcpy(num->OCINumberPart, OraNumber().bytes().data(), OCI_NUMBER_SIZE);
}

sword dateSysDate(OCIError *errhp, OCIDate *date)
{
    ErrorHandle *err = errorOf(errhp);
    if (err == nullptr)
        return OCI_INVALID_HANDLE;
    if (date == nullptr)
        return fail(err, OraError::make(21560, "argument 2 is null, invalid, or out of range"));
    const OraDate now = OraDate::now();
    std::memcpy(date, &now, sizeof(OCIDate));
    return OCI_SUCCESS;
}

void clientVersion(sword *featureRelease, sword *releaseUpdate, sword *releaseUpdateRevision,
                   sword *increment, sword *ext)
{
    sword *out[5] = {featureRelease, releaseUpdate, releaseUpdateRevision, increment, ext};
    for (int i = 0; i < 5; ++i) {
        if (out[i] != nullptr)
            *out[i] = kEngineVersion[i];
    }
}

// ---- the boundary ----

// Records error in the first live error handle among args, else in the first live environment
// (OCIHandleAlloc reports through its parent environment).
template <typename... A> void recordInternal(const OraError &error, A... args)
{
    bool done = false;
    auto intoError = [&](auto arg) {
        if constexpr (std::is_same_v<decltype(arg), OCIError *>) {
            if (ErrorHandle *err = !done ? as<ErrorHandle>(arg, OCI_HTYPE_ERROR) : nullptr) {
                err->record = error;
                done = true;
            }
        }
    };
    auto intoEnvironment = [&](auto arg) {
        if constexpr (std::is_pointer_v<decltype(arg)> &&
                      std::is_void_v<std::remove_cv_t<std::remove_pointer_t<decltype(arg)>>>) {
            if (EnvHandle *env = !done ? as<EnvHandle>(arg, OCI_HTYPE_ENV) : nullptr) {
                env->record = error;
                done = true;
            }
        }
    };
    (intoError(args), ...);
    (intoEnvironment(args), ...);
}

// Every function of the table runs behind this guard: no exception leaves the engine through OCI.
// One that escapes a function becomes an error record (ORA-00600 with its reason) and OCI_ERROR.
template <auto F> struct Guarded;

template <typename R, typename... A, R (*F)(A...)> struct Guarded<F>
{
    static R call(A... args) noexcept
    {
        try {
            faults::throwIfPending(faults::Site::OciCall);
            return F(args...);
        } catch (...) {
            if constexpr (std::is_void_v<R>) {
                return;
            } else {
                try {
                    recordInternal(OraError::fromCurrentException(), args...);
                } catch (...) { // no memory even for the record: the status still tells
                }
                return OCI_ERROR;
            }
        }
    }
};

} // namespace

const api &ociTable()
{
    static const api table = [] {
        api t{};
        t.OCIEnvCreate = Guarded<envCreate>::call;
        t.OCIEnvNlsCreate = Guarded<envNlsCreate>::call;
        t.OCIHandleAlloc = Guarded<handleAlloc>::call;
        t.OCIHandleFree = Guarded<handleFree>::call;
        t.OCIAttrSet = Guarded<attrSet>::call;
        t.OCIAttrGet = Guarded<attrGet>::call;
        t.OCIServerAttach = Guarded<serverAttach>::call;
        t.OCIServerDetach = Guarded<serverDetach>::call;
        t.OCISessionBegin = Guarded<sessionBegin>::call;
        t.OCISessionEnd = Guarded<sessionEnd>::call;
        t.OCIErrorGet = Guarded<errorGet>::call;
        t.OCIStmtPrepare = Guarded<stmtPrepare>::call;
        t.OCIStmtExecute = Guarded<stmtExecute>::call;
        t.OCIStmtFetch = Guarded<stmtFetch>::call;
        t.OCIBindByName = Guarded<bindByName>::call;
        t.OCIDefineByPos = Guarded<defineByPos>::call;
        t.OCIParamGet = Guarded<paramGet>::call;
        t.OCIDescriptorFree = Guarded<descriptorFree>::call;
        t.OCINumberFromReal = Guarded<numberFromReal>::call;
        t.OCINumberToInt = Guarded<numberToInt>::call;
        t.OCINumberToText = Guarded<numberToText>::call;
        t.OCINumberSetZero = Guarded<numberSetZero>::call;
        t.OCIDateSysDate = Guarded<dateSysDate>::call;
        t.OCIClientVersion = Guarded<clientVersion>::call;
        return t;
    }();
    return table;
}

} // namespace engine
