// The "Oracle Logon" dialog offscreen: opening, OK and Cancel, deleting, sorting, the database
// list, the client labels without a client, Test connection against SAMPLE and the modal run.
#include "../../execution/ModalHelper.h"

#include "connections/CConnectionList.h"
#include "connections/ui/CConnectDlg.h"
#include "connections/ui/CConnectionLst.h"
#include "engine/CEngineProvider.h"
#include "grid/CGridModel.h"
#include "settings/CSettingsStore.h"
#include "support/TestFiles.h"
#include "ui/CPrompt.h"
#include "ui/CScriptedPrompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>

namespace {

CSQLConnection record(const QString &user, const QString &database, const QString &password = {},
                      bool savePassword = true, int connectAs = 0,
                      const CDateTime &lastStart = CDateTime::invalid())
{
    CSQLConnection c;
    c.setUser(user);
    c.setDatabase(database);
    c.setPassword(password);
    c.setSavePassword(savePassword);
    c.setConnectAs(connectAs);
    c.setLastStart(lastStart);
    return c;
}

bool realClientInstalled()
{
    void *h = ::dlopen("libclntsh.so", RTLD_LAZY);
    if (h != nullptr)
        ::dlclose(h);
    return h != nullptr || !qEnvironmentVariableIsEmpty("TARVOLO_OCI_LIB") ||
           QDir("/opt/oracle").exists() || QDir("/usr/lib/oracle").exists();
}

class ConnectDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_storePath = m_dir.filePath(QStringLiteral("Tarvolo.conf"));
        m_store = std::make_unique<CSettingsStore>(m_storePath);
        const QString samples = testfiles::buildDir() + "/Samples";
        ASSERT_TRUE(QFile::exists(samples + "/SAMPLE.db")) << samples.toStdString();
        qputenv("TARVOLO_DATABASES", samples.toLocal8Bit());
        engine::registerEngineProvider();
        // A tnsnames file of our own; the current folder holds none.
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath("admin")));
        ASSERT_TRUE(testfiles::writeBytes(m_dir.filePath("admin/tnsnames.ora"),
                                          "ORCL = (DESCRIPTION = (ADDRESS = (HOST = db1)))\n"
                                          "# OLD = (DESCRIPTION = ())\n"
                                          "sales.world = (DESCRIPTION = (ADDRESS = (HOST = s)))\n"
                                          "sample = (DESCRIPTION = (ADDRESS = (HOST = x)))\n"));
        m_oldTnsAdmin = qgetenv("TNS_ADMIN");
        qputenv("TNS_ADMIN", m_dir.filePath("admin").toLocal8Bit());
    }
    void TearDown() override
    {
        if (m_oldTnsAdmin.isEmpty())
            qunsetenv("TNS_ADMIN");
        else
            qputenv("TNS_ADMIN", m_oldTnsAdmin);
    }

    // Writes the records as the saved list of the store.
    void save(const std::vector<CSQLConnection> &records)
    {
        CConnectionList list(*m_store);
        list.clear();
        for (const CSQLConnection &r : records)
            list.addOrReplace(r);
        list.saveAll();
    }
    // The saved list as the store now holds it, read afresh from the file.
    std::vector<CSQLConnection> stored() const
    {
        CSettingsStore fresh(m_storePath);
        CConnectionList list(fresh);
        std::vector<CSQLConnection> out;
        for (int i = 0; i < list.size(); ++i)
            out.push_back(list.at(i));
        return out;
    }
    QByteArray storeBytes() const
    {
        m_store->sync();
        return testfiles::readBytes(m_storePath);
    }

    QTemporaryDir m_dir;
    QString m_storePath;
    std::unique_ptr<CSettingsStore> m_store;
    QByteArray m_oldTnsAdmin;
    CScriptedPrompt m_prompt;
};

