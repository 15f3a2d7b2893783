#include "oci/oracle_client.h"
#include "oci/process_environment.h"
#include "oci/registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <optional>

namespace {

// Sets (or with nullopt unsets) an environment variable for the life of the object.
class EnvGuard {
public:
    EnvGuard(const char *name, std::optional<std::string> value) : m_name(name)
    {
        if (const char *old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~EnvGuard()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char *m_name;
    std::optional<std::string> m_old;
};

std::string place(const QTemporaryDir &dir, const QString &relative, const char *source)
{
    const QString target = dir.filePath(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    EXPECT_TRUE(QFile::copy(QString::fromLocal8Bit(source), target));
    return target.toStdString();
}

bool realClientInstalled()
{
    void *h = ::dlopen("libclntsh.so", RTLD_LAZY | RTLD_NOLOAD);
    if (h == nullptr)
        h = ::dlopen("libclntsh.so", RTLD_LAZY);
    if (h != nullptr)
        ::dlclose(h);
    return h != nullptr || QDir("/opt/oracle").exists() || QDir("/usr/lib/oracle").exists();
}

} // namespace

TEST(ClientLibrarySearch, FoundThroughTarvoloOciLibAsFileOrFolder)
{
    QTemporaryDir dir;
    const std::string file = place(dir, "a/libclntsh.so", STANDIN_CLNTSH);
    for (const std::string &setting : {file, dir.filePath("a").toStdString() + "/"}) {
        EnvGuard lib("TARVOLO_OCI_LIB", setting);
        EnvGuard home("ORACLE_HOME", std::nullopt);
        oci::oracle_client client;
        const oci::api *t = client.table();
        ASSERT_NE(t, nullptr) << client.failureDetail();
        EXPECT_TRUE(oci::isComplete(*t));
        EXPECT_EQ(client.describe().library, file);
        EXPECT_EQ(client.describe().version, "19.8.0.0.0");
        EXPECT_TRUE(client.failureDetail().empty());
        EXPECT_TRUE(client.claims("ANY") && client.claims(""));
        oci::OCIEnv *env = nullptr;
        EXPECT_EQ(t->OCIEnvCreate(&env, oci::OCI_OBJECT, nullptr, nullptr, nullptr, nullptr, 0,
                                  nullptr),
                  oci::OCI_SUCCESS);
        EXPECT_NE(env, nullptr);
    }
}

TEST(ClientLibrarySearch, FoundInOracleHomeUnderAVersionedName)
{
    QTemporaryDir dir;
    const std::string file = place(dir, "home/lib/libclntsh.so.21.1", STANDIN_CLNTSH);
    EnvGuard lib("TARVOLO_OCI_LIB", std::nullopt);
    EnvGuard home("ORACLE_HOME", dir.filePath("home").toStdString());
    oci::oracle_client client;
    ASSERT_NE(client.table(), nullptr) << client.failureDetail();
    EXPECT_EQ(client.describe().library, file);
}

TEST(ClientLibrarySearch, CandidateOrder)
{
    QTemporaryDir dir;
    place(dir, "home/lib/libclntsh.so.12.1", STANDIN_CLNTSH);
    place(dir, "home/lib/libclntsh.so.19.1", STANDIN_CLNTSH);
    place(dir, "home/lib/libclntsh.so.9.2", STANDIN_CLNTSH);
    const std::string homeLib = dir.filePath("home/lib").toStdString();
    EnvGuard lib("TARVOLO_OCI_LIB", "/x/libclntsh.so");
    EnvGuard home("ORACLE_HOME", dir.filePath("home").toStdString());
    const auto c = oci::oracle_client::candidates();
    ASSERT_GE(c.size(), 6u);
    EXPECT_EQ(c[0], "/x/libclntsh.so");
    EXPECT_EQ(c[1], homeLib + "/libclntsh.so");
    EXPECT_EQ(c[2], homeLib + "/libclntsh.so.19.1");
    EXPECT_EQ(c[3], homeLib + "/libclntsh.so.12.1");
    EXPECT_EQ(c[4], homeLib + "/libclntsh.so.9.2");
    EXPECT_EQ(c[5], "libclntsh.so"); // then the loader's own search path
}

TEST(ClientLibrarySearch, RefusedLibrariesAreSkippedAndNamedInTheDetail)
{
    if (realClientInstalled())
        GTEST_SKIP() << "an Oracle client is installed on this machine";
    QTemporaryDir dir;
    const std::string partial = place(dir, "partial/libclntsh.so", STANDIN_CLNTSH_PARTIAL);
    const std::string old = place(dir, "home/lib/libclntsh.so", STANDIN_CLNTSH);
    EnvGuard lib("TARVOLO_OCI_LIB", partial);
    EnvGuard home("ORACLE_HOME", dir.filePath("home").toStdString());
    EnvGuard major("STANDIN_CLNTSH_MAJOR", "10");
    oci::oracle_client client;
    EXPECT_EQ(client.table(), nullptr);
    const std::string detail = client.failureDetail();
    EXPECT_NE(detail.find(partial + ": does not export OCIStmtFetch."), std::string::npos) << detail;
    EXPECT_NE(detail.find(old + ": client version 10.8.0.0.0 is not supported"), std::string::npos)
        << detail;
    EXPECT_TRUE(client.describe().library.empty());
}

TEST(ClientLibrarySearch, ManyRefusedFilesLeaveTheAdviceWithinTheErrorDetail)
{
    if (realClientInstalled())
        GTEST_SKIP() << "an Oracle client is installed on this machine";
    QTemporaryDir dir;
    const QString folder = dir.filePath(QString(60, QLatin1Char('d')));
    std::vector<std::string> copies;
    for (const char *version : {"10.1", "11.1", "12.1", "18.1", "19.1", "20.1", "21.1", "22.1", "23.1"})
        copies.push_back(place(dir, QString(60, QLatin1Char('d')) + "/libclntsh.so." + version,
                               STANDIN_CLNTSH_PARTIAL));
    // The unversioned name is a link to one of them, as an install leaves it: reported once.
    ASSERT_TRUE(QFile::link(QString::fromStdString(copies.back()), folder + "/libclntsh.so"));
    EnvGuard lib("TARVOLO_OCI_LIB", folder.toStdString());
    EnvGuard home("ORACLE_HOME", std::nullopt);
    oci::oracle_client client;
    EXPECT_EQ(client.table(), nullptr);
    const std::string detail = client.failureDetail();
    ASSERT_GT(detail.size(), 1023u);
    const std::string shown = detail.substr(0, 1023);
    EXPECT_NE(shown.find("Oracle Instant Client"), std::string::npos) << shown;
    EXPECT_NE(shown.find("TARVOLO_OCI_LIB to the full path of libclntsh.so."), std::string::npos);
    std::size_t refusals = 0;
    for (std::size_t at = detail.find("does not export"); at != std::string::npos;
         at = detail.find("does not export", at + 1))
        ++refusals;
    EXPECT_EQ(refusals, copies.size()) << detail;
}

TEST(ClientLibrarySearch, NothingFoundSaysWhereItLookedAndWhatToInstall)
{
    if (realClientInstalled())
        GTEST_SKIP() << "an Oracle client is installed on this machine";
    QTemporaryDir dir;
    EnvGuard lib("TARVOLO_OCI_LIB", dir.filePath("none/libclntsh.so").toStdString());
    EnvGuard home("ORACLE_HOME", std::nullopt);
    oci::oracle_client client;
    EXPECT_EQ(client.table(), nullptr);
    EXPECT_EQ(client.table(), nullptr); // tried once, stays unavailable
    const std::string detail = client.failureDetail();
    for (const std::string &part :
         {dir.filePath("none/libclntsh.so").toStdString(), std::string("ORACLE_HOME not set"),
          std::string("library search path"), std::string("/usr/lib/oracle/*/client64/lib"),
          std::string("/opt/oracle/instantclient*"), std::string("Oracle Instant Client"),
          std::string("libaio1")})
        EXPECT_NE(detail.find(part), std::string::npos) << part << " missing in " << detail;
    EXPECT_LT(detail.size(), 1023u); // fits the error detail whole
}

TEST(ClientCharacterSet, NlsLangFollowsTheLocaleUnlessTheUserSetIt)
{
    EXPECT_EQ(oci::oracle_client::nlsCharsetFor("UTF-8"), "AL32UTF8");
    EXPECT_EQ(oci::oracle_client::nlsCharsetFor("ANSI_X3.4-1968"), "AL32UTF8");
    EXPECT_EQ(oci::oracle_client::nlsCharsetFor("ISO-8859-15"), "WE8ISO8859P15"); // not P1
    EXPECT_EQ(oci::oracle_client::nlsCharsetFor("koi8_r"), "CL8KOI8R");
    EXPECT_EQ(oci::oracle_client::nlsCharsetFor(nullptr), "AL32UTF8");
    {
        EnvGuard nls("NLS_LANG", "GERMAN_GERMANY.WE8MSWIN1252");
        EXPECT_EQ(oci::oracle_client::ensureNlsLang(), "GERMAN_GERMANY.WE8MSWIN1252");
    }
    for (const std::optional<std::string> &unset : {std::optional<std::string>(), std::optional<std::string>("")}) {
        EnvGuard nls("NLS_LANG", unset);
        const std::string set = oci::oracle_client::ensureNlsLang();
        EXPECT_TRUE(set.starts_with("AMERICAN_AMERICA.")) << set;
        EXPECT_EQ(std::getenv("NLS_LANG"), set);
    }
}

TEST(ClientCharacterSet, EnvironmentsGetTheIdOfTheLocalesCodeSet)
{
    EXPECT_EQ(oci::oracle_client::charsetIdFor("UTF-8"), oci::OCI_CHARSET_AL32UTF8);
    EXPECT_EQ(oci::oracle_client::charsetIdFor("ANSI_X3.4-1968"), 873); // the C locale reads UTF-8
    EXPECT_EQ(oci::oracle_client::charsetIdFor(nullptr), 873);
    EXPECT_EQ(oci::oracle_client::charsetIdFor("ISO-8859-1"), 31);
    EXPECT_EQ(oci::oracle_client::charsetIdFor("iso8859-15"), 46);
    EXPECT_EQ(oci::oracle_client::charsetIdFor("CP1252"), 178);
    EXPECT_EQ(oci::oracle_client::charsetIdFor("KOI8-U"), 0); // left to NLS_LANG's character set
    // Tests run in a UTF-8 or the C locale; NLS_LANG's character set does not change the id.
    EnvGuard nls("NLS_LANG", "GERMAN_GERMANY.WE8ISO8859P1");
    EXPECT_EQ(oci::narrowCharsetId(), 873);
}

namespace {

class NamedProvider final : public oci::provider {
public:
    explicit NamedProvider(std::string prefix) : m_prefix(std::move(prefix)) {}
    std::string name() const override { return m_prefix; }
    bool claims(const char *s) const override { return std::string(s).starts_with(m_prefix); }
    const oci::api *table() override { return nullptr; }
    std::string failureDetail() const override { return {}; }
    oci::description describe() override { return {}; }

private:
    std::string m_prefix;
};

} // namespace

TEST(ProviderRegistry, FirstClaimingProviderElseTheOracleClient)
{
    NamedProvider samples("SAMPLE");
    NamedProvider broad("S");
    oci::registry::add(&samples);
    oci::registry::add(&broad);
    oci::registry::add(&samples); // once only
    EXPECT_EQ(oci::registry::providers().size(), 2u);
    EXPECT_EQ(&oci::registry::forService("SAMPLE"), &samples);
    EXPECT_EQ(&oci::registry::forService("SALES"), &broad);
    EXPECT_EQ(&oci::registry::forService("ORCL"), &oci::registry::oracleClient());
    EXPECT_EQ(&oci::registry::forService(nullptr), &oci::registry::oracleClient());
    EXPECT_EQ(oci::registry::oracleClient().name(), "Oracle client");
    oci::registry::remove(&samples);
    EXPECT_EQ(&oci::registry::forService("SAMPLE"), &broad);
    oci::registry::remove(&broad);
    oci::registry::remove(&broad);
    EXPECT_TRUE(oci::registry::providers().empty());
}
