#include "BarFixture.h"

#include "bar/CElementTip.h"
#include "bar/CTrayIcon.h"
#include "connections/CConnectionList.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

namespace {

using BarTest = BarFixture;

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

// Asks button for its tip as the application does after the hover delay.
void requestTip(QWidget *button)
{
    QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &event);
}

TEST_F(BarTest, BuildsOneButtonPerElementInBarOrderAndMergesTheirConnections)
{
    writeElement(1, QStringLiteral("Departments"), QStringLiteral("All departments"),
                 QStringLiteral("SELECT * FROM dept"), QStringLiteral("SCOTT"),
                 QStringLiteral("ORCL"));
    writeElement(2, QStringLiteral("Employees"), {}, QStringLiteral("SELECT * FROM emp"),
                 QStringLiteral("HR"), QStringLiteral("PROD"));
    writeElement(3, QStringLiteral("No connection"), QStringLiteral("Just text"));
    // Two entries for element 3, holes in the positions, element 4 not in the map at all.
    writeElement(4, QStringLiteral("Unmapped"));
    {
        CProfileFile map(layoutFile());
        map.writeString(QStringLiteral("EL_MAP"), QStringLiteral("El_0"), QStringLiteral("3"));
        map.writeString(QStringLiteral("EL_MAP"), QStringLiteral("Map_0"), QStringLiteral("2"));
        map.writeString(QStringLiteral("EL_MAP"), QStringLiteral("El_1"), QStringLiteral("1"));
        map.writeString(QStringLiteral("EL_MAP"), QStringLiteral("Map_1"), QStringLiteral("7"));
        map.writeString(QStringLiteral("EL_MAP"), QStringLiteral("El_2"), QStringLiteral("3"));
        map.writeString(QStringLiteral("EL_MAP"), QStringLiteral("Map_2"), QStringLiteral("9"));
        map.writeString(QStringLiteral("EL_MAP"), QStringLiteral("El_3"), QStringLiteral("2"));
        map.writeString(QStringLiteral("EL_MAP"), QStringLiteral("Map_3"), QStringLiteral("30"));
        ASSERT_TRUE(map.flush());
    }
    // Not elements: a folder numbered 0 and one without a number.
    QDir(m_folder).mkpath(QStringLiteral("0"));
    QDir(m_folder).mkpath(QStringLiteral("notes"));

    CVexlorDlg &bar = openBar();
    EXPECT_TRUE(m_prompt.asked().isEmpty()) << m_prompt.messages().join(u'\n').toStdString();
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("Tarvolo v 1.5"));
    EXPECT_EQ(barNames(), (QStringList{"Unmapped", "No connection", "Departments", "Employees"}));
    for (int i = 0; i < 4; ++i) {
        CVexlorButton *b = button(i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->parentWidget(), &bar);
        EXPECT_EQ(b->fullText(), bar.elements()[size_t(i)]->name());
        EXPECT_FALSE(b->icon().isNull());
        EXPECT_EQ(b->palette().color(QPalette::ButtonText), QColor(0, 128, 128));
        EXPECT_EQ(b->geometry(), QRect(0, 40 * i, 150, 40));
        EXPECT_FALSE(b->autoDefault());
    }
    EXPECT_EQ(bar.size(), QSize(150, 160));
    EXPECT_EQ(button(2)->tipText(),
              QStringLiteral("Connection string: SCOTT@ORCL\nAll departments"));
    EXPECT_EQ(button(3)->tipText(), QStringLiteral("Connection string: HR@PROD"));
    EXPECT_EQ(button(1)->tipText(), QStringLiteral("Just text"));

    // Every user and database pair of an element is now a saved connection; an element without
    // a user added nothing.
    CConnectionList saved(CSettingsStore::instance());
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved.at(0).user() + "@" + saved.at(0).database(), QStringLiteral("SCOTT@ORCL"));
    EXPECT_EQ(saved.at(1).user() + "@" + saved.at(1).database(), QStringLiteral("HR@PROD"));
}