TEST_F(ConnectDlgTest, OpeningWithAnEmptyRecordShowsTheFirstSavedOne)
{
    save({record("SCOTT", "SAMPLE", "TIGER", true, 0), record("HR", "ORCL", "pw", true, 2)});
    CConnectDlg dlg(*m_store);
    CSQLConnection current;
    dlg.setConnection(&current);
    EXPECT_EQ(dlg.windowTitle(), "Oracle Logon");
    EXPECT_EQ(dlg.userEdit()->text(), "SCOTT");
    EXPECT_EQ(dlg.passwordEdit()->text(), "TIGER");
    EXPECT_EQ(dlg.databaseCombo()->currentText(), "SAMPLE");
    EXPECT_EQ(dlg.connectAsCombo()->currentText(), "Normal");
    EXPECT_TRUE(dlg.savePasswordCheck()->isChecked());
    // Its row is the current one; the grid sorts by user, descending, when nothing is stored.
    EXPECT_EQ(dlg.list()->sortArrow(0), CGridCtrl::SortArrow::Descending);
    ASSERT_EQ(dlg.list()->rowCount(), 2);
    EXPECT_EQ(dlg.list()->text(0, 0), "SCOTT");
    EXPECT_EQ(dlg.list()->text(1, 2), "SYSOPER");
    EXPECT_EQ(dlg.list()->currentRow(), 0);
}

TEST_F(ConnectDlgTest, ASavedMatchFillsThePasswordOnlyWithSavePassword)
{
    save({record("SCOTT", "SAMPLE", "TIGER", true), record("HR", "ORCL", "", false)});
    {
        CConnectDlg dlg(*m_store);
        CSQLConnection current = record("SCOTT", "SAMPLE");
        dlg.setConnection(&current);
        EXPECT_EQ(dlg.passwordEdit()->text(), "TIGER");
        EXPECT_EQ(current.password(), "TIGER");
    }
    {
        CConnectDlg dlg(*m_store);
        CSQLConnection current = record("HR", "ORCL", "typed before", true);
        dlg.setConnection(&current);
        EXPECT_EQ(dlg.passwordEdit()->text(), "");
        EXPECT_FALSE(dlg.savePasswordCheck()->isChecked());
        EXPECT_EQ(dlg.list()->text(dlg.list()->currentRow(), 0), "HR");
        dlg.reject(); // Cancel hands the record back as it came
        EXPECT_EQ(current.password(), "typed before");
        EXPECT_TRUE(current.savePassword());
    }
}

TEST_F(ConnectDlgTest, OkStoresUserAndDatabaseUpperCasedAndThePasswordAsTyped)
{
    save({record("HR", "ORCL", "pw")});
    CConnectDlg dlg(*m_store);
    CSQLConnection current;
    dlg.setConnection(&current);
    dlg.userEdit()->clear();
    QTest::keyClicks(dlg.userEdit(), "scott");
    dlg.passwordEdit()->setText("Tiger");
    dlg.databaseCombo()->setEditText("orcl");
    dlg.connectAsCombo()->setCurrentIndex(1);
    dlg.show();
    QTest::keyClick(dlg.databaseCombo()->lineEdit(), Qt::Key_Return); // Enter in any field is OK
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(current.user(), "SCOTT");
    EXPECT_EQ(current.database(), "ORCL");
    EXPECT_EQ(current.password(), "Tiger");
    EXPECT_EQ(current.connectAs(), 1);
    const auto saved = stored();
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].user(), "HR");
    EXPECT_EQ(saved[1].user(), "SCOTT");
    EXPECT_EQ(saved[1].database(), "ORCL");
    EXPECT_EQ(saved[1].password(), "Tiger");
    EXPECT_EQ(saved[1].connectAs(), 1);
}

TEST_F(ConnectDlgTest, OkWithAnEmptyUserAddsNoSavedRecordButKeepsTheDeletions)
{
    save({record("SCOTT", "SAMPLE", "TIGER"), record("HR", "ORCL", "pw")});
    CConnectDlg dlg(*m_store);
    CSQLConnection current;
    dlg.setConnection(&current);
    dlg.list()->setCurrentRow(dlg.list()->rowOf("HR", "ORCL"));
    QTest::keyClick(dlg.list(), Qt::Key_Delete);
    dlg.userEdit()->clear();
    dlg.passwordEdit()->setText("x");
    dlg.accept();
    EXPECT_EQ(current.user(), "");
    const auto saved = stored();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].user(), "SCOTT");
}

TEST_F(ConnectDlgTest, DeletingARowThenCancelLeavesTheStoreUnchanged)
{
    save({record("SCOTT", "SAMPLE", "TIGER"), record("HR", "ORCL", "pw"),
          record("hr", "ORCL", "other")});
    const QByteArray before = storeBytes();
    CConnectDlg dlg(*m_store);
    CSQLConnection current = record("HR", "ORCL");
    dlg.setConnection(&current);
    ASSERT_EQ(dlg.list()->rowCount(), 3);
    QTest::keyClick(dlg.list(), Qt::Key_Delete);
    ASSERT_EQ(dlg.list()->rowCount(), 2);
    EXPECT_EQ(dlg.list()->rowOf("HR", "ORCL"), -1);
    EXPECT_NE(dlg.list()->rowOf("hr", "ORCL"), -1); // another identity
    EXPECT_EQ(dlg.savedList().size(), 2);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(current.user(), "HR");
    EXPECT_EQ(current.password(), ""); // the record as it was handed in
}

