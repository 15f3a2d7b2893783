#pragma once

#include "oci/types.h"

// What the Oracle client needs from the process before it is loaded. Changing the process
// environment (setenv) is safe only while no other thread can read it, so main() calls
// prepareProcessEnvironment() first, before any thread exists; nothing here changes the environment
// later or lazily.
namespace oci {

// Takes the C library's locale from the user's settings (setlocale(LC_ALL, ""), as the Qt
// application does when it starts), sets NLS_LANG to AMERICAN_AMERICA.<charset of the locale> when
// it is unset or empty (a value the user set is kept; its language and territory apply), and fixes
// narrowCharsetId().
void prepareProcessEnvironment();

// The Oracle character set id of narrow text (SQL, names, messages), which is in the locale's code
// set: AL32UTF8 (873) for UTF-8 and the plain C locale. Environments are created with it, so
// NLS_LANG's character-set part no longer decides how narrow text is read. 0 when the code set has
// no known id: the client then takes the character set from NLS_LANG. Fixed at its first call.
ub2 narrowCharsetId();

} // namespace oci
