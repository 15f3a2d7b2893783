#include "settings/Options.h"

#include "platform/CXdgAutostart.h"
#include "settings/CSettingsStore.h"

#include "StoreFile.h"

#include <QFileInfo>

namespace {

// A store file of the test's own and the autostart entry in a temporary XDG_CONFIG_HOME.
class OptionsTest : public StoreFileTest
{
protected:
    void SetUp() override
    {
        StoreFileTest::SetUp();
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_oldConfig); }

    QString entryText() const
    {
        return QString::fromUtf8(testfiles::readBytes(CXdgAutostart::entryPath()));
    }

    CXdgAutostart m_autostart{QStringLiteral("/usr/bin/tarvolo")};
    QByteArray m_oldConfig;
    options::CRestoreOptions m_options; // every test here loads or changes the options
};

TEST_F(OptionsTest, EmptyStoreGivesExactlyTheDefaultsAndCreatesTheAutostartEntry)
{
    // Values of an earlier run in memory must not leak through a load.
    options::GridHeight = 77;
    options::StartWithStartUp = false;
    options::FontGrid.setColor(0x123456);
    options::FontDBMSOutput.setDescription(CLogFont::generic());

    const CSettingsStore store(path());
    options::load(store, m_autostart);

    EXPECT_TRUE(options::StartWithStartUp);
    EXPECT_EQ(options::GridHeight, 20);
    EXPECT_EQ(options::ReadBufferSize, 500);
    EXPECT_FALSE(options::SizeToHeader);
    EXPECT_EQ(options::MaxColWidth, 999);
    EXPECT_TRUE(options::ShowWelcomeDlg);
    EXPECT_EQ(options::BtnX, 150);
    EXPECT_EQ(options::BtnY, 40);
    EXPECT_TRUE(options::FixedBarSize);
    EXPECT_EQ(options::CntBtnX, 8);
    EXPECT_EQ(options::CntBtnY, 8);
    EXPECT_EQ(options::LastChooseWelcome, 0);
    EXPECT_EQ(options::HkShowMainDlg, 0);
    EXPECT_EQ(options::DateFormat, 0);
    EXPECT_EQ(options::TimeFormat, 0);
    EXPECT_TRUE(options::HideMainDlgOnESC);
    EXPECT_TRUE(options::EnableDBMSOutput);
    EXPECT_EQ(options::DBMSOutputBufferSize, 10000);
    EXPECT_EQ(options::MaxVarsInHist, 20);
    EXPECT_EQ(options::nMaxValuesInHist, 20);

    EXPECT_EQ(options::FontGrid.description(), CLogFont::generic());
    EXPECT_EQ(options::FontGrid.color(), 0x000000u);
    const std::pair<const CFontLS *, quint32> courier[] = {
        {&options::FontEditorDefault, 0x000000},  {&options::FontEditorString, 0x808000},
        {&options::FontEditorComment, 0x008000},  {&options::FontEditorReservedWord, 0xFF0000},
        {&options::FontEditorFunction, 0x008080}, {&options::FontDBMSOutput, 0xFF0000}};
    for (const auto &[font, color] : courier) {
        EXPECT_EQ(font->description(), CLogFont::courierNew());
        EXPECT_EQ(font->color(), color);
    }

    EXPECT_TRUE(entryText().contains("\nExec=/usr/bin/tarvolo /hide\n"));
}

TEST_F(OptionsTest, LoadTakesStoredValuesAsTheyAreAndSaveClampsThem)
{
    writeStore("[Options]\nGridHeight=5\nDBMSOutputBufferSize=20000000\nMaxColWidth=-40\n"
               "SizeToHeader=7\nHideMainDlgOnESC=0\nCntBtnX=100\n");
    {
        CSettingsStore store(path());
        options::load(store, m_autostart);
        EXPECT_EQ(options::GridHeight, 5);
        EXPECT_EQ(options::DBMSOutputBufferSize, 20000000);
        EXPECT_EQ(options::MaxColWidth, -40);
        EXPECT_TRUE(options::SizeToHeader);
        EXPECT_FALSE(options::HideMainDlgOnESC);

        ASSERT_TRUE(options::save(store, m_autostart));
        EXPECT_EQ(options::GridHeight, 10) << "the clamped value stays in memory";
    }
    const QByteArray text = storeText();
    for (const char *line :
         {"\nGridHeight=10\n", "\nDBMSOutputBufferSize=10000000\n", "\nMaxColWidth=10\n",
          "\nSizeToHeader=1\n", "\nHideMainDlgOnESC=0\n", "\nCntBtnX=100\n",
          "\nnMaxValuesInHist=20\n", "\nFont_lfFaceName_FontDBMSOutput=Courier New\n",
          "\nFont_color_FontEditorComment=32768\n"})
        EXPECT_TRUE(text.contains(line)) << line;
}

TEST_F(OptionsTest, StoredStartWithStartUpOffRemovesTheEntry)
{
    ASSERT_TRUE(m_autostart.setEnabled(true));
    writeStore("[Options]\nStartWithStartUp=0\n");
    const CSettingsStore store(path());
    options::load(store, m_autostart);
    EXPECT_FALSE(options::StartWithStartUp);
    EXPECT_FALSE(QFileInfo::exists(CXdgAutostart::entryPath()));
}

// Code reads a clamped option through the table, so the range is written in one place only; the
// option keeps its value. The guard gives every option back, fonts included.
TEST_F(OptionsTest, ClampedReadsUseTheTableAndTheGuardRestoresEverything)
{
    const int grid = options::GridHeight;
    const quint32 color = options::FontGrid.color();
    {
        options::CRestoreOptions guard;
        options::GridHeight = 5;
        EXPECT_EQ(options::clamped(options::GridHeight), 10);
        EXPECT_EQ(options::GridHeight, 5);
        options::DBMSOutputBufferSize = 20000000;
        EXPECT_EQ(options::clamped(options::DBMSOutputBufferSize), 10000000);
        options::LastChooseWelcome = -7; // no range
        EXPECT_EQ(options::clamped(options::LastChooseWelcome), -7);
        EXPECT_FALSE(options::clampOf(options::HkShowMainDlg).has_value());
        ASSERT_TRUE(options::clampOf(options::MaxColWidth).has_value());
        EXPECT_EQ(options::clampOf(options::MaxColWidth)->highest, 999);
        int notAnOption = -5;
        EXPECT_EQ(options::clamped(notAnOption), -5);
        options::FontGrid.setColor(color + 1);
        options::SizeToHeader = !options::SizeToHeader;
    }
    EXPECT_EQ(options::GridHeight, grid);
    EXPECT_EQ(options::FontGrid.color(), color);
    EXPECT_EQ(options::LastChooseWelcome, 0);
}

} // namespace
