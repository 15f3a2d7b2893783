#pragma once

#include "oci/types.h"

// The function table through which the database layer reaches OCI. Every member has exactly the
// signature of the OCI function it is named after (C linkage on Linux, no calling-convention macro).
// A provider fills every member; a table handed out by a provider never holds a null member and stays
// valid for the life of the process.
namespace oci {

using malocfp_t = void *(*)(void *ctxp, size_t size);
using ralocfp_t = void *(*)(void *ctxp, void *memptr, size_t newsize);
using mfreefp_t = void (*)(void *ctxp, void *memptr);

struct api {
    sword (*OCIEnvCreate)(OCIEnv **envp, ub4 mode, void *ctxp, malocfp_t malocfp, ralocfp_t ralocfp,
                          mfreefp_t mfreefp, size_t xtramem_sz, void **usrmempp);
    // OCIEnvCreate with the character sets of narrow text (charset) and of national text (ncharset);
    // both 0 takes them from NLS_LANG and NLS_NCHAR, both non-zero overrides them.
    sword (*OCIEnvNlsCreate)(OCIEnv **envp, ub4 mode, void *ctxp, malocfp_t malocfp, ralocfp_t ralocfp,
                             mfreefp_t mfreefp, size_t xtramem_sz, void **usrmempp, ub2 charset,
                             ub2 ncharset);
    sword (*OCIHandleAlloc)(const void *parenth, void **hndlpp, const ub4 type, const size_t xtramem_sz,
                            void **usrmempp);
    sword (*OCIHandleFree)(void *hndlp, const ub4 type);
    sword (*OCIAttrSet)(void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 size, ub4 attrtype,
                        OCIError *errhp);
    sword (*OCIAttrGet)(const void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 *sizep,
                        ub4 attrtype, OCIError *errhp);
    sword (*OCIServerAttach)(OCIServer *srvhp, OCIError *errhp, const OraText *dblink, sb4 dblink_len,
                             ub4 mode);
    sword (*OCIServerDetach)(OCIServer *srvhp, OCIError *errhp, ub4 mode);
    sword (*OCISessionBegin)(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp, ub4 credt,
                             ub4 mode);
    sword (*OCISessionEnd)(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp, ub4 mode);
    sword (*OCIErrorGet)(void *hndlp, ub4 recordno, OraText *sqlstate, sb4 *errcodep, OraText *bufp,
                         ub4 bufsiz, ub4 type);
    sword (*OCIStmtPrepare)(OCIStmt *stmtp, OCIError *errhp, const OraText *stmt, ub4 stmt_len,
                            ub4 language, ub4 mode);
    sword (*OCIStmtExecute)(OCISvcCtx *svchp, OCIStmt *stmtp, OCIError *errhp, ub4 iters,
                            ub4 rowoff, const OCISnapshot *snap_in, OCISnapshot *snap_out, ub4 mode);
    sword (*OCIStmtFetch)(OCIStmt *stmtp, OCIError *errhp, ub4 nrows, ub2 orientation, ub4 mode);
    sword (*OCIBindByName)(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp, const OraText *placeholder,
                           sb4 placeh_len, void *valuep, sb4 value_sz, ub2 dty, void *indp, ub2 *alenp,
                           ub2 *rcodep, ub4 maxarr_len, ub4 *curelep, ub4 mode);
    sword (*OCIDefineByPos)(OCIStmt *stmtp, OCIDefine **defnp, OCIError *errhp, ub4 position,
                            void *valuep, sb4 value_sz, ub2 dty, void *indp, ub2 *rlenp, ub2 *rcodep,
                            ub4 mode);
    sword (*OCIParamGet)(const void *hndlp, ub4 htype, OCIError *errhp, void **parmdpp, ub4 pos);
    sword (*OCIDescriptorFree)(void *descp, const ub4 type);
    sword (*OCINumberFromReal)(OCIError *err, const void *rnum, uword rnum_length, OCINumber *number);
    sword (*OCINumberToInt)(OCIError *err, const OCINumber *number, uword rsl_length, uword rsl_flag,
                            void *rsl);
    sword (*OCINumberToText)(OCIError *err, const OCINumber *number, const oratext *fmt, ub4 fmt_length,
                             const oratext *nls_params, ub4 nls_p_length, ub4 *buf_size, oratext *buf);
    void (*OCINumberSetZero)(OCIError *err, OCINumber *num);
    sword (*OCIDateSysDate)(OCIError *err, OCIDate *date);
    void (*OCIClientVersion)(sword *featureRelease, sword *releaseUpdate, sword *releaseUpdateRevision,
                             sword *increment, sword *ext);
};

// Calls X(name) for every member of oci::api, in declaration order; used to resolve or fill the table
// member by member.
#define TARVOLO_OCI_API_FUNCTIONS(X)                                                                  \
    X(OCIEnvCreate)                                                                                   \
    X(OCIEnvNlsCreate)                                                                                \
    X(OCIHandleAlloc)                                                                                 \
    X(OCIHandleFree)                                                                                  \
    X(OCIAttrSet)                                                                                     \
    X(OCIAttrGet)                                                                                     \
    X(OCIServerAttach)                                                                                \
    X(OCIServerDetach)                                                                                \
    X(OCISessionBegin)                                                                                \
    X(OCISessionEnd)                                                                                  \
    X(OCIErrorGet)                                                                                    \
    X(OCIStmtPrepare)                                                                                 \
    X(OCIStmtExecute)                                                                                 \
    X(OCIStmtFetch)                                                                                   \
    X(OCIBindByName)                                                                                  \
    X(OCIDefineByPos)                                                                                 \
    X(OCIParamGet)                                                                                    \
    X(OCIDescriptorFree)                                                                              \
    X(OCINumberFromReal)                                                                              \
    X(OCINumberToInt)                                                                                 \
    X(OCINumberToText)                                                                                \
    X(OCINumberSetZero)                                                                               \
    X(OCIDateSysDate)                                                                                 \
    X(OCIClientVersion)

// True when every member of the table is set.
bool isComplete(const api &table);

} // namespace oci
