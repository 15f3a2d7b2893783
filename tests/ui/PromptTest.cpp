// The prompt facade: scripted answers, the escape answer, what was asked, nesting of installs.
#include "ui/CPrompt.h"
#include "ui/CScriptedPrompt.h"

#include <gtest/gtest.h>

TEST(Prompt, ScriptedAnswersComeInOrderThenTheEscapeAnswer)
{
    CScriptedPrompt prompt;
    prompt.pushAnswer(QMessageBox::Yes);
    prompt.pushAnswer(QMessageBox::No);
    EXPECT_TRUE(CPrompt::confirm(nullptr, "Warning!", "Are you sure to do it?"));
    EXPECT_FALSE(CPrompt::confirm(nullptr, "Warning!", "Are you sure to do it?"));
    // Nothing queued: a question is answered No, a box with only OK reports OK.
    EXPECT_FALSE(CPrompt::confirm(nullptr, "Warning!", "again"));
    EXPECT_EQ(CPrompt::message(nullptr, QMessageBox::NoIcon, "c", "t"), QMessageBox::Ok);
    EXPECT_EQ(CPrompt::message(nullptr, QMessageBox::NoIcon, "c", "t",
                               QMessageBox::Ok | QMessageBox::Cancel),
              QMessageBox::Cancel);

    ASSERT_EQ(prompt.asked().size(), 5);
    const CScriptedPrompt::Asked &first = prompt.asked().first();
    EXPECT_EQ(first.kind, CScriptedPrompt::Kind::Message);
    EXPECT_EQ(first.caption, "Warning!");
    EXPECT_EQ(first.text, "Are you sure to do it?");
    EXPECT_EQ(first.icon, QMessageBox::Warning);
    EXPECT_EQ(first.buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(Prompt, ErrorsAndInformationCarryTheirCaptions)
{
    CScriptedPrompt prompt;
    CPrompt::error(nullptr, "Error type: Oracle\nDescription: ORA-00942\n");
    CPrompt::information(nullptr, "done");
    ASSERT_EQ(prompt.asked().size(), 2);
    EXPECT_EQ(prompt.asked()[0].caption, CPrompt::applicationTitle());
    EXPECT_EQ(prompt.asked()[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(prompt.asked()[1].caption, "Information");
    EXPECT_EQ(prompt.messages(),
              QStringList({"Error type: Oracle\nDescription: ORA-00942\n", "done"}));
}

TEST(Prompt, ChoosersTakeQueuedNamesAndOtherwiseCancel)
{
    CScriptedPrompt prompt;
    prompt.pushFileName("/tmp/a.xlsx");
    EXPECT_EQ(CPrompt::saveFileName(nullptr, "Save", "/tmp"), "/tmp/a.xlsx");
    EXPECT_EQ(CPrompt::existingFolder(nullptr, "Folder", "/home"), QString());
    ASSERT_EQ(prompt.asked().size(), 2);
    EXPECT_EQ(prompt.asked()[0].kind, CScriptedPrompt::Kind::SaveFile);
    EXPECT_EQ(prompt.asked()[1].kind, CScriptedPrompt::Kind::Folder);
    EXPECT_EQ(prompt.asked()[1].folder, "/home");
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST(Prompt, NestedScriptsRestoreTheOuterOne)
{
    CScriptedPrompt outer;
    {
        CScriptedPrompt inner;
        CPrompt::information(nullptr, "inner");
        EXPECT_EQ(&CPrompt::current(), &inner);
    }
    EXPECT_EQ(&CPrompt::current(), &outer);
    CPrompt::information(nullptr, "outer");
    EXPECT_EQ(outer.messages(), QStringList{"outer"});
}