TEST_F(ConnectDlgTest, MovingTheCurrentRowShowsThatRecordAndEnterAccepts)
{
    save({record("A", "D1", "pa", true, 0), record("B", "D2", "pb", false, 2),
          record("C", "D3", "pc", true, 1)});
    CConnectDlg dlg(*m_store);
    CSQLConnection current = record("C", "D3");
    dlg.setConnection(&current);
    ASSERT_EQ(dlg.list()->text(0, 0), "C"); // descending by user
    ASSERT_EQ(dlg.list()->currentRow(), 0);
    QTest::keyClick(dlg.list(), Qt::Key_Down);
    EXPECT_EQ(dlg.userEdit()->text(), "B");
    EXPECT_EQ(dlg.passwordEdit()->text(), ""); // B does not save its password
    EXPECT_EQ(dlg.databaseCombo()->currentText(), "D2");
    EXPECT_EQ(dlg.connectAsCombo()->currentText(), "SYSOPER");
    QTest::keyClick(dlg.list(), Qt::Key_Down);
    EXPECT_EQ(dlg.userEdit()->text(), "A");
    EXPECT_EQ(dlg.passwordEdit()->text(), "pa");
    QTest::keyClick(dlg.list(), Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(current.user(), "A");
    EXPECT_EQ(current.database(), "D1");
}

TEST_F(ConnectDlgTest, ADoubleClickAcceptsTheRowAndTakingTheFocusChoosesNoRow)
{
    save({record("A", "D1", "pa"), record("B", "D2", "pb")});
    CConnectDlg dlg(*m_store);
    CSQLConnection current = record("NEW", "D9");
    dlg.setConnection(&current);
    dlg.show();
    EXPECT_EQ(dlg.list()->currentRow(), -1); // the record has no saved row
    dlg.passwordEdit()->setText("typed");
    // Tabbing into the list must not replace what was typed by the first row's record.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(dlg.list(), &focusIn);
    EXPECT_EQ(dlg.userEdit()->text(), "NEW");
    EXPECT_EQ(dlg.passwordEdit()->text(), "typed");

    const int row = dlg.list()->rowOf("A", "D1");
    const QRect cell = dlg.list()->visualRect(dlg.list()->gridModel()->index(row, 1));
    QTest::mouseClick(dlg.list()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(dlg.userEdit()->text(), "A");
    QTest::mouseDClick(dlg.list()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(current.user(), "A");
    EXPECT_EQ(current.password(), "pa");
}

TEST_F(ConnectDlgTest, HeadingPressesSortAndTheOrderIsStoredWhenTheDialogCloses)
{
    const CDateTime jan(2026, 1, 5, 10, 0, 0), feb(2026, 2, 3, 9, 0, 0);
    save(
        {record("A", "D", "", true, 0, feb), record("B", "D"), record("C", "D", "", true, 0, jan)});
    {
        CConnectDlg dlg(*m_store);
        CSQLConnection current = record("A", "D");
        dlg.setConnection(&current);
        dlg.show();
        QHeaderView *header = dlg.list()->horizontalHeader();
        const QPoint lastConnect(header->sectionViewportPosition(3) + 5, header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, lastConnect);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, lastConnect);
        EXPECT_EQ(dlg.list()->sortArrow(3), CGridCtrl::SortArrow::Ascending);
        EXPECT_EQ(dlg.list()->sortArrow(0), CGridCtrl::SortArrow::None);
        EXPECT_EQ(dlg.list()->text(0, 0), "B"); // never connected first
        EXPECT_EQ(dlg.list()->text(1, 0), "C");
        EXPECT_EQ(dlg.list()->text(2, 0), "A");
        EXPECT_EQ(dlg.list()->text(2, 3), "03.02.2026 09:00:00");
        // The remembered record's row is selected again, and the fields stay as they were.
        EXPECT_EQ(dlg.list()->currentRow(), 2);
        EXPECT_EQ(dlg.userEdit()->text(), "A");
        dlg.list()->pressHeading(3);
        EXPECT_EQ(dlg.list()->text(0, 0), "A");
        EXPECT_EQ(dlg.list()->sortArrow(3), CGridCtrl::SortArrow::Descending);
        dlg.list()->pressHeading(1);
        dlg.reject();
    }
    EXPECT_EQ(m_store->readInt("ConnectionList", "SortCol", -1), 1);
    EXPECT_EQ(m_store->readInt("ConnectionList", "SortedAscending", -1), 1);
    CConnectDlg again(*m_store);
    again.setConnection(nullptr);
    EXPECT_EQ(again.list()->sortArrow(1), CGridCtrl::SortArrow::Ascending);
}

TEST_F(ConnectDlgTest, TheDatabaseListOffersSavedTnsnamesAndEmbeddedNamesEachOnce)
{
    save({record("SCOTT", "SAMPLE"), record("HR", "ORCL"), record("X", "")});
    CConnectDlg dlg(*m_store);
    CSQLConnection current;
    dlg.setConnection(&current);
    const QStringList names = dlg.databaseNames();
    ASSERT_GE(names.size(), 3);
    EXPECT_EQ(names.mid(0, 3), QStringList({"SAMPLE", "ORCL", "SALES.WORLD"}));
    QStringList upper;
    for (const QString &n : names)
        upper << n.toUpper();
    upper.removeDuplicates();
    EXPECT_EQ(upper.size(), names.size()) << names.join(',').toStdString();
    EXPECT_EQ(dlg.databaseCombo()->currentText(), "SAMPLE"); // the record's, not the first item

    // An embedded database that neither the saved list nor tnsnames names is offered too.
    QTemporaryDir extra;
    ASSERT_TRUE(testfiles::writeBytes(extra.filePath("Scratch.db"), ""));
    qputenv("TARVOLO_DATABASES",
            (extra.path() + ":" + testfiles::buildDir() + "/Samples").toLocal8Bit());
    CConnectDlg second(*m_store);
    second.setConnection(&current);
    EXPECT_TRUE(second.databaseNames().contains("Scratch"));
}

TEST_F(ConnectDlgTest, WithoutAClientTheLabelsNameTheEmbeddedEngine)
{
    if (realClientInstalled())
        GTEST_SKIP() << "an Oracle client is installed";
    CConnectDlg dlg(*m_store);
    dlg.setConnection(nullptr);
    const auto *path = dlg.findChild<QLabel *>("ociPathLabel");
    const auto *version = dlg.findChild<QLabel *>("ociVersionLabel");
    const auto *home = dlg.findChild<QLabel *>("oracleHomeLabel");
    ASSERT_TRUE(path && version && home);
    EXPECT_FALSE(dlg.clientLabels().clientLoaded);
    EXPECT_TRUE(path->toolTip().startsWith("Tarvolo embedded engine (SQLite 3."))
        << path->toolTip().toStdString();
    EXPECT_EQ(version->toolTip(), "1.5.0.0.0");
    EXPECT_EQ(home->toolTip(), "No Oracle client loaded");
}

TEST_F(ConnectDlgTest, TestConnectionSucceedsAsScottOnSample)
{
    CConnectDlg dlg(*m_store);
    CSQLConnection current;
    dlg.setConnection(&current);
    dlg.userEdit()->setText("scott");
    dlg.passwordEdit()->setText("TIGER");
    dlg.databaseCombo()->setEditText("SAMPLE");
    QTest::mouseClick(dlg.testButton(), Qt::LeftButton);
    ASSERT_EQ(m_prompt.asked().size(), 1);
    EXPECT_EQ(m_prompt.asked()[0].icon, QMessageBox::Information);
    EXPECT_EQ(m_prompt.asked()[0].text, "The connection scott - SAMPLE is OK");
    EXPECT_TRUE(dlg.isVisible() || dlg.result() == 0); // the dialog is not closed by the test
    EXPECT_EQ(stored().size(), 0u);                    // nor is anything saved
}

TEST_F(ConnectDlgTest, AFailedTestShowsOneMessageAndLosesNothingTyped)
{
    CConnectDlg dlg(*m_store);
    CSQLConnection current;
    dlg.setConnection(&current);
    auto typeIn = [&](const QString &user, const QString &password, const QString &database,
                      int connectAs) {
        dlg.userEdit()->setText(user);
        dlg.passwordEdit()->setText(password);
        dlg.databaseCombo()->setEditText(database);
        dlg.connectAsCombo()->setCurrentIndex(connectAs);
        m_prompt.clear();
        dlg.testConnection();
        EXPECT_EQ(dlg.userEdit()->text(), user);
        EXPECT_EQ(dlg.passwordEdit()->text(), password);
        EXPECT_EQ(dlg.databaseCombo()->currentText(), database);
        EXPECT_EQ(dlg.connectAsCombo()->currentIndex(), connectAs);
        EXPECT_EQ(m_prompt.asked().size(), 1);
        return m_prompt.asked().value(0);
    };

    CScriptedPrompt::Asked asked = typeIn("SCOTT", "tiger", "SAMPLE", 0);
    EXPECT_EQ(asked.caption, CPrompt::applicationTitle());
    EXPECT_EQ(asked.buttons, QMessageBox::Ok);
    EXPECT_TRUE(asked.text.startsWith("Error type: Oracle\nDescription: (OCI_ERROR) ORA-01017"))
        << asked.text.toStdString();

    // The chosen connect mode is the one tested: SCOTT may not connect as SYSDBA.
    asked = typeIn("SCOTT", "TIGER", "SAMPLE", 1);
    EXPECT_TRUE(asked.text.contains("ORA-01031")) << asked.text.toStdString();

    asked = typeIn("SCOTT", "TIGER", "NO_SUCH_DB", 0);
    EXPECT_TRUE(asked.text.startsWith("Error type: ")) << asked.text.toStdString();
    if (!realClientInstalled()) {
        EXPECT_TRUE(asked.text.contains("Environment handle creation failed"))
            << asked.text.toStdString();
    }
    EXPECT_EQ(current.user(), ""); // nothing reached the record
}

TEST_F(ConnectDlgTest, RunsModallyAndIsAnsweredAsTheActiveModalWidget)
{
    save({record("SCOTT", "SAMPLE", "TIGER")});
    CSQLConnection current = record("SCOTT", "SAMPLE");
    {
        CConnectDlg dlg(*m_store);
        dlg.setConnection(&current);
        ModalAnswer<CConnectDlg> answer([](CConnectDlg *d) {
            EXPECT_EQ(d->focusWidget(), d->list()); // user and password are filled
            d->passwordEdit()->setText("NewPass");
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        EXPECT_TRUE(answer.found());
    }
    EXPECT_EQ(current.password(), "NewPass");
    EXPECT_EQ(stored().at(0).password(), "NewPass");

    CSQLConnection none;
    m_store->removeSection("Connections");
    CConnectDlg fresh(*m_store);
    fresh.setConnection(&none);
    ModalAnswer<CConnectDlg> answer([](CConnectDlg *d) {
        EXPECT_EQ(d->focusWidget(), d->userEdit()); // nothing to choose from: type a user
        d->reject();
    });
    EXPECT_EQ(fresh.exec(), QDialog::Rejected);
    EXPECT_TRUE(answer.found());
}

TEST_F(ConnectDlgTest, Screenshot)
{
    save({record("SCOTT", "SAMPLE", "TIGER", true, 0, CDateTime(2026, 12, 7, 18, 30, 0)),
          record("HR", "ORCL", "hr", true, 0, CDateTime(2026, 11, 28, 9, 5, 12)),
          record("SYSTEM", "SALES.WORLD", "", false, 1, CDateTime(2026, 10, 2, 14, 45, 0)),
          record("APP_OWNER", "SAMPLE", "", false, 0)});
    CConnectDlg dlg(*m_store);
    CSQLConnection current = record("SCOTT", "SAMPLE");
    dlg.setConnection(&current);
    dlg.show();
    QApplication::processEvents();
    const QString folder = testfiles::buildDir() + "/screenshots";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QImage image = dlg.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(folder + "/connections.png"));
    // Nothing is cut off: every label and field is at least as large as it asks to be.
    for (QWidget *w : dlg.findChildren<QWidget *>()) {
        if (qobject_cast<QLabel *>(w) && w->objectName().isEmpty()) {
            EXPECT_GE(w->width(), w->sizeHint().width())
                << static_cast<QLabel *>(w)->text().toStdString();
        }
    }
    EXPECT_GE(dlg.testButton()->width(), dlg.testButton()->sizeHint().width());
    EXPECT_LE(dlg.list()->horizontalHeader()->length(), dlg.list()->viewport()->width());
}

} // namespace