TEST_F(BarTest, DamagedElementsStillGetTheirButtons)
{
    writeElement(1, QStringLiteral("Good"));
    writeElement(2, QStringLiteral("Broken icon"));
    ASSERT_TRUE(
        testfiles::writeBytes(m_folder + "/2/icon.ico", QByteArray("\x00\x00\x01\x00garbage", 11)));
    // A folder with files that are not what they should be: a binary item.cfg, no name.
    QDir(m_folder).mkpath(QStringLiteral("3"));
    ASSERT_TRUE(
        testfiles::writeBytes(m_folder + "/3/item.cfg", QByteArray("\xff\xfe\x00[\x01\x02=", 7)));
    ASSERT_TRUE(testfiles::writeBytes(m_folder + "/3/query.sql", QByteArray("SELECT 1 FROM dual")));

    CVexlorDlg &bar = openBar();
    ASSERT_EQ(bar.elements().size(), 3u);
    EXPECT_FALSE(button(1)->icon().isNull()); // the default icon
    EXPECT_EQ(button(2)->fullText(), QStringLiteral("3"));
    EXPECT_EQ(bar.elements()[2]->sqlText(), QStringLiteral("SELECT 1 FROM dual"));
}

TEST_F(BarTest, SamplesFolderGivesEightButtonsWithTheirTips)
{
    copySamples();
    CVexlorDlg &bar = openBar();
    ASSERT_EQ(bar.elements().size(), 8u);
    for (int i = 0; i < 8; ++i) {
        const CVexlorElement &e = *bar.elements()[size_t(i)];
        EXPECT_EQ(e.elementNumber(), i + 1);
        EXPECT_TRUE(
            button(i)->tipText().startsWith(QStringLiteral("Connection string: SCOTT@SAMPLE")));
    }
    // Eight buttons of the default fixed 8 × 8 bar: one column.
    EXPECT_EQ(bar.size(), QSize(150, 320));
    CConnectionList saved(CSettingsStore::instance());
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.at(0).user(), QStringLiteral("SCOTT"));
    EXPECT_EQ(saved.at(0).database(), QStringLiteral("SAMPLE"));
}

TEST_F(BarTest, HoverMakesAnElementCurrentUnlessInKeyboardMode)
{
    writeElement(1, QStringLiteral("First"));
    writeElement(2, QStringLiteral("Second"));
    writeElement(3, QStringLiteral("Third"));
    options::CntBtnY = 2; // two rows: the third button begins a second column, below it is bar
    CVexlorDlg &bar = openBar();
    ASSERT_EQ(bar.size(), QSize(300, 80));

    hover(button(1));
    EXPECT_EQ(bar.currentElement(), bar.elements()[1].get());
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("Second"));
    EXPECT_EQ(bar.focusWidget(), button(1));

    // Ctrl held: hovering another button changes nothing.
    QTest::keyPress(button(1), Qt::Key_Control);
    EXPECT_TRUE(bar.keyboardMode());
    hover(button(0));
    EXPECT_EQ(bar.currentElement(), bar.elements()[1].get());
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("Second"));
    QTest::keyRelease(button(1), Qt::Key_Control);
    EXPECT_FALSE(bar.keyboardMode());
    // Ctrl held while the bar had no focus to see it go down.
    hover(button(0), QPoint(5, 5), Qt::ControlModifier);
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("Second"));
    hover(button(0));
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("First"));

    // The background (the empty cell below the third button) clears it.
    hover(&bar, QPoint(200, 60));
    EXPECT_EQ(bar.currentElement(), nullptr);
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("Tarvolo v 1.5"));

    // A click ends keyboard mode.
    QTest::keyPress(button(2), Qt::Key_Control);
    QTest::mouseClick(button(2), Qt::LeftButton);
    EXPECT_FALSE(bar.keyboardMode());
}

