#pragma once

#include "engine/OraError.h"

// The Oracle and OCI errors that the engine's OCI surface raises itself, with their standard texts.
namespace engine::ocierr {

inline OraError make(int code)
{
    switch (code) {
    case 1002: return OraError::make(1002, "fetch out of sequence");
    case 1007: return OraError::make(1007, "variable not in select list");
    case 1008: return OraError::make(1008, "not all variables bound");
    case 1012: return OraError::make(1012, "not logged on");
    case 1017: return OraError::make(1017, "invalid username/password; logon denied");
    case 1031: return OraError::make(1031, "insufficient privileges");
    case 1036: return OraError::make(1036, "illegal variable name/number");
    case 1403: return OraError::make(1403, "no data found");
    case 1405: return OraError::make(1405, "fetched column value is NULL");
    case 1406: return OraError::make(1406, "fetched column value was truncated");
    case 1455: return OraError::make(1455, "converting column overflows integer datatype");
    case 1722: return OraError::make(1722, "invalid number");
    case 1843: return OraError::make(1843, "not a valid month");
    case 1847: return OraError::make(1847, "day of month must be between 1 and last day of month");
    case 1850: return OraError::make(1850, "hour must be between 0 and 23");
    case 1851: return OraError::make(1851, "minutes must be between 0 and 59");
    case 1852: return OraError::make(1852, "seconds must be between 0 and 59");
    case 1861: return OraError::make(1861, "literal does not match format string");
    case 3115: return OraError::make(3115, "unsupported network datatype or representation");
    case 12154:
        return OraError::make(12154, "TNS:could not resolve the connect identifier specified");
    case 24315: return OraError::make(24315, "illegal attribute type");
    case 24327: return OraError::make(24327, "need explicit attach before authenticating a user");
    case 24333: return OraError::make(24333, "zero iteration count");
    case 24334: return OraError::make(24334, "no descriptor for this position");
    case 24338: return OraError::make(24338, "statement handle not executed");
    case 24345: return OraError::make(24345, "A Truncation or null fetch error occurred");
    case 24374:
        return OraError::make(24374, "define not done before fetch or execute and fetch");
    case 24391: return OraError::make(24391, "invalid fetch operation");
    case 22053: return OraError::make(22053, "overflow error", "OCI-");
    case 22060: return OraError::make(22060, "argument [1] is an invalid or uninitialized number", "OCI-");
    case 22065:
        return OraError::make(22065, "number to text translation for the given format causes overflow",
                              "OCI-");
    default: return OraError::make(code, "");
    }
}

inline OraError inconsistentTypes(const char *expected, const char *got)
{
    return OraError::make(932, std::string("inconsistent datatypes: expected ") + expected + " got "
                                   + got);
}

inline OraError bufferTooSmall()
{
    return OraError::make(6502, "PL/SQL: numeric or value error: character string buffer too small");
}

} // namespace engine::ocierr
