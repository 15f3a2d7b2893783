#include "app/CWelcomeDlg.h"

#include "settings/CScriptFolders.h"
#include "settings/Options.h"
#include "ui/CScriptedPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class WelcomeDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(samplesPath()));
        options::ShowWelcomeDlg = true;
        options::LastChooseWelcome = 0;
        m_folders.add(m_dir.filePath("Earlier"));
    }
    QString samplesPath() const { return m_dir.filePath("Samples"); }
    CSamplesFolder samples() const
    {
        CSamplesFolder folder(samplesPath(), m_dir.filePath("copy/Samples"));
        folder.setWritableTest([](const QString &) { return true; });
        return folder;
    }
    QRadioButton *radio(CWelcomeDlg &dialog, const char *name)
    {
        return dialog.findChild<QRadioButton *>(name);
    }

    QTemporaryDir m_dir;
    CScriptFolders m_folders;
    CScriptedPrompt m_prompt;
};

} // namespace

TEST_F(WelcomeDlgTest, OpensWithTheStoredChoiceAndShowAtStartupChecked)
{
    const std::pair<int, const char *> cases[] = {{0, "loadSamples"},
                                                  {1, "openExisting"},
                                                  {2, "continueDefault"},
                                                  {7, "continueDefault"},
                                                  {-1, "continueDefault"}};
    for (const auto &[stored, name] : cases) {
        options::LastChooseWelcome = stored;
        CWelcomeDlg dialog(m_folders, samples());
        EXPECT_EQ(dialog.windowTitle(), "Welcome to Tarvolo");
        EXPECT_TRUE(radio(dialog, name)->isChecked()) << stored;
        EXPECT_TRUE(dialog.findChild<QCheckBox *>("showAtStartup")->isChecked());
        EXPECT_EQ(dialog.findChild<QPushButton *>("continueButton")->text(), "Continue");
        EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(Qt::white));
    }
}

TEST_F(WelcomeDlgTest, ContinueAtOnceMakesTheSamplesFolderCurrent)
{
    CWelcomeDlg dialog(m_folders, samples());
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>("continueButton"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(m_folders.current(), samplesPath() + "/");
    EXPECT_EQ(m_folders.folders().size(), 2);
    EXPECT_EQ(options::LastChooseWelcome, 0);
    EXPECT_TRUE(options::ShowWelcomeDlg);
}

TEST_F(WelcomeDlgTest, EscapeCarriesOutTheChoiceAndShowAtStartupIsKept)
{
    options::LastChooseWelcome = 2;
    CWelcomeDlg dialog(m_folders, samples());
    dialog.show();
    dialog.findChild<QCheckBox *>("showAtStartup")->setChecked(false);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(options::LastChooseWelcome, 2);
    EXPECT_FALSE(options::ShowWelcomeDlg);
    EXPECT_EQ(m_folders.current(), m_dir.filePath("Earlier/")); // the list is unchanged
    EXPECT_EQ(m_folders.folders().size(), 1);
}

TEST_F(WelcomeDlgTest, ACancelledFolderBrowserKeepsTheDialogOpen)
{
    CWelcomeDlg dialog(m_folders, samples());
    dialog.show();
    radio(dialog, "openExisting")->setChecked(true);
    dialog.accept(); // the scripted prompt has no folder: the user cancelled
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(m_prompt.asked().size(), 1);
    EXPECT_EQ(m_prompt.asked()[0].caption, "Select a Script Folder");
    EXPECT_EQ(m_prompt.asked()[0].folder, m_dir.filePath("Earlier/"));
    EXPECT_EQ(options::LastChooseWelcome, 0);
    EXPECT_EQ(m_folders.folders().size(), 1);

    const QString chosen = m_dir.filePath("Chosen");
    m_prompt.pushFileName(chosen);
    dialog.reject(); // the close box: the same choice, now with a folder
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(m_folders.current(), chosen + "/");
    EXPECT_EQ(options::LastChooseWelcome, 1);
}

TEST_F(WelcomeDlgTest, AbandonClosesWithoutAChoice)
{
    options::LastChooseWelcome = 1;
    CWelcomeDlg dialog(m_folders, samples());
    dialog.show();
    dialog.findChild<QCheckBox *>("showAtStartup")->setChecked(false);
    dialog.abandon();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(m_prompt.asked().isEmpty());
    EXPECT_EQ(options::LastChooseWelcome, 1);
    EXPECT_FALSE(options::ShowWelcomeDlg);
}