TEST_F(BarTest, ArrowKeysWalkTheButtonsInBarOrder)
{
    for (int i = 1; i <= 3; ++i)
        writeElement(i, QStringLiteral("E%1").arg(i));
    CVexlorDlg &bar = openBar();
    hover(button(0));
    QTest::keyClick(button(0), Qt::Key_Down);
    EXPECT_EQ(bar.focusWidget(), button(1));
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("E2"));
    EXPECT_FALSE(bar.keyboardMode()); // only Up turns it on
    QTest::keyClick(button(1), Qt::Key_Right);
    QTest::keyClick(button(2), Qt::Key_Down); // wraps round
    EXPECT_EQ(bar.currentElement(), bar.elements()[0].get());
    QTest::keyClick(button(0), Qt::Key_Up);
    EXPECT_EQ(bar.currentElement(), bar.elements()[2].get());
    EXPECT_TRUE(bar.keyboardMode());
    QTest::keyClick(button(2), Qt::Key_Left);
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("E2"));
    // A right press ends keyboard mode (and opens the menu).
    QTest::mousePress(button(1), Qt::RightButton);
    EXPECT_FALSE(bar.keyboardMode());
    QMenu *menu = bar.findChild<QMenu *>(QStringLiteral("barMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

TEST_F(BarTest, MenusOfferTheCommandsOfTheirState)
{
    writeElement(1, QStringLiteral("E1"));
    CVexlorDlg &bar = openBar();
    EXPECT_EQ(menuTexts(bar.contextMenu()), (QStringList{"&About", "-", "&Exit"}));
    hover(button(0));
    QMenu *menu = bar.contextMenu();
    EXPECT_EQ(menuTexts(menu), (QStringList{"&Delete SQL Query", "-", "&Up SQL Query",
                                            "&Down SQL Query", "-", "&About", "-", "&Exit"}));
    for (QAction *a : menu->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
        }
    }
    EXPECT_EQ(menu->actions()[0]->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(menu->actions()[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Up));
    EXPECT_EQ(menu->actions()[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Down));
    for (int i : {0, 2, 3})
        EXPECT_EQ(menu->actions()[i]->shortcutContext(), Qt::WindowShortcut);

    QMenu *tray = bar.trayIcon()->menu();
    EXPECT_EQ(menuTexts(tray), (QStringList{"&Tarvolo", "-", "&Help", "&About", "-", "&Exit"}));
    EXPECT_EQ(tray->defaultAction(), tray->actions()[0]);
    EXPECT_EQ(bar.trayIcon()->icon()->toolTip(), QStringLiteral("Tarvolo"));
    EXPECT_FALSE(bar.trayIcon()->icon()->icon().isNull());
}

TEST_F(BarTest, DeleteAsksAndRemovesOnlyOnYes)
{
    writeElement(1, QStringLiteral("Keep"));
    writeElement(2, QStringLiteral("Old report"));
    writeElement(3, QStringLiteral("Last"));
    CVexlorDlg &bar = openBar();
    hover(button(1));

    m_prompt.pushAnswer(QMessageBox::No);
    bar.deleteCurrent();
    ASSERT_EQ(m_prompt.asked().size(), 1);
    EXPECT_EQ(m_prompt.asked()[0].text,
              QStringLiteral("Do you really want to delete \"Old report\"?"));
    EXPECT_EQ(m_prompt.asked()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(bar.elements().size(), 3u);
    EXPECT_TRUE(QFileInfo::exists(m_folder + "/2/name.txt"));

    m_prompt.pushAnswer(QMessageBox::Yes);
    bar.deleteCurrent();
    EXPECT_EQ(barNames(), (QStringList{"Keep", "Last"}));
    EXPECT_FALSE(QFileInfo::exists(m_folder + "/2"));
    EXPECT_EQ(QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{"1", "3"}));
    EXPECT_EQ(bar.currentElement(), nullptr);
    EXPECT_EQ(bar.findChildren<CVexlorButton *>().size(), 2);
    EXPECT_EQ(button(1)->geometry().topLeft(), QPoint(0, 40));
    EXPECT_EQ(bar.size(), QSize(150, 80));
    const CProfileFile map(layoutFile());
    EXPECT_EQ(map.readInt("EL_MAP", "El_1"), 3);
    EXPECT_EQ(map.readInt("EL_MAP", "Map_1"), 2);

    // Without a current element Delete does nothing.
    m_prompt.clear();
    bar.deleteCurrent();
    EXPECT_TRUE(m_prompt.asked().isEmpty());
}

TEST_F(BarTest, AFolderThatCannotBeRemovedKeepsItsElement)
{
    writeElement(1, QStringLiteral("One"));
    writeElement(2, QStringLiteral("Two"));
    CVexlorDlg &bar = openBar();
    // The folder was replaced behind the bar's back by something that is no folder.
    ASSERT_TRUE(QDir(m_folder + "/2").removeRecursively());
    ASSERT_TRUE(testfiles::writeBytes(m_folder + "/2", "not a folder"));
    hover(button(1));
    m_prompt.pushAnswer(QMessageBox::Yes);
    bar.deleteCurrent();
    ASSERT_EQ(m_prompt.asked().size(), 2);
    EXPECT_TRUE(m_prompt.asked()[1].text.contains(QDir::toNativeSeparators(m_folder + "/2")))
        << m_prompt.asked()[1].text.toStdString();
    EXPECT_EQ(barNames(), (QStringList{"One", "Two"}));
    EXPECT_NE(bar.buttonOf(*bar.elements()[1]), nullptr);
}

TEST_F(BarTest, UpAndDownMoveElementsAndEveryTipStaysWithItsButton)
{
    for (int i = 1; i <= 3; ++i)
        writeElement(i, QStringLiteral("E%1").arg(i), QStringLiteral("About %1").arg(i),
                     QStringLiteral("SELECT %1 FROM dual").arg(i));
    CVexlorDlg &bar = openBar();
    hover(button(2));
    CVexlorElement *moving = bar.currentElement();
    bar.moveCurrentUp();
    EXPECT_EQ(barNames(), (QStringList{"E1", "E3", "E2"}));
    bar.moveCurrentUp();
    EXPECT_EQ(barNames(), (QStringList{"E3", "E1", "E2"}));
    bar.moveCurrentUp(); // at the top: nothing
    EXPECT_EQ(barNames(), (QStringList{"E3", "E1", "E2"}));
    EXPECT_EQ(bar.currentElement(), moving);
    EXPECT_EQ(bar.buttonOf(*moving)->geometry().topLeft(), QPoint(0, 0));
    bar.moveCurrentDown();
    EXPECT_EQ(barNames(), (QStringList{"E1", "E3", "E2"}));

    for (int i = 0; i < 3; ++i) {
        CVexlorButton *b = button(i);
        EXPECT_EQ(b->geometry().topLeft(), QPoint(0, 40 * i));
        requestTip(b);
        ASSERT_EQ(bar.elementTip()->element(), bar.elements()[size_t(i)].get());
        EXPECT_EQ(bar.elementTip()->mainText(), bar.elements()[size_t(i)]->description());
        EXPECT_EQ(bar.elementTip()->sqlText(), bar.elements()[size_t(i)]->sqlText());
    }
    // Keyboard navigation follows the new order: from E3 up to E1, then down past E3 to E2.
    QTest::keyClick(button(1), Qt::Key_Up);
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("E1"));
    QTest::keyClick(button(0), Qt::Key_Down);
    QTest::keyClick(button(1), Qt::Key_Down);
    EXPECT_EQ(bar.windowTitle(), QStringLiteral("E2"));

    const CProfileFile map(layoutFile());
    EXPECT_EQ(map.readInt("EL_MAP", "El_0"), 1);
    EXPECT_EQ(map.readInt("EL_MAP", "El_1"), 3);
    EXPECT_EQ(map.readInt("EL_MAP", "El_2"), 2);
    EXPECT_TRUE(m_prompt.asked().isEmpty());
}

TEST_F(BarTest, AnOrderThatCannotBeWrittenIsReported)
{
    writeElement(1, QStringLiteral("E1"));
    writeElement(2, QStringLiteral("E2"));
    CVexlorDlg &bar = openBar();
    ASSERT_TRUE(QFile::remove(layoutFile()));
    ASSERT_TRUE(QDir().mkdir(layoutFile())); // a folder where tvl.cfg belongs
    hover(button(1));
    bar.moveCurrentUp();
    EXPECT_EQ(barNames(), (QStringList{"E2", "E1"})); // moved in memory all the same
    ASSERT_EQ(m_prompt.asked().size(), 1);
    EXPECT_TRUE(m_prompt.asked()[0].text.contains(QDir::toNativeSeparators(layoutFile())));
}

TEST_F(BarTest, EscHidesOnlyWithTheOption)
{
    writeElement(1, QStringLiteral("E1"));
    CVexlorDlg &bar = openBar();
    ASSERT_TRUE(bar.isVisible());
    options::HideMainDlgOnESC = false;
    QTest::keyClick(button(0), Qt::Key_Escape);
    EXPECT_TRUE(bar.isVisible());
    EXPECT_FALSE(bar.isMinimized());
    options::HideMainDlgOnESC = true;
    QTest::keyClick(button(0), Qt::Key_Escape);
    // Hidden where a notification area can call it back, minimised where none can.
    EXPECT_TRUE(bar.hasTray() ? !bar.isVisible() : bar.isMinimized());
    bar.showBar();
    EXPECT_TRUE(bar.isVisible());
    EXPECT_FALSE(bar.isMinimized());
    EXPECT_EQ(bar.elements().size(), 1u);
}

TEST_F(BarTest, WithoutANotificationAreaAHiddenStartShowsTheBar)
{
    if (CTrayIcon::isAvailable())
        GTEST_SKIP() << "this desktop has a notification area";
    writeElement(1, QStringLiteral("E1"));
    CVexlorDlg &bar = openBar(true);
    EXPECT_TRUE(bar.isVisible());
    EXPECT_FALSE(bar.windowFlags().testFlag(Qt::Tool) &&
                 (bar.windowFlags() & Qt::WindowType_Mask) == Qt::Tool);
    bar.close();
    EXPECT_TRUE(bar.isMinimized());
}

TEST_F(BarTest, TheModalGuardBlocksCommandsAndQueuesExit)
{
    writeElement(1, QStringLiteral("E1"));
    writeElement(2, QStringLiteral("E2"));
    CVexlorDlg &bar = openBar();
    QSignalSpy finished(&bar, &CVexlorDlg::finished);
    hover(button(1));
    {
        CModalGuard guard(bar.modalState());
        bar.deleteCurrent();
        bar.moveCurrentUp();
        bar.requestExit();
        EXPECT_TRUE(m_prompt.asked().isEmpty());
        EXPECT_EQ(barNames(), (QStringList{"E1", "E2"}));
        EXPECT_TRUE(bar.isExitQueued());
        QCoreApplication::processEvents();
        EXPECT_EQ(finished.size(), 0);
    }
    EXPECT_TRUE(finished.wait(1000));
    EXPECT_TRUE(bar.elements().empty());
}

TEST_F(BarTest, AboutHoldsTheGuardAndAnExitDuringItWaits)
{
    writeElement(1, QStringLiteral("E1"));
    CVexlorDlg &bar = openBar();
    QSignalSpy finished(&bar, &CVexlorDlg::finished);
    QWidget *parentSeen = nullptr;
    bar.setAboutHandler([&](QWidget *parent) {
        parentSeen = parent;
        EXPECT_TRUE(bar.modalState().isOpen());
        bar.requestExit(); // Exit from the tray while the about dialog is open
        EXPECT_EQ(finished.size(), 0);
    });
    bar.trayIcon()->menu()->actions()[3]->trigger(); // the tray's About
    EXPECT_EQ(parentSeen, &bar);
    EXPECT_FALSE(bar.modalState().isOpen());
    EXPECT_TRUE(finished.wait(1000));
}

TEST_F(BarTest, ExitSavesTheLayoutAndEveryElement)
{
    writeElement(1, QStringLiteral("E1"));
    writeElement(2, QStringLiteral("E2"), {}, QStringLiteral("SELECT 2 FROM dual"),
                 QStringLiteral("SCOTT"), QStringLiteral("SAMPLE"));
    ASSERT_TRUE(QFile::remove(m_folder + "/1/item.cfg"));
    CVexlorDlg &bar = openBar();
    bar.move(120, 80);
    QCoreApplication::processEvents();
    hover(button(1));
    bar.moveCurrentUp();
    const QRect frame = bar.frameGeometry();
    QSignalSpy finished(&bar, &CVexlorDlg::finished);
    bar.requestExit();
    EXPECT_EQ(finished.size(), 1);
    EXPECT_TRUE(m_prompt.asked().isEmpty()) << m_prompt.messages().join(u'\n').toStdString();
    EXPECT_FALSE(bar.isVisible());

    const CProfileFile tvl(layoutFile());
    EXPECT_EQ(tvl.readInt("GENERAL", "Left"), frame.left());
    EXPECT_EQ(tvl.readInt("GENERAL", "Top"), frame.top());
    EXPECT_EQ(tvl.readInt("GENERAL", "Right"), frame.left() + frame.width());
    EXPECT_EQ(tvl.readInt("GENERAL", "Bottom"), frame.top() + frame.height());
    EXPECT_EQ(tvl.readInt("EL_MAP", "El_0"), 2);
    EXPECT_EQ(tvl.readInt("EL_MAP", "El_1"), 1);
    // The element that had no item.cfg has one now.
    const CProfileFile item1(m_folder + "/1/item.cfg");
    EXPECT_TRUE(item1.keyNames("OTHERS").contains(QStringLiteral("LastStart")));
    const CProfileFile item2(m_folder + "/2/item.cfg");
    EXPECT_EQ(item2.readString("CONNECTION", "User"), QStringLiteral("SCOTT"));

    // A second Exit does nothing more.
    bar.requestExit();
    EXPECT_EQ(finished.size(), 1);
}

TEST_F(BarTest, WhatExitCouldNotSaveIsListedInOneMessage)
{
    writeElement(1, QStringLiteral("E1"));
    writeElement(2, QStringLiteral("E2"));
    CVexlorDlg &bar = openBar();
    for (const QString &path : {m_folder + "/1/item.cfg", m_folder + "/2/item.cfg", layoutFile()}) {
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(QDir().mkdir(path));
    }
    QSignalSpy finished(&bar, &CVexlorDlg::finished);
    bar.requestExit();
    EXPECT_EQ(finished.size(), 1);
    ASSERT_EQ(m_prompt.asked().size(), 1);
    const QString text = m_prompt.asked()[0].text;
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(m_folder + "/1/item.cfg")));
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(m_folder + "/2/item.cfg")));
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(layoutFile())));
}

