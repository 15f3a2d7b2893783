#include "oci/oracle_client.h"

#include <dlfcn.h>
#include <glob.h>
#include <langinfo.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace oci {
namespace {

constexpr const char *kBaseName = "libclntsh.so";

// Versioned names tried on the loader's path, newest first, after the plain name.
constexpr const char *kVersionedNames[] = {"libclntsh.so.23.1", "libclntsh.so.21.1",
                                           "libclntsh.so.19.1", "libclntsh.so.18.1",
                                           "libclntsh.so.12.1", "libclntsh.so.11.1"};

constexpr const char *kInstallHint =
    "Install Oracle Instant Client (Basic or Basic Light, 64-bit) from "
    "https://www.oracle.com/database/technologies/instant-client/linux-x86-64-downloads.html: "
    "unzip it into /opt/oracle and install the package libaio1, or set TARVOLO_OCI_LIB to the "
    "full path of libclntsh.so.";

std::string envValue(const char *name)
{
    const char *v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

bool isDirectory(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The canonical path of an existing file (links resolved), or the path itself.
std::string realPath(const std::string &path)
{
    char *resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string out(resolved);
    std::free(resolved);
    return out;
}

std::vector<std::string> globPaths(const std::string &pattern)
{
    std::vector<std::string> out;
    glob_t g{};
    if (::glob(pattern.c_str(), 0, nullptr, &g) == 0) {
        for (size_t i = 0; i < g.gl_pathc; ++i)
            out.emplace_back(g.gl_pathv[i]);
    }
    ::globfree(&g);
    return out;
}

// Compares the numeric suffixes of two versioned names ("libclntsh.so.19.1"), higher first.
bool newerVersionFirst(const std::string &a, const std::string &b)
{
    auto numbers = [](const std::string &s) {
        std::vector<long> n;
        const char *p = s.c_str() + s.rfind(kBaseName) + std::strlen(kBaseName);
        while (*p != '\0') {
            if (std::isdigit(static_cast<unsigned char>(*p))) {
                char *end = nullptr;
                n.push_back(std::strtol(p, &end, 10));
                p = end;
            } else {
                ++p;
            }
        }
        return n;
    };
    return numbers(a) > numbers(b);
}

// The plain name in dir, then every versioned file there, newest first.
void addFolder(std::vector<std::string> &out, std::string dir)
{
    if (dir.empty())
        return;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    out.push_back(dir + "/" + kBaseName);
    std::vector<std::string> versioned = globPaths(dir + "/" + kBaseName + ".[0-9]*");
    std::sort(versioned.begin(), versioned.end(), newerVersionFirst);
    out.insert(out.end(), versioned.begin(), versioned.end());
}

} // namespace

std::string oracle_client::name() const
{
    return "Oracle client";
}

bool oracle_client::claims(const char *) const
{
    return true;
}

std::vector<std::string> oracle_client::candidates()
{
    std::vector<std::string> out;
    const std::string explicitLib = envValue("TARVOLO_OCI_LIB");
    if (!explicitLib.empty()) {
        if (isDirectory(explicitLib))
            addFolder(out, explicitLib);
        else
            out.push_back(explicitLib);
    }
    const std::string home = envValue("ORACLE_HOME");
    if (!home.empty())
        addFolder(out, home + "/lib");
    out.emplace_back(kBaseName);
    for (const char *n : kVersionedNames)
        out.emplace_back(n);
    for (const std::string &dir : globPaths("/usr/lib/oracle/*/client64/lib"))
        addFolder(out, dir);
    std::vector<std::string> instant = globPaths("/opt/oracle/instantclient*");
    std::sort(instant.begin(), instant.end(), std::greater<>());
    for (const std::string &dir : instant)
        addFolder(out, dir);
    // The same file may be reached twice (a folder listed under two names); keep the first.
    std::vector<std::string> unique;
    for (const std::string &c : out) {
        if (std::find(unique.begin(), unique.end(), c) == unique.end())
            unique.push_back(c);
    }
    return unique;
}

std::string oracle_client::nlsCharsetFor(const char *codeset)
{
    std::string cs;
    for (const char *p = codeset != nullptr ? codeset : ""; *p != '\0'; ++p) {
        if (*p != '-' && *p != '_')
            cs += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    }
    static const struct {
        const char *codeset;
        const char *charset;
    } map[] = {
        {"ISO88591", "WE8ISO8859P1"},   {"ISO88592", "EE8ISO8859P2"},
        {"ISO88595", "CL8ISO8859P5"},   {"ISO88597", "EL8ISO8859P7"},
        {"ISO88599", "WE8ISO8859P9"},   {"ISO885915", "WE8ISO8859P15"},
        {"KOI8R", "CL8KOI8R"},          {"KOI8U", "CL8KOI8U"},
        {"CP1250", "EE8MSWIN1250"},     {"CP1251", "CL8MSWIN1251"},
        {"CP1252", "WE8MSWIN1252"},     {"EUCJP", "JA16EUC"},
        {"SHIFTJIS", "JA16SJIS"},       {"GB18030", "ZHS32GB18030"},
        {"GBK", "ZHS16GBK"},            {"BIG5", "ZHT16BIG5"},
        {"EUCKR", "KO16KSC5601"},
    };
    for (const auto &m : map) {
        if (cs == m.codeset)
            return m.charset;
    }
    // UTF-8, the plain C locale (treated as UTF-8 throughout the program) and anything unknown.
    return "AL32UTF8";
}

ub2 oracle_client::charsetIdFor(const char *codeset)
{
    // Oracle's numbers for the character sets nlsCharsetFor names (NLS_CHARSET_ID).
    static const struct
    {
        const char *charset;
        ub2 id;
    } ids[] = {
        {"AL32UTF8", OCI_CHARSET_AL32UTF8},
        {"WE8ISO8859P1", 31},
        {"EE8ISO8859P2", 32},
        {"CL8ISO8859P5", 35},
        {"EL8ISO8859P7", 37},
        {"WE8ISO8859P9", 39},
        {"WE8ISO8859P15", 46},
        {"CL8KOI8R", 51},
        {"EE8MSWIN1250", 170},
        {"CL8MSWIN1251", 171},
        {"WE8MSWIN1252", 178},
        {"JA16EUC", 830},
        {"JA16SJIS", 832},
        {"KO16KSC5601", 840},
        {"ZHS16GBK", 852},
        {"ZHS32GB18030", 854},
        {"ZHT16BIG5", 865},
    };
    const std::string charset = nlsCharsetFor(codeset);
    for (const auto &i : ids) {
        if (charset == i.charset)
            return i.id;
    }
    return 0;
}

std::string oracle_client::ensureNlsLang()
{
    std::string current = envValue("NLS_LANG");
    if (!current.empty())
        return current;
    std::string value = "AMERICAN_AMERICA." + nlsCharsetFor(::nl_langinfo(CODESET));
    ::setenv("NLS_LANG", value.c_str(), 1); // an empty value counts as unset: the client would
                                              // fall back to US7ASCII
    return envValue("NLS_LANG");
}

void oracle_client::load()
{
    m_tried = true;
    std::string problems;          // files that exist but were refused, with the reason
    std::vector<std::string> seen; // real paths tried: versioned names are often links to one file
    for (const std::string &file : candidates()) {
        const bool bare = file.find('/') == std::string::npos;
        if (!bare && !exists(file))
            continue;
        if (!bare) {
            const std::string real = realPath(file);
            if (std::find(seen.begin(), seen.end(), real) != seen.end())
                continue;
            seen.push_back(real);
        }
        ::dlerror();
        void *handle = ::dlopen(file.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (handle == nullptr) {
            const char *why = ::dlerror();
            if (!bare)
                problems += file + ": " + (why != nullptr ? why : "cannot be loaded") + ". ";
            continue;
        }
        api t{};
        std::string missing;
#define TARVOLO_OCI_RESOLVE(fn)                                                                       \
    t.fn = reinterpret_cast<decltype(t.fn)>(::dlsym(handle, #fn));                                    \
    if (t.fn == nullptr && missing.empty())                                                           \
        missing = #fn;
        TARVOLO_OCI_API_FUNCTIONS(TARVOLO_OCI_RESOLVE)
#undef TARVOLO_OCI_RESOLVE
        Dl_info info{};
        std::string path = file;
        if (t.OCIClientVersion != nullptr
            && ::dladdr(reinterpret_cast<void *>(t.OCIClientVersion), &info) != 0
            && info.dli_fname != nullptr)
            path = info.dli_fname;
        if (!missing.empty()) {
            problems += path + ": does not export " + missing + ". ";
            ::dlclose(handle);
            continue;
        }
        sword major = 0, minor = 0, update = 0, revision = 0, increment = 0;
        t.OCIClientVersion(&major, &minor, &update, &revision, &increment);
        const std::string version = std::to_string(major) + "." + std::to_string(minor) + "."
                                    + std::to_string(update) + "." + std::to_string(revision) + "."
                                    + std::to_string(increment);
        if (major < kMinimumMajorVersion) {
            problems += path + ": client version " + version + " is not supported (at least "
                        + std::to_string(kMinimumMajorVersion) + " is needed). ";
            ::dlclose(handle);
            continue;
        }
        m_table = t;
        m_path = path;
        m_version = version;
        m_loaded = true;
        return; // the handle stays open for the life of the process
    }
    const std::string explicitLib = envValue("TARVOLO_OCI_LIB");
    const std::string home = envValue("ORACLE_HOME");
    // The refused files come last: the error detail is cut at 1023 bytes and the advice must stay.
    m_failure = std::string("No usable Oracle client library (libclntsh.so) was found. Looked in: ")
                + "$TARVOLO_OCI_LIB (" + (explicitLib.empty() ? "not set" : explicitLib) + "), "
                + "$ORACLE_HOME/lib (" + (home.empty() ? "ORACLE_HOME not set" : home + "/lib")
                + "), the library search path (LD_LIBRARY_PATH, ldconfig), "
                + "/usr/lib/oracle/*/client64/lib, /opt/oracle/instantclient*. " + kInstallHint;
    if (!problems.empty()) {
        problems.pop_back(); // the blank after the last reason
        m_failure += " Refused: " + problems;
    }
}

const api *oracle_client::table()
{
    std::lock_guard lock(m_mutex);
    if (!m_tried)
        load();
    return m_loaded ? &m_table : nullptr;
}

std::string oracle_client::failureDetail() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

description oracle_client::describe()
{
    std::lock_guard lock(m_mutex);
    if (!m_tried)
        load();
    if (!m_loaded)
        return {std::string(), std::string()};
    return {m_path, m_version};
}

} // namespace oci
