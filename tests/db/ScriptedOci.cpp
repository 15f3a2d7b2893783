#include "ScriptedOci.h"

#include "oci/registry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace scripted {
namespace {

struct Handle {
    oci::ub4 type;
    std::string label;
    Handle *parent;
    std::vector<Handle *> children;
    oci::ub4 position = 0; // parameter descriptors: select-list position
};

std::map<const void *, std::unique_ptr<Handle>> &handles()
{
    static std::map<const void *, std::unique_ptr<Handle>> h;
    return h;
}

std::map<std::string, int> &counters()
{
    static std::map<std::string, int> c;
    return c;
}

const char *prefixOf(oci::ub4 type, bool descriptor)
{
    if (descriptor)
        return "par";
    switch (type) {
    case oci::OCI_HTYPE_ENV: return "env";
    case oci::OCI_HTYPE_ERROR: return "err";
    case oci::OCI_HTYPE_SVCCTX: return "svc";
    case oci::OCI_HTYPE_STMT: return "stmt";
    case oci::OCI_HTYPE_BIND: return "bind";
    case oci::OCI_HTYPE_DEFINE: return "def";
    case oci::OCI_HTYPE_SERVER: return "srv";
    case oci::OCI_HTYPE_SESSION: return "ses";
    default: return "h";
    }
}

const char *typeName(oci::ub4 type)
{
    switch (type) {
    case oci::OCI_HTYPE_ENV: return "ENV";
    case oci::OCI_HTYPE_ERROR: return "ERROR";
    case oci::OCI_HTYPE_SVCCTX: return "SVCCTX";
    case oci::OCI_HTYPE_STMT: return "STMT";
    case oci::OCI_HTYPE_BIND: return "BIND";
    case oci::OCI_HTYPE_DEFINE: return "DEFINE";
    case oci::OCI_HTYPE_SERVER: return "SERVER";
    case oci::OCI_HTYPE_SESSION: return "SESSION";
    case oci::OCI_DTYPE_PARAM: return "PARAM";
    default: return "?";
    }
}

Handle *make(oci::ub4 type, const void *parent, bool descriptor = false)
{
    auto h = std::make_unique<Handle>();
    h->type = type;
    const std::string prefix = prefixOf(type, descriptor);
    h->label = prefix + std::to_string(++counters()[prefix]);
    auto it = handles().find(parent);
    h->parent = it != handles().end() ? it->second.get() : nullptr;
    if (h->parent != nullptr)
        h->parent->children.push_back(h.get());
    Handle *raw = h.get();
    handles()[raw] = std::move(h);
    ++state().liveHandles;
    return raw;
}

void destroy(Handle *h)
{
    for (Handle *c : std::vector<Handle *>(h->children))
        destroy(c);
    if (h->parent != nullptr) {
        auto &siblings = h->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
    }
    --state().liveHandles;
    handles().erase(h);
}

Handle *find(const void *p)
{
    auto it = handles().find(p);
    return it != handles().end() ? it->second.get() : nullptr;
}

std::string label(const void *p)
{
    if (p == nullptr)
        return "null";
    Handle *h = find(p);
    return h != nullptr ? h->label : "?";
}

std::string quoted(const void *text, std::size_t length)
{
    return "\"" + std::string(static_cast<const char *>(text), length) + "\"";
}

void record(std::string call)
{
    state().calls.push_back(std::move(call));
}

// The scripted answer for the next call of fn, or OCI_SUCCESS.
oci::sword answer(const std::string &fn)
{
    auto it = state().failures.find(fn);
    if (it == state().failures.end() || it->second.empty())
        return oci::OCI_SUCCESS;
    auto &front = it->second.front();
    if (front.first > 0) {
        --front.first;
        return oci::OCI_SUCCESS;
    }
    const oci::sword s = front.second;
    it->second.pop_front();
    return s;
}

oci::sword envCreate(oci::OCIEnv **envp, oci::ub4 mode, void *, oci::malocfp_t, oci::ralocfp_t,
                oci::mfreefp_t, size_t, void **)
{
    record("OCIEnvCreate(" + std::to_string(mode) + ")");
    const oci::sword s = answer("OCIEnvCreate");
    if (s == oci::OCI_SUCCESS || state().envCreateGivesHandle)
        *envp = reinterpret_cast<oci::OCIEnv *>(make(oci::OCI_HTYPE_ENV, nullptr));
    return s;
}

oci::sword envNlsCreate(oci::OCIEnv **envp, oci::ub4 mode, void *, oci::malocfp_t, oci::ralocfp_t,
                        oci::mfreefp_t, size_t, void **, oci::ub2 charset, oci::ub2 ncharset)
{
    record("OCIEnvNlsCreate(" + std::to_string(mode) + ", " + std::to_string(charset) + ", " +
           std::to_string(ncharset) + ")");
    const oci::sword s = answer("OCIEnvNlsCreate");
    if (s == oci::OCI_SUCCESS || s == oci::OCI_SUCCESS_WITH_INFO || state().envCreateGivesHandle)
        *envp = reinterpret_cast<oci::OCIEnv *>(make(oci::OCI_HTYPE_ENV, nullptr));
    return s;
}

oci::sword handleAlloc(const void *parent, void **out, const oci::ub4 type, const size_t, void **)
{
    record("OCIHandleAlloc(" + label(parent) + ", " + typeName(type) + ")");
    const oci::sword s = answer("OCIHandleAlloc");
    if (s != oci::OCI_SUCCESS)
        return s;
    *out = make(type, parent);
    return s;
}

oci::sword handleFree(void *h, const oci::ub4 type)
{
    record("OCIHandleFree(" + label(h) + ", " + typeName(type) + ")");
    const oci::sword s = answer("OCIHandleFree");
    if (s != oci::OCI_SUCCESS)
        return s;
    Handle *known = find(h);
    if (known == nullptr || known->type != type) {
        ++state().badFrees;
        return oci::OCI_INVALID_HANDLE;
    }
    destroy(known);
    return s;
}

oci::sword attrSet(void *target, oci::ub4 ttype, void *value, oci::ub4 size, oci::ub4 attr, oci::OCIError *err)
{
    std::string v;
    switch (attr) {
    case oci::OCI_ATTR_USERNAME:
    case oci::OCI_ATTR_PASSWORD:
        v = (attr == oci::OCI_ATTR_USERNAME ? "USERNAME=" : "PASSWORD=") + quoted(value, size) + "/"
            + std::to_string(size);
        break;
    case oci::OCI_ATTR_CHARSET_ID: {
        oci::ub2 cs = 0; // a client reads a ub2 whatever size is passed
        std::memcpy(&cs, value, sizeof cs);
        v = "CHARSET_ID=" + std::to_string(cs) + "/" + std::to_string(size);
        Handle *h = find(target);
        if (h != nullptr && ttype == oci::OCI_HTYPE_DEFINE && state().defines.count(h->position))
            state().defines[h->position].charset = cs;
        if (h != nullptr && ttype == oci::OCI_HTYPE_BIND && h->position > 0
            && h->position <= state().binds.size())
            state().binds[h->position - 1].charset = cs;
        break;
    }
    case oci::OCI_ATTR_NONBLOCKING_MODE:
        v = "NONBLOCKING_MODE=" + std::to_string(*static_cast<oci::ub1 *>(value)) + "/"
            + std::to_string(size);
        if (ttype == oci::OCI_HTYPE_SERVER)
            state().nonBlocking = state().nonBlocking != 0 ? 0 : 1; // the value is ignored
        break;
    default: // SERVER and SESSION on a service context
        v = (attr == oci::OCI_ATTR_SERVER ? "SERVER=" : attr == oci::OCI_ATTR_SESSION ? "SESSION=" : "ATTR=")
            + label(value) + "/" + std::to_string(size);
        break;
    }
    record("OCIAttrSet(" + label(target) + ", " + typeName(ttype) + ", " + v + ", " + label(err) + ")");
    return answer("OCIAttrSet");
}

oci::sword attrGet(const void *target, oci::ub4 ttype, void *value, oci::ub4 *sizep, oci::ub4 attr,
              oci::OCIError *err)
{
    static const std::map<oci::ub4, const char *> stmtNames = {
        {oci::OCI_ATTR_STMT_TYPE, "STMT_TYPE"}, {oci::OCI_ATTR_PARAM_COUNT, "PARAM_COUNT"},
        {oci::OCI_ATTR_ROW_COUNT, "ROW_COUNT"}};
    static const std::map<oci::ub4, const char *> paramNames = {
        {oci::OCI_ATTR_NAME, "NAME"}, {oci::OCI_ATTR_DATA_TYPE, "DATA_TYPE"},
        {oci::OCI_ATTR_DATA_SIZE, "DATA_SIZE"}};
    static const std::map<oci::ub4, const char *> serverNames = {
        {oci::OCI_ATTR_NONBLOCKING_MODE, "NONBLOCKING_MODE"}};
    const auto &names = ttype == oci::OCI_HTYPE_STMT     ? stmtNames
                        : ttype == oci::OCI_HTYPE_SERVER ? serverNames
                                                         : paramNames;
    const auto n = names.find(attr);
    record("OCIAttrGet(" + label(target) + ", " + typeName(ttype) + ", "
           + (n != names.end() ? n->second : std::to_string(attr)) + ", "
           + (sizep != nullptr ? "size" : "null") + ", " + label(err) + ")");
    const oci::sword s = answer("OCIAttrGet");
    if (s != oci::OCI_SUCCESS)
        return s;
    State &st = state();
    if (ttype == oci::OCI_HTYPE_SERVER) {
        if (attr != oci::OCI_ATTR_NONBLOCKING_MODE)
            return oci::OCI_ERROR;
        *static_cast<oci::ub1 *>(value) = st.nonBlocking;
        return s;
    }
    if (ttype == oci::OCI_HTYPE_STMT) {
        if (attr == oci::OCI_ATTR_STMT_TYPE)
            *static_cast<oci::ub2 *>(value) = st.stmtType;
        else if (attr == oci::OCI_ATTR_PARAM_COUNT)
            *static_cast<oci::ub4 *>(value) = static_cast<oci::ub4>(st.columns.size());
        else if (attr == oci::OCI_ATTR_ROW_COUNT)
            *static_cast<oci::ub4 *>(value) = st.rowCount;
        return s;
    }
    Handle *h = find(target);
    if (h == nullptr || h->position == 0 || h->position > st.columns.size())
        return oci::OCI_INVALID_HANDLE;
    const Column &c = st.columns[h->position - 1];
    if (attr == oci::OCI_ATTR_NAME) {
        *static_cast<const char **>(value) = c.name.data();
        *sizep = static_cast<oci::ub4>(c.name.size());
    } else if (attr == oci::OCI_ATTR_DATA_TYPE) {
        *static_cast<oci::ub2 *>(value) = c.dataType;
    } else if (attr == oci::OCI_ATTR_DATA_SIZE) {
        *static_cast<oci::ub2 *>(value) = c.dataSize;
    }
    return s;
}

oci::sword serverAttach(oci::OCIServer *srv, oci::OCIError *err, const oci::OraText *link, oci::sb4 len, oci::ub4 mode)
{
    record("OCIServerAttach(" + label(srv) + ", " + label(err) + ", " + quoted(link, static_cast<std::size_t>(len))
           + ", " + std::to_string(len) + ", " + std::to_string(mode) + ")");
    return answer("OCIServerAttach");
}

oci::sword serverDetach(oci::OCIServer *srv, oci::OCIError *err, oci::ub4 mode)
{
    record("OCIServerDetach(" + label(srv) + ", " + label(err) + ", " + std::to_string(mode) + ")");
    return answer("OCIServerDetach");
}

oci::sword sessionBegin(oci::OCISvcCtx *svc, oci::OCIError *err, oci::OCISession *ses, oci::ub4 cred, oci::ub4 mode)
{
    record("OCISessionBegin(" + label(svc) + ", " + label(err) + ", " + label(ses) + ", "
           + std::to_string(cred) + ", " + std::to_string(mode) + ")");
    return answer("OCISessionBegin");
}

oci::sword sessionEnd(oci::OCISvcCtx *svc, oci::OCIError *err, oci::OCISession *ses, oci::ub4 mode)
{
    record("OCISessionEnd(" + label(svc) + ", " + label(err) + ", " + label(ses) + ", "
           + std::to_string(mode) + ")");
    return answer("OCISessionEnd");
}

oci::sword errorGet(void *h, oci::ub4 rec, oci::OraText *sqlstate, oci::sb4 *code, oci::OraText *buf,
               oci::ub4 size, oci::ub4 type)
{
    record("OCIErrorGet(" + label(h) + ", " + std::to_string(rec) + ", "
           + (sqlstate != nullptr ? "sqlstate" : "null") + ", " + std::to_string(size) + ", "
           + typeName(type) + ")");
    *code = state().errorCode;
    if (buf != nullptr && size > 0) {
        const std::string &t = state().errorText;
        const std::size_t n = std::min<std::size_t>(t.size(), size - 1);
        std::memcpy(buf, t.data(), n);
        buf[n] = 0;
    }
    return oci::OCI_SUCCESS;
}

oci::sword stmtPrepare(oci::OCIStmt *stmt, oci::OCIError *err, const oci::OraText *text, oci::ub4 len,
                  oci::ub4 language, oci::ub4 mode)
{
    record("OCIStmtPrepare(" + label(stmt) + ", " + label(err) + ", " + quoted(text, len) + ", "
           + std::to_string(len) + ", " + std::to_string(language) + ", " + std::to_string(mode) + ")");
    return answer("OCIStmtPrepare");
}

oci::sword stmtExecute(oci::OCISvcCtx *svc, oci::OCIStmt *stmt, oci::OCIError *err, oci::ub4 iters,
                  oci::ub4 rowoff, const oci::OCISnapshot *in, oci::OCISnapshot *out, oci::ub4 mode)
{
    record("OCIStmtExecute(" + label(svc) + ", " + label(stmt) + ", " + label(err) + ", "
           + std::to_string(iters) + ", " + std::to_string(rowoff) + ", " + label(in) + ", " + label(out)
           + ", " + std::to_string(mode) + ")");
    // Like OCI, read every buffer bound to the statement (a freed one shows under AddressSanitizer).
    state().sent.clear();
    if (Handle *h = find(stmt)) {
        for (const Handle *c : h->children) {
            if (c->type != oci::OCI_HTYPE_BIND || c->position == 0 || c->position > state().binds.size())
                continue;
            const Bind &b = state().binds[c->position - 1];
            std::vector<unsigned char> copy(static_cast<std::size_t>(b.size));
            std::memcpy(copy.data(), b.value, copy.size());
            [[maybe_unused]] volatile oci::ub2 length = *b.length;
            state().sent.emplace_back(b.name, *b.indicator);
        }
    }
    const oci::sword s = answer("OCIStmtExecute");
    if (s == oci::OCI_SUCCESS && state().onExecute)
        state().onExecute(state());
    return s;
}

void setNumberText(oci::OCINumber *n, const std::string &text);

void put(const Define &d, std::size_t slot, const Value &v, bool &truncated)
{
    unsigned char *dst = static_cast<unsigned char *>(d.value) + slot * static_cast<std::size_t>(d.size);
    if (v.type == Value::Null) {
        d.indicators[slot] = -1;
        return;
    }
    d.indicators[slot] = 0;
    if (d.type == oci::SQLT_STR) {
        const std::size_t capacity = static_cast<std::size_t>(d.size) / 2 - 1;
        const std::size_t n = std::min(capacity, v.text.size());
        std::memcpy(dst, v.text.data(), n * 2);
        std::memset(dst + n * 2, 0, 2);
        if (d.lengths != nullptr)
            d.lengths[slot] = static_cast<oci::ub2>(n * 2);
        if (n < v.text.size()) {
            d.indicators[slot] = static_cast<oci::sb2>(v.text.size() * 2);
            truncated = true;
        }
    } else if (d.type == oci::SQLT_VNU) {
        setNumberText(reinterpret_cast<oci::OCINumber *>(dst), v.number);
    } else if (d.type == oci::SQLT_ODT) {
        std::memcpy(dst, &v.date, sizeof v.date);
    }
}

oci::sword stmtFetch(oci::OCIStmt *stmt, oci::OCIError *err, oci::ub4 nrows, oci::ub2 orientation, oci::ub4 mode)
{
    record("OCIStmtFetch(" + label(stmt) + ", " + label(err) + ", " + std::to_string(nrows) + ", "
           + std::to_string(orientation) + ", " + std::to_string(mode) + ")");
    const oci::sword s = answer("OCIStmtFetch");
    if (s != oci::OCI_SUCCESS)
        return s;
    State &st = state();
    const std::size_t left = st.rows.size() - st.nextRow;
    const std::size_t n = std::min<std::size_t>(nrows, left);
    bool truncated = false;
    for (std::size_t slot = 0; slot < n; ++slot) {
        const auto &row = st.rows[st.nextRow + slot];
        for (const auto &[pos, d] : st.defines)
            if (pos >= 1 && pos <= row.size())
                put(d, slot, row[pos - 1], truncated);
    }
    st.nextRow += n;
    st.rowCount += static_cast<oci::ub4>(n);
    if (n < nrows)
        return oci::OCI_NO_DATA;
    return truncated ? oci::OCI_SUCCESS_WITH_INFO : oci::OCI_SUCCESS;
}

oci::sword bindByName(oci::OCIStmt *stmt, oci::OCIBind **bindp, oci::OCIError *err, const oci::OraText *name,
                 oci::sb4 nameLen, void *value, oci::sb4 size, oci::ub2 type, void *ind, oci::ub2 *alen,
                 oci::ub2 *rcode, oci::ub4 maxarr, oci::ub4 *curele, oci::ub4 mode)
{
    record("OCIBindByName(" + label(stmt) + ", " + label(err) + ", " + quoted(name, static_cast<std::size_t>(nameLen))
           + ", " + std::to_string(nameLen) + ", " + std::to_string(size) + ", " + std::to_string(type) + ", "
           + (ind != nullptr ? "ind" : "null") + ", " + (alen != nullptr ? "alen" : "null") + ", "
           + (rcode != nullptr ? "rcode" : "null") + ", " + std::to_string(maxarr) + ", "
           + (curele != nullptr ? "curele" : "null") + ", " + std::to_string(mode) + ")");
    const oci::sword s = answer("OCIBindByName");
    if (s != oci::OCI_SUCCESS)
        return s;
    Handle *h = make(oci::OCI_HTYPE_BIND, stmt);
    state().binds.push_back({std::string(reinterpret_cast<const char *>(name), static_cast<std::size_t>(nameLen)),
                             value, size, type, static_cast<oci::sb2 *>(ind), alen});
    h->position = static_cast<oci::ub4>(state().binds.size());
    *bindp = reinterpret_cast<oci::OCIBind *>(h);
    return s;
}

oci::sword defineByPos(oci::OCIStmt *stmt, oci::OCIDefine **defp, oci::OCIError *err, oci::ub4 pos, void *value,
                  oci::sb4 size, oci::ub2 type, void *ind, oci::ub2 *rlen, oci::ub2 *rcode, oci::ub4 mode)
{
    record("OCIDefineByPos(" + label(stmt) + ", " + label(err) + ", " + std::to_string(pos) + ", "
           + std::to_string(size) + ", " + std::to_string(type) + ", " + (ind != nullptr ? "ind" : "null")
           + ", " + (rlen != nullptr ? "rlen" : "null") + ", " + (rcode != nullptr ? "rcode" : "null")
           + ", " + std::to_string(mode) + ")");
    const oci::sword s = answer("OCIDefineByPos");
    if (s != oci::OCI_SUCCESS)
        return s;
    Handle *h = make(oci::OCI_HTYPE_DEFINE, stmt);
    h->position = pos;
    state().defines[pos] = {pos, value, size, type, static_cast<oci::sb2 *>(ind), rlen};
    *defp = reinterpret_cast<oci::OCIDefine *>(h);
    return s;
}

oci::sword paramGet(const void *h, oci::ub4 htype, oci::OCIError *err, void **out, oci::ub4 pos)
{
    record("OCIParamGet(" + label(h) + ", " + typeName(htype) + ", " + label(err) + ", "
           + std::to_string(pos) + ")");
    const oci::sword s = answer("OCIParamGet");
    if (s != oci::OCI_SUCCESS)
        return s;
    Handle *p = make(oci::OCI_DTYPE_PARAM, h, true);
    p->position = pos;
    *out = p;
    return s;
}

oci::sword descriptorFree(void *d, const oci::ub4 type)
{
    record("OCIDescriptorFree(" + label(d) + ", " + typeName(type) + ")");
    const oci::sword s = answer("OCIDescriptorFree");
    Handle *known = find(d);
    if (known == nullptr || known->type != type) {
        ++state().badFrees;
        return oci::OCI_INVALID_HANDLE;
    }
    destroy(known);
    return s;
}

std::string numberText(const oci::OCINumber *n)
{
    const oci::ub1 len = std::min<oci::ub1>(n->OCINumberPart[0], 21);
    return std::string(reinterpret_cast<const char *>(n->OCINumberPart + 1), len);
}

void setNumberText(oci::OCINumber *n, const std::string &text)
{
    const std::size_t len = std::min<std::size_t>(text.size(), 21);
    n->OCINumberPart[0] = static_cast<oci::ub1>(len);
    std::memcpy(n->OCINumberPart + 1, text.data(), len);
}

oci::sword numberFromReal(oci::OCIError *err, const void *rnum, oci::uword len, oci::OCINumber *out)
{
    double v = 0;
    std::memcpy(&v, rnum, sizeof v);
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", v);
    record("OCINumberFromReal(" + label(err) + ", " + text + ", " + std::to_string(len) + ")");
    const oci::sword s = answer("OCINumberFromReal");
    if (s == oci::OCI_SUCCESS)
        setNumberText(out, text);
    return s;
}

oci::sword numberToInt(oci::OCIError *err, const oci::OCINumber *n, oci::uword len, oci::uword flag, void *out)
{
    record("OCINumberToInt(" + label(err) + ", " + std::to_string(len) + ", " + std::to_string(flag) + ")");
    const oci::sword s = answer("OCINumberToInt");
    if (s == oci::OCI_SUCCESS) {
        const int v = std::atoi(numberText(n).c_str());
        std::memcpy(out, &v, sizeof v);
    }
    return s;
}

oci::sword numberToText(oci::OCIError *err, const oci::OCINumber *n, const oci::oratext *fmt, oci::ub4 fmtLen,
                   const oci::oratext *nls, oci::ub4 nlsLen, oci::ub4 *size, oci::oratext *buf)
{
    record("OCINumberToText(" + label(err) + ", " + quoted(fmt, fmtLen) + ", " + std::to_string(fmtLen)
           + ", " + (nls != nullptr ? "nls" : "null") + ", " + std::to_string(nlsLen) + ", "
           + std::to_string(*size) + ")");
    const oci::sword s = answer("OCINumberToText");
    if (s != oci::OCI_SUCCESS)
        return s;
    const std::string t = numberText(n);
    std::memcpy(buf, t.c_str(), t.size() + 1);
    *size = static_cast<oci::ub4>(t.size());
    return s;
}

void numberSetZero(oci::OCIError *err, oci::OCINumber *n)
{
    record("OCINumberSetZero(" + label(err) + ")");
    setNumberText(n, "0");
}

oci::sword dateSysDate(oci::OCIError *err, oci::OCIDate *d)
{
    record("OCIDateSysDate(" + label(err) + ")");
    *d = date(2026, 12, 8, 14, 0, 0).date;
    return answer("OCIDateSysDate");
}

void clientVersion(oci::sword *a, oci::sword *b, oci::sword *c, oci::sword *d, oci::sword *e)
{
    record("OCIClientVersion");
    *a = 19;
    *b = 8;
    *c = *d = *e = 0;
}

} // namespace