TEST_F(BarTest, AStoredRectangleOnNoScreenComesBackOntoThePrimaryScreen)
{
    writeElement(1, QStringLiteral("E1"));
    {
        CProfileFile tvl(layoutFile());
        tvl.writeInt("GENERAL", "Left", 9000);
        tvl.writeInt("GENERAL", "Top", 7000);
        tvl.writeInt("GENERAL", "Right", 9160);
        tvl.writeInt("GENERAL", "Bottom", 7070);
        ASSERT_TRUE(tvl.flush());
    }
    CVexlorDlg &bar = openBar();
    QTest::qWait(300);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(bar.frameGeometry()))
        << bar.frameGeometry().x() << "," << bar.frameGeometry().y();
}

TEST_F(BarTest, ZeroAndNegativeRectanglesAndSizesStillGiveABar)
{
    for (int i = 1; i <= 3; ++i)
        writeElement(i, QStringLiteral("E%1").arg(i));
    {
        CProfileFile tvl(layoutFile());
        tvl.writeInt("GENERAL", "Left", 500);
        tvl.writeInt("GENERAL", "Top", -40);
        tvl.writeInt("GENERAL", "Right", 100);
        tvl.writeInt("GENERAL", "Bottom", -900);
        ASSERT_TRUE(tvl.flush());
    }
    options::BtnX = 0;
    options::BtnY = -3;
    options::CntBtnX = 0;
    options::CntBtnY = 0;
    CVexlorDlg &bar = openBar();
    ASSERT_EQ(bar.elements().size(), 3u);
    EXPECT_EQ(button(2)->geometry(), QRect(40, 0, 20, 10)); // one row of 20 × 10 cells
    EXPECT_EQ(bar.size(), QSize(20, 10));                   // the fixed 1 × 1 bar
    EXPECT_EQ(options::BtnX, 0);                            // the options stay as stored

    // A free bar takes its rows from the stored height.
    resetOptions();
    options::FixedBarSize = false;
    m_bar.reset();
    {
        CProfileFile tvl(layoutFile());
        tvl.writeInt("GENERAL", "Left", 10);
        tvl.writeInt("GENERAL", "Top", 10);
        tvl.writeInt("GENERAL", "Right", 160);
        tvl.writeInt("GENERAL", "Bottom", 95);
        ASSERT_TRUE(tvl.flush());
    }
    CVexlorDlg &free = openBar();
    QTest::qWait(300);
    EXPECT_EQ(free.size(), QSize(300, 80)); // two rows of the three buttons
}

