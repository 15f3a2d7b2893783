#pragma once

#include <cstddef>

// Our own declaration of the part of the Oracle Call Interface that Tarvolo uses: the scalar types,
// the opaque handle types, the value structs and the constants, with OCI's names and values on 64-bit
// Linux. Nothing from Oracle is needed to build; every provider (the Oracle client loaded at run time,
// the embedded engine, test providers) works with exactly these declarations.
namespace oci {

using ub1 = unsigned char;
using sb1 = signed char;
using ub2 = unsigned short;
using sb2 = signed short;
using ub4 = unsigned int;
using sb4 = signed int;
using ub8 = unsigned long;
using sb8 = signed long;
using sword = signed int; // every OCI call returns a sword
using uword = unsigned int;
using OraText = unsigned char; // narrow text: SQL, names, messages
using oratext = OraText;
using utext = unsigned short; // one UTF-16 code unit
using boolean = int;
using OCIInd = sb2;

static_assert(sizeof(ub8) == 8 && sizeof(sword) == 4 && sizeof(ub2) == 2, "LP64 layout expected");

// Handles and descriptors are opaque to callers; a provider may define these structs as it likes.
struct OCIEnv;
struct OCIError;
struct OCISvcCtx;
struct OCIStmt;
struct OCIBind;
struct OCIDefine;
struct OCIDescribe;
struct OCIServer;
struct OCISession;
struct OCITrans;
struct OCIParam;
struct OCISnapshot;

struct OCITime {
    ub1 OCITimeHH; // 0..23
    ub1 OCITimeMI; // 0..59
    ub1 OCITimeSS; // 0..59
};

struct OCIDate {
    sb2 OCIDateYYYY; // -4712..9999
    ub1 OCIDateMM;   // 1..12
    ub1 OCIDateDD;   // 1..31
    OCITime OCIDateTime;
};

inline constexpr int OCI_NUMBER_SIZE = 22;

// A NUMBER in Oracle's variable-length form: length byte, exponent byte, base-100 mantissa.
struct OCINumber {
    ub1 OCINumberPart[OCI_NUMBER_SIZE];
};

static_assert(sizeof(OCITime) == 3 && sizeof(OCIDate) == 8 && alignof(OCIDate) == 2);
static_assert(sizeof(OCINumber) == 22 && alignof(OCINumber) == 1);

// Return codes
inline constexpr sword OCI_SUCCESS = 0;
inline constexpr sword OCI_SUCCESS_WITH_INFO = 1;
inline constexpr sword OCI_NEED_DATA = 99;
inline constexpr sword OCI_NO_DATA = 100;
inline constexpr sword OCI_ERROR = -1;
inline constexpr sword OCI_INVALID_HANDLE = -2;
inline constexpr sword OCI_STILL_EXECUTING = -3123;
inline constexpr sword OCI_CONTINUE = -24200;

// Modes
inline constexpr ub4 OCI_DEFAULT = 0x0;
inline constexpr ub4 OCI_THREADED = 0x1;
inline constexpr ub4 OCI_OBJECT = 0x2;
inline constexpr ub4 OCI_DESCRIBE_ONLY = 0x10;
inline constexpr ub4 OCI_COMMIT_ON_SUCCESS = 0x20;
inline constexpr ub4 OCI_STMT_CACHE = 0x40;
inline constexpr ub4 OCI_BATCH_ERRORS = 0x80;
inline constexpr ub4 OCI_PARSE_ONLY = 0x100;

// Handle types
inline constexpr ub4 OCI_HTYPE_ENV = 1;
inline constexpr ub4 OCI_HTYPE_ERROR = 2;
inline constexpr ub4 OCI_HTYPE_SVCCTX = 3;
inline constexpr ub4 OCI_HTYPE_STMT = 4;
inline constexpr ub4 OCI_HTYPE_BIND = 5;
inline constexpr ub4 OCI_HTYPE_DEFINE = 6;
inline constexpr ub4 OCI_HTYPE_DESCRIBE = 7;
inline constexpr ub4 OCI_HTYPE_SERVER = 8;
inline constexpr ub4 OCI_HTYPE_SESSION = 9;
inline constexpr ub4 OCI_HTYPE_AUTHINFO = 9;
inline constexpr ub4 OCI_HTYPE_TRANS = 10;

// Descriptor types
inline constexpr ub4 OCI_DTYPE_LOB = 50;
inline constexpr ub4 OCI_DTYPE_PARAM = 53;
inline constexpr ub4 OCI_DTYPE_ROWID = 54;

// Attributes; several numbers are reused and mean what the handle type passed with them says.
inline constexpr ub4 OCI_ATTR_DATA_SIZE = 1;        // param: ub2
inline constexpr ub4 OCI_ATTR_DATA_TYPE = 2;        // param: ub2
inline constexpr ub4 OCI_ATTR_NONBLOCKING_MODE = 3; // server: ub1
inline constexpr ub4 OCI_ATTR_NAME = 4;             // param: OraText* plus ub4 length, no terminator
inline constexpr ub4 OCI_ATTR_PRECISION = 5;        // param: sb2
inline constexpr ub4 OCI_ATTR_SCALE = 6;            // param: sb1
inline constexpr ub4 OCI_ATTR_SERVER = 6;           // svcctx: OCIServer*, size 0
inline constexpr ub4 OCI_ATTR_IS_NULL = 7;          // param: ub1
inline constexpr ub4 OCI_ATTR_SESSION = 7;          // svcctx: OCISession*, size 0
inline constexpr ub4 OCI_ATTR_ROW_COUNT = 9;        // stmt: ub4
inline constexpr ub4 OCI_ATTR_PREFETCH_ROWS = 11;   // stmt: ub4
inline constexpr ub4 OCI_ATTR_PARAM_COUNT = 18;     // stmt: ub4
inline constexpr ub4 OCI_ATTR_USERNAME = 22;        // session: text plus byte length
inline constexpr ub4 OCI_ATTR_PASSWORD = 23;        // session: text plus byte length
inline constexpr ub4 OCI_ATTR_STMT_TYPE = 24;       // stmt: ub2
inline constexpr ub4 OCI_ATTR_CHARSET_ID = 31;      // env, bind, define: ub2
inline constexpr ub4 OCI_ATTR_CHARSET_FORM = 32;    // param, bind, define: ub1
inline constexpr ub4 OCI_ATTR_MAXDATA_SIZE = 33;    // bind: ub4
inline constexpr ub4 OCI_ATTR_PARSE_ERROR_OFFSET = 129; // stmt: ub2
inline constexpr ub4 OCI_ATTR_SERVER_STATUS = 143;  // server: ub4
inline constexpr ub4 OCI_ATTR_STATEMENT = 144;      // stmt: text
inline constexpr ub4 OCI_ATTR_ROWS_FETCHED = 197;   // stmt: ub4
inline constexpr ub4 OCI_ATTR_CHAR_USED = 285;      // param: ub1
inline constexpr ub4 OCI_ATTR_CHAR_SIZE = 286;      // param: ub2
inline constexpr ub4 OCI_ATTR_UB8_ROW_COUNT = 457;  // stmt: ub8
inline constexpr ub4 OCI_ATTR_TRANSACTION_IN_PROGRESS = 484; // session: boolean

inline constexpr ub4 OCI_SERVER_NOT_CONNECTED = 0;
inline constexpr ub4 OCI_SERVER_NORMAL = 1;

// Credentials and session modes
inline constexpr ub4 OCI_CRED_RDBMS = 1;
inline constexpr ub4 OCI_CRED_EXT = 2;
inline constexpr ub4 OCI_SYSDBA = 0x2;
inline constexpr ub4 OCI_SYSOPER = 0x4;
inline constexpr ub4 OCI_PRELIM_AUTH = 0x8;
inline constexpr ub4 OCI_SYSASM = 0x8000;

// Prepare syntax
inline constexpr ub4 OCI_NTV_SYNTAX = 1;
inline constexpr ub4 OCI_V7_SYNTAX = 2;
inline constexpr ub4 OCI_V8_SYNTAX = 3;

// Fetch orientation
inline constexpr ub2 OCI_FETCH_NEXT = 0x2;
inline constexpr ub2 OCI_FETCH_FIRST = 0x4;
inline constexpr ub2 OCI_FETCH_LAST = 0x8;
inline constexpr ub2 OCI_FETCH_PRIOR = 0x10;
inline constexpr ub2 OCI_FETCH_ABSOLUTE = 0x20;
inline constexpr ub2 OCI_FETCH_RELATIVE = 0x40;

// Number sign flag
inline constexpr uword OCI_NUMBER_UNSIGNED = 0;
inline constexpr uword OCI_NUMBER_SIGNED = 2;

// Indicators
inline constexpr OCIInd OCI_IND_NOTNULL = 0;
inline constexpr OCIInd OCI_IND_NULL = -1;
inline constexpr OCIInd OCI_IND_BADNULL = -2;
inline constexpr OCIInd OCI_IND_NOTNULLABLE = -3;

// Character sets
inline constexpr ub2 OCI_UTF16ID = 1000; // UTF-16 in the platform's byte order
inline constexpr ub2 OCI_CHARSET_AL32UTF8 = 873;
inline constexpr ub2 OCI_CHARSET_AL16UTF16 = 2000;
inline constexpr ub1 SQLCS_IMPLICIT = 1;
inline constexpr ub1 SQLCS_NCHAR = 2;

inline constexpr ub4 OCI_ERROR_MAXMSG_SIZE = 1024;
inline constexpr ub4 OCI_ERROR_MAXMSG_SIZE2 = 3072;

// Statement types (OCI_ATTR_STMT_TYPE)
inline constexpr ub2 OCI_STMT_UNKNOWN = 0;
inline constexpr ub2 OCI_STMT_SELECT = 1;
inline constexpr ub2 OCI_STMT_UPDATE = 2;
inline constexpr ub2 OCI_STMT_DELETE = 3;
inline constexpr ub2 OCI_STMT_INSERT = 4;
inline constexpr ub2 OCI_STMT_CREATE = 5;
inline constexpr ub2 OCI_STMT_DROP = 6;
inline constexpr ub2 OCI_STMT_ALTER = 7;
inline constexpr ub2 OCI_STMT_BEGIN = 8;
inline constexpr ub2 OCI_STMT_DECLARE = 9;
inline constexpr ub2 OCI_STMT_CALL = 10;
inline constexpr ub2 OCI_STMT_EXPLAIN = 15;
inline constexpr ub2 OCI_STMT_MERGE = 16;
inline constexpr ub2 OCI_STMT_ROLLBACK = 17;
inline constexpr ub2 OCI_STMT_COMMIT = 21;

// External (SQLT) data types
inline constexpr ub2 SQLT_CHR = 1;
inline constexpr ub2 SQLT_NUM = 2;
inline constexpr ub2 SQLT_INT = 3;
inline constexpr ub2 SQLT_FLT = 4;
inline constexpr ub2 SQLT_STR = 5;
inline constexpr ub2 SQLT_VNU = 6;
inline constexpr ub2 SQLT_PDN = 7;
inline constexpr ub2 SQLT_LNG = 8;
inline constexpr ub2 SQLT_VCS = 9;
inline constexpr ub2 SQLT_RID = 11;
inline constexpr ub2 SQLT_DAT = 12;
inline constexpr ub2 SQLT_VBI = 15;
inline constexpr ub2 SQLT_BFLOAT = 21;
inline constexpr ub2 SQLT_BDOUBLE = 22;
inline constexpr ub2 SQLT_BIN = 23;
inline constexpr ub2 SQLT_LBI = 24;
inline constexpr ub2 SQLT_UIN = 68;
inline constexpr ub2 SQLT_LVC = 94;
inline constexpr ub2 SQLT_LVB = 95;
inline constexpr ub2 SQLT_AFC = 96;
inline constexpr ub2 SQLT_AVC = 97;
inline constexpr ub2 SQLT_IBFLOAT = 100;
inline constexpr ub2 SQLT_IBDOUBLE = 101;
inline constexpr ub2 SQLT_CUR = 102;
inline constexpr ub2 SQLT_RDD = 104;
inline constexpr ub2 SQLT_NTY = 108;
inline constexpr ub2 SQLT_REF = 110;
inline constexpr ub2 SQLT_CLOB = 112;
inline constexpr ub2 SQLT_BLOB = 113;
inline constexpr ub2 SQLT_BFILEE = 114;
inline constexpr ub2 SQLT_CFILEE = 115;
inline constexpr ub2 SQLT_RSET = 116;
inline constexpr ub2 SQLT_NCO = 122;
inline constexpr ub2 SQLT_VST = 155;
inline constexpr ub2 SQLT_ODT = 156;
inline constexpr ub2 SQLT_DATE = 184;
inline constexpr ub2 SQLT_TIME = 185;
inline constexpr ub2 SQLT_TIME_TZ = 186;
inline constexpr ub2 SQLT_TIMESTAMP = 187;
inline constexpr ub2 SQLT_TIMESTAMP_TZ = 188;
inline constexpr ub2 SQLT_INTERVAL_YM = 189;
inline constexpr ub2 SQLT_INTERVAL_DS = 190;
inline constexpr ub2 SQLT_TIMESTAMP_LTZ = 232;

} // namespace oci