Value null() { return {}; }

Value text(std::u16string t)
{
    Value v;
    v.type = Value::Text;
    v.text = std::move(t);
    return v;
}

Value number(std::string n)
{
    Value v;
    v.type = Value::Number;
    v.number = std::move(n);
    return v;
}

Value date(short y, int mo, int d, int h, int mi, int s)
{
    Value v;
    v.type = Value::Date;
    v.date.OCIDateYYYY = y;
    v.date.OCIDateMM = static_cast<oci::ub1>(mo);
    v.date.OCIDateDD = static_cast<oci::ub1>(d);
    v.date.OCIDateTime = {static_cast<oci::ub1>(h), static_cast<oci::ub1>(mi), static_cast<oci::ub1>(s)};
    return v;
}

State &state()
{
    static State s;
    return s;
}

void reset()
{
    state() = State();
    handles().clear();
    counters().clear();
}

void fail(const std::string &fn, oci::sword status, int skip)
{
    state().failures[fn].push_back({skip, status});
}

std::vector<std::string> callsOf(const std::string &prefix)
{
    std::vector<std::string> out;
    for (const std::string &c : state().calls)
        if (c.starts_with(prefix))
            out.push_back(c);
    return out;
}

const oci::api &table()
{
    static const oci::api t = [] {
        oci::api a{};
        a.OCIEnvCreate = envCreate;
        a.OCIEnvNlsCreate = envNlsCreate;
        a.OCIHandleAlloc = handleAlloc;
        a.OCIHandleFree = handleFree;
        a.OCIAttrSet = attrSet;
        a.OCIAttrGet = attrGet;
        a.OCIServerAttach = serverAttach;
        a.OCIServerDetach = serverDetach;
        a.OCISessionBegin = sessionBegin;
        a.OCISessionEnd = sessionEnd;
        a.OCIErrorGet = errorGet;
        a.OCIStmtPrepare = stmtPrepare;
        a.OCIStmtExecute = stmtExecute;
        a.OCIStmtFetch = stmtFetch;
        a.OCIBindByName = bindByName;
        a.OCIDefineByPos = defineByPos;
        a.OCIParamGet = paramGet;
        a.OCIDescriptorFree = descriptorFree;
        a.OCINumberFromReal = numberFromReal;
        a.OCINumberToInt = numberToInt;
        a.OCINumberToText = numberToText;
        a.OCINumberSetZero = numberSetZero;
        a.OCIDateSysDate = dateSysDate;
        a.OCIClientVersion = clientVersion;
        return a;
    }();
    return t;
}

bool Provider::claims(const char *serviceName) const
{
    return std::string(serviceName).starts_with("SCRIPTED");
}

Session::Session()
{
    reset();
    oci::registry::add(&provider);
}

Session::~Session()
{
    oci::registry::remove(&provider);
}

} // namespace scripted
