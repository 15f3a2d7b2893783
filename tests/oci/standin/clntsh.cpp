// A stand-in for the Oracle client library: exports the functions of oci::api under their C names so
// that the loader's search and checks can be tested without Oracle. Calls succeed and do nothing.
// OCIClientVersion reports release $STANDIN_CLNTSH_MAJOR (19 when unset), 8.
#include "oci/api.h"

#include <cstdlib>

using namespace oci;

namespace {
int g_handle; // every handle handed out points here
}

extern "C" {

sword OCIEnvCreate(OCIEnv **envp, ub4, void *, malocfp_t, ralocfp_t, mfreefp_t, size_t, void **)
{
    *envp = reinterpret_cast<OCIEnv *>(&g_handle);
    return OCI_SUCCESS;
}
sword OCIEnvNlsCreate(OCIEnv **envp, ub4, void *, malocfp_t, ralocfp_t, mfreefp_t, size_t, void **,
                      ub2, ub2)
{
    *envp = reinterpret_cast<OCIEnv *>(&g_handle);
    return OCI_SUCCESS;
}
sword OCIHandleAlloc(const void *, void **hndlpp, const ub4, const size_t, void **)
{
    *hndlpp = &g_handle;
    return OCI_SUCCESS;
}
sword OCIHandleFree(void *, const ub4) { return OCI_SUCCESS; }
sword OCIAttrSet(void *, ub4, void *, ub4, ub4, OCIError *) { return OCI_SUCCESS; }
sword OCIAttrGet(const void *, ub4, void *, ub4 *, ub4, OCIError *) { return OCI_SUCCESS; }
sword OCIServerAttach(OCIServer *, OCIError *, const OraText *, sb4, ub4) { return OCI_SUCCESS; }
sword OCIServerDetach(OCIServer *, OCIError *, ub4) { return OCI_SUCCESS; }
sword OCISessionBegin(OCISvcCtx *, OCIError *, OCISession *, ub4, ub4) { return OCI_SUCCESS; }
sword OCISessionEnd(OCISvcCtx *, OCIError *, OCISession *, ub4) { return OCI_SUCCESS; }
sword OCIErrorGet(void *, ub4, OraText *, sb4 *, OraText *, ub4, ub4) { return OCI_NO_DATA; }
sword OCIStmtPrepare(OCIStmt *, OCIError *, const OraText *, ub4, ub4, ub4) { return OCI_SUCCESS; }
sword OCIStmtExecute(OCISvcCtx *, OCIStmt *, OCIError *, ub4, ub4, const OCISnapshot *,
                     OCISnapshot *, ub4)
{
    return OCI_SUCCESS;
}
#ifndef STANDIN_WITHOUT_FETCH
sword OCIStmtFetch(OCIStmt *, OCIError *, ub4, ub2, ub4) { return OCI_NO_DATA; }
#endif
sword OCIBindByName(OCIStmt *, OCIBind **, OCIError *, const OraText *, sb4, void *, sb4, ub2,
                    void *, ub2 *, ub2 *, ub4, ub4 *, ub4)
{
    return OCI_SUCCESS;
}
sword OCIDefineByPos(OCIStmt *, OCIDefine **, OCIError *, ub4, void *, sb4, ub2, void *, ub2 *,
                     ub2 *, ub4)
{
    return OCI_SUCCESS;
}
sword OCIParamGet(const void *, ub4, OCIError *, void **, ub4) { return OCI_ERROR; }
sword OCIDescriptorFree(void *, const ub4) { return OCI_SUCCESS; }
sword OCINumberFromReal(OCIError *, const void *, uword, OCINumber *) { return OCI_SUCCESS; }
sword OCINumberToInt(OCIError *, const OCINumber *, uword, uword, void *) { return OCI_SUCCESS; }
sword OCINumberToText(OCIError *, const OCINumber *, const oratext *, ub4, const oratext *, ub4,
                      ub4 *, oratext *)
{
    return OCI_SUCCESS;
}
void OCINumberSetZero(OCIError *, OCINumber *) {}
sword OCIDateSysDate(OCIError *, OCIDate *) { return OCI_SUCCESS; }
void OCIClientVersion(sword *major, sword *minor, sword *update, sword *revision, sword *increment)
{
    const char *v = std::getenv("STANDIN_CLNTSH_MAJOR");
    *major = v != nullptr ? std::atoi(v) : 19;
    *minor = 8;
    *update = *revision = *increment = 0;
}

} // extern "C"