TEST_F(BarTest, NoDocumentsFolderStopsTheStartWithItsMessage)
{
    CScriptFolders none;
    CVexlorDlg bar(none, false);
    bar.setDocumentsPath(m_dir.filePath(QStringLiteral("gone/Documents")));
    EXPECT_FALSE(bar.initialise());
    EXPECT_EQ(m_prompt.messages(), QStringList{"Can't find My Documents Folder"});

    // With a documents folder the default script folder is made there and the bar starts empty.
    m_prompt.clear();
    CScriptFolders fresh;
    CVexlorDlg second(fresh, false);
    second.setDocumentsPath(m_dir.path());
    EXPECT_TRUE(second.initialise());
    EXPECT_TRUE(m_prompt.asked().isEmpty());
    EXPECT_EQ(second.scriptFolder(), m_dir.filePath(QStringLiteral("Tarvolo Scripts/")));
    EXPECT_TRUE(QFileInfo(second.scriptFolder()).isDir());
    EXPECT_EQ(second.size(), QSize(150, 40));
}

TEST_F(BarTest, AScriptFolderThatCannotBeMadeGivesAnEmptyBarAndSaysSo)
{
    const QString missing = m_dir.filePath(QStringLiteral("gone/deeper"));
    m_folders.add(missing);
    CVexlorDlg bar(m_folders, false);
    EXPECT_TRUE(bar.initialise());
    ASSERT_EQ(m_prompt.asked().size(), 1);
    EXPECT_TRUE(m_prompt.asked()[0].text.contains(QDir::toNativeSeparators(missing)));
    EXPECT_TRUE(bar.isVisible());
    EXPECT_TRUE(bar.elements().empty());
    // Exit has nothing to write there and nothing more to say.
    bar.requestExit();
    EXPECT_EQ(m_prompt.asked().size(), 1);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(BarTest, KeysReachTheBarOnlyWhileItIsTheActiveWindow)
{
    writeElement(1, QStringLiteral("E1"));
    writeElement(2, QStringLiteral("E2"));
    CVexlorDlg &bar = openBar();
    bar.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&bar));
    hover(button(1));
    QTest::keyClick(button(1), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(barNames(), (QStringList{"E2", "E1"}));
    QTest::keyClick(button(0), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(barNames(), (QStringList{"E1", "E2"}));

    // Another window of the program (an editor, a result window) keeps its own keys.
    QDialog other;
    auto *field = new QLineEdit(&other);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(field, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_EQ(barNames(), (QStringList{"E1", "E2"}));
    EXPECT_TRUE(m_prompt.asked().isEmpty());
    other.close();

    bar.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&bar));
    m_prompt.pushAnswer(QMessageBox::No);
    QTest::keyClick(bar.focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(m_prompt.messages(), QStringList{"Do you really want to delete \"E2\"?"});
}

TEST_F(BarTest, TheTrayItemShowsTheBarExceptDuringAModal)
{
    writeElement(1, QStringLiteral("E1"));
    CVexlorDlg &bar = openBar();
    bar.hide();
    QAction *show = bar.trayIcon()->showAction();
    {
        CModalGuard guard(bar.modalState());
        show->trigger();
        EXPECT_FALSE(bar.isVisible());
    }
    show->trigger();
    EXPECT_TRUE(bar.isVisible());
}

TEST_F(BarTest, ATipShowsTheFirstFifteenLinesOfItsElement)
{
    QStringList forty;
    for (int i = 1; i <= 40; ++i)
        forty << QStringLiteral("-- line %1").arg(i);
    writeElement(1, QStringLiteral("Long"), QStringLiteral("Forty lines"), forty.join(u'\n'));
    writeElement(2, QStringLiteral("Short"), {}, QStringLiteral("SELECT 1\nFROM dual\nWHERE 1 = 1"),
                 QStringLiteral("SCOTT"), QStringLiteral("ORCL"));
    CVexlorDlg &bar = openBar();
    CElementTip *tip = bar.elementTip();
    requestTip(button(0));
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->mainText(), QStringLiteral("Forty lines"));
    // (query.sql is written with Windows line ends)
    EXPECT_EQ(tip->sqlText(), forty.mid(0, 15).join(QStringLiteral("\r\n")));
    requestTip(button(1));
    EXPECT_EQ(tip->element(), bar.elements()[1].get());
    EXPECT_EQ(tip->mainText(), QStringLiteral("Connection string: SCOTT@ORCL"));
    EXPECT_EQ(tip->sqlText().count(u'\n'), 2);
    // Leaving the button or pressing a key takes it away.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button(1), &leave);
    EXPECT_FALSE(tip->isVisible());
    EXPECT_EQ(tip->element(), nullptr);

    // A refreshed text shows at the next tip.
    bar.elements()[1]->setDescription(QStringLiteral("Now described"));
    bar.refreshToolTip(*bar.elements()[1]);
    requestTip(button(1));
    EXPECT_EQ(tip->mainText(), QStringLiteral("Connection string: SCOTT@ORCL\nNow described"));
}

} // namespace
