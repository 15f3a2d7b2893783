#pragma once

#include "engine/OraError.h"
#include "oci/types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// The engine's handles behind OCI's opaque pointers. Every handle starts with a tag and its OCI type
// so that a pointer of the wrong kind is refused with OCI_INVALID_HANDLE instead of being misread.
// An environment owns every handle allocated under it; freeing it frees them all.
namespace engine {

class CEngineSession;
class CEngineStatement;
struct EnvHandle;

inline constexpr std::uint32_t kHandleTag = 0x544C5648; // marks a live engine handle
inline constexpr oci::ub4 kParamType = oci::OCI_DTYPE_PARAM;

// Whether p is a handle that exists now. Handles register themselves while they live, so a pointer a
// caller kept after freeing its handle (or its environment) is refused without being read.
bool isLiveHandle(const void *p);

struct Handle {
    Handle(oci::ub4 handleType, EnvHandle *environment);
    virtual ~Handle();
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    std::uint32_t tag = kHandleTag;
    oci::ub4 type;  // OCI_HTYPE_* or OCI_DTYPE_PARAM
    EnvHandle *env; // the owning environment (itself for an environment)
};

// An error handle: the record of the last call that reported through it.
struct ErrorHandle : Handle {
    explicit ErrorHandle(EnvHandle *e) : Handle(oci::OCI_HTYPE_ERROR, e) {}
    OraError record; // code 0 when the last call left nothing to report
};

struct ServerHandle : Handle {
    explicit ServerHandle(EnvHandle *e) : Handle(oci::OCI_HTYPE_SERVER, e) {}
    std::string databasePath; // the attached database file; empty when detached
    std::string serviceName;  // as passed to the attach
    oci::ub1 nonBlocking = 0; // toggled by every set of the attribute, as a client does; every
                              // call of the engine blocks all the same
};

struct SessionHandle : Handle {
    explicit SessionHandle(EnvHandle *e) : Handle(oci::OCI_HTYPE_SESSION, e) {}
    std::string userName;
    std::string password;
    std::shared_ptr<CEngineSession> session; // set between session begin and end
};

struct SvcCtxHandle : Handle {
    explicit SvcCtxHandle(EnvHandle *e) : Handle(oci::OCI_HTYPE_SVCCTX, e) {}
    ServerHandle *server = nullptr;   // not owned
    SessionHandle *session = nullptr; // not owned
};

// A bind or define: the caller's buffers as OCI received them.
struct BindHandle : Handle {
    explicit BindHandle(EnvHandle *e) : Handle(oci::OCI_HTYPE_BIND, e) {}
    std::string name;          // normalised placeholder name
    void *value = nullptr;     // element 0 of the value array
    oci::sb4 valueSize = 0;    // bytes per element
    oci::ub2 dty = 0;          // external type
    oci::sb2 *indicator = nullptr;
    oci::ub2 *length = nullptr; // alen (bind) or rlen (define)
    oci::ub2 *returnCode = nullptr;
    oci::ub4 maxElements = 0;  // maxarr_len of a bind; 0 for a scalar
    oci::ub4 *currentElements = nullptr;
    oci::ub2 charsetId = 0;    // OCI_UTF16ID for UTF-16 text, otherwise narrow UTF-8
    oci::ub1 charsetForm = oci::SQLCS_IMPLICIT;
    oci::ub4 maxDataSize = 0;
};

struct DefineHandle : BindHandle {
    explicit DefineHandle(EnvHandle *e) : BindHandle(e) { type = oci::OCI_HTYPE_DEFINE; }
    oci::ub4 position = 0; // 1-based select-list position
};

// What describe reports about one select-list item.
struct ColumnInfo {
    std::string name;
    oci::ub2 dataType = oci::SQLT_CHR;
    oci::ub2 dataSize = 4000;
    oci::sb2 precision = 0;
    oci::sb1 scale = 0;
    oci::ub1 nullable = 1;
    oci::ub1 charsetForm = oci::SQLCS_IMPLICIT;
};

struct ParamHandle : Handle {
    explicit ParamHandle(EnvHandle *e) : Handle(kParamType, e) {}
    ColumnInfo column;
};

struct StmtHandle : Handle {
    explicit StmtHandle(EnvHandle *e);
    ~StmtHandle() override;
    std::unique_ptr<CEngineStatement> statement;
};

// Handles of types the engine accepts but gives no behaviour (describe, transaction).
struct PlainHandle : Handle {
    using Handle::Handle;
};

struct EnvHandle : Handle {
    EnvHandle() : Handle(oci::OCI_HTYPE_ENV, this) {}
    ~EnvHandle() override;

    // Frees one child; false when it does not belong to this environment.
    bool freeChild(Handle *child);

    std::unordered_set<Handle *> children; // every live handle allocated under this environment
    OraError record;                       // errors reported through the environment handle
    std::vector<char> userMemory;          // the extra memory asked for at creation
    oci::ub4 mode = 0;
    oci::ub2 charset = 0;  // of narrow text, as given to OCIEnvNlsCreate; 0 = not chosen
    oci::ub2 ncharset = 0; // of national text
};

} // namespace engine
