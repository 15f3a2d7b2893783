#pragma once

#include "oci/provider.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A scripted OCI provider for tests of the database layer: every call through its table is recorded
// with its arguments (handles by label: env1, err1, srv1, svc1, ses1, stmt1, bind1, def1, par1) and
// answered as the test scripted it. Handles are tracked so tests can see that each is freed once.
namespace scripted {

struct Value {
    enum Type { Null, Text, Number, Date } type = Null;
    std::u16string text;   // Text
    std::string number;    // Number, as the text OCINumberToText gives back (at most 20 bytes)
    oci::OCIDate date{};   // Date
};

Value null();
Value text(std::u16string t);
Value number(std::string n);
Value date(short y, int mo, int d, int h, int mi, int s);

struct Column {
    std::string name;
    oci::ub2 dataType;
    oci::ub2 dataSize;
};

struct Bind {
    std::string name;
    void *value;
    oci::sb4 size;
    oci::ub2 type;
    oci::sb2 *indicator;
    oci::ub2 *length;
    oci::ub4 charset = 0; // from OCIAttrSet
};

struct Define {
    oci::ub4 position;
    void *value;
    oci::sb4 size;
    oci::ub2 type;
    oci::sb2 *indicators;
    oci::ub2 *lengths;
    oci::ub4 charset = 0;
};

struct State {
    std::vector<std::string> calls;            // every call, formatted
    std::map<std::string, std::deque<std::pair<int, oci::sword>>> failures; // name → (skip, status)
    std::string errorText = "ORA-00942: table or view does not exist\n";
    oci::sb4 errorCode = 942;
    oci::ub2 stmtType = oci::OCI_STMT_SELECT;
    std::vector<Column> columns;
    std::vector<std::vector<Value>> rows;
    std::size_t nextRow = 0;
    oci::ub4 rowCount = 0;
    std::vector<Bind> binds;
    std::map<oci::ub4, Define> defines;
    std::function<void(State &)> onExecute; // e.g. writes OUT binds
    std::vector<std::pair<std::string, oci::sb2>> sent; // name and indicator of each bind of the
                                                        // last executed statement, read as OCI does
    int liveHandles = 0;
    int badFrees = 0;          // frees of unknown or already freed handles
    bool envCreateGivesHandle = true; // a failing environment creation still hands one out
    oci::ub1 nonBlocking = 0; // the server's mode: every set of NONBLOCKING_MODE toggles it, as a
                              // client does whatever value is passed; read back as a ub1
    std::string versionedAs = "scripted";
};

State &state();
void reset();

// The next call of fn after skip successful ones returns status.
void fail(const std::string &fn, oci::sword status, int skip = 0);

// Calls recorded whose text starts with prefix.
std::vector<std::string> callsOf(const std::string &prefix);

// The table every member of which records into state().
const oci::api &table();

// A provider over table() that claims service names starting with "SCRIPTED".
class Provider final : public oci::provider {
public:
    std::string name() const override { return "Scripted"; }
    bool claims(const char *serviceName) const override;
    const oci::api *table() override { return available ? &scripted::table() : nullptr; }
    std::string failureDetail() const override { return available ? "" : "nothing here"; }
    oci::description describe() override { return {"scripted", "1.0"}; }
    bool available = true;
};

// Registers a Provider for the lifetime of the object and resets the state.
class Session {
public:
    Session();
    ~Session();
    Provider provider;
};

} // namespace scripted
