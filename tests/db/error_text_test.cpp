#include "ScriptedOci.h"

#include "db/error.h"

#include <gtest/gtest.h>

using scripted::state;

TEST(ErrorText, StatusNamesAndWhichOfThemReadTheOracleText)
{
    scripted::Session s;
    const struct {
        oci::sword status;
        const char *name;
        bool readsText;
    } cases[] = {
        {0, "(OCI_SUCCESS)", false},          {1, "(OCI_SUCCESS_WITH_INFO)", true},
        {99, "(OCI_NEED_DATA)", false},       {100, "(OCI_NO_DATA)", true},
        {-1, "(OCI_ERROR)", true},            {-2, "(OCI_INVALID_HANDLE)", false},
        {-3123, "(OCI_STILL_EXECUTING)", true}, {-24200, "(OCI_CONTINUE)", false},
        {42, "unknown", false},               {-3, "unknown", false},
    };
    int fakeHandle = 0;
    for (const auto &c : cases) {
        state().calls.clear();
        const db::error e =
            db::error::oracle(&scripted::table(), c.status, &fakeHandle, oci::OCI_HTYPE_ERROR);
        EXPECT_EQ(e.kind(), db::error::oracle_kind);
        EXPECT_EQ(e.code(), c.status);
        if (c.readsText) {
            EXPECT_EQ(e.description(),
                      std::string(c.name) + " ORA-00942: table or view does not exist\n");
            EXPECT_EQ(e.oracle_error(), 942);
            EXPECT_EQ(state().calls.size(), 1u);
        } else {
            EXPECT_EQ(e.description(), c.name);
            EXPECT_EQ(e.oracle_error(), 0);
            EXPECT_TRUE(state().calls.empty()) << c.name;
        }
    }
}

TEST(ErrorText, OracleTextIsKeptWithinItsBufferAndNullHandlesReadNothing)
{
    scripted::Session s;
    state().errorText = std::string(5000, 'x');
    int fakeHandle = 0;
    const db::error e = db::error::oracle(&scripted::table(), oci::OCI_ERROR, &fakeHandle, 2);
    EXPECT_EQ(e.description().size(), std::string("(OCI_ERROR) ").size() + 3999);

    state().calls.clear();
    const db::error none = db::error::oracle(&scripted::table(), oci::OCI_ERROR, nullptr, 2);
    EXPECT_EQ(none.description(), "(OCI_ERROR)");
    EXPECT_TRUE(state().calls.empty());
}

TEST(ErrorText, LibraryCodesTextsAndDisplay)
{
    const std::pair<int, const char *> texts[] = {
        {1000, "Environment handle creation failed"},
        {1001, "Statement took too long to complete and has been aborted"},
        {1002, "Memory allocation request has failed"},
        {1003, "Parameter type is incorrect"},
        {1004, "Connection pool has not been setup yet"},
        {1005, "Input data doesn't have expected type"},
        {1006, "Cannot convert to requested type"},
        {1007, "Requested transformation is not possible"},
        {1008, "Parameter prefix is not known"},
        {1009, "Unsupported type - this version of the program doesn't support such an Oracle type"},
        {1010, "Name not found in statement's parameters"},
        {1011, "Result set doesn't contain column with such name"},
        {1012, "Internal library error. Please, report to developers"},
        {999, "unknown error"},
        {1013, "unknown error"},
    };
    for (auto [code, text] : texts) {
        const db::error e = db::error::library(code);
        EXPECT_EQ(e.description(), text);
        EXPECT_EQ(e.oracle_error(), 0);
    }
    const db::error e = db::error::library(1010, ":NAME", "statement.cpp", 12);
    EXPECT_EQ(e.display_text(), QStringLiteral("Error type: Tarvolo\nDescription: Name not found in "
                                               "statement's parameters: :NAME\n"));
    EXPECT_EQ(e.source_module(), "statement.cpp");
    EXPECT_EQ(e.source_line(), 12);
    EXPECT_STREQ(e.what(), "Name not found in statement's parameters: :NAME");
    EXPECT_STREQ(db::error::kind_name(0), "unknown");
    EXPECT_STREQ(db::error::kind_name(3), "Win32 API");
    EXPECT_STREQ(db::error::kind_name(7), "unknown");
}

TEST(ErrorText, DetailIsCutTo1023WithoutSplittingACharacter)
{
    const std::string prefix = "Result set doesn't contain column with such name: ";
    EXPECT_EQ(db::error::library(1011, std::string(1023, 'a')).description(),
              prefix + std::string(1023, 'a'));
    EXPECT_EQ(db::error::library(1011, std::string(2000, 'b')).description(),
              prefix + std::string(1023, 'b'));
    // 1022 ASCII bytes, then "ä" (2 bytes): byte 1023 would be half of it.
    const std::string cut = std::string(1022, 'c') + "\xc3\xa4" + "tail";
    EXPECT_EQ(db::error::library(1011, cut).description(), prefix + std::string(1022, 'c'));
    EXPECT_EQ(db::error::library(1011, "\xc3\xa4").display_text(),
              QStringLiteral("Error type: Tarvolo\nDescription: ") + QString::fromUtf8(prefix)
                  + QStringLiteral("ä\n"));
}
