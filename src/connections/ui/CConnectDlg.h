#pragma once

#include "connections/CConnectionList.h"
#include "connections/CSQLConnection.h"
#include "connections/ui/CClientLabels.h"
#include "connections/ui/CLogonForm.h"
#include "ui/CDialogTVL.h"

class CConnectionLst;
class CElidedLabel;
class CSettingsStore;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Oracle Logon": the modal dialog in which the user chooses, types in, tests and deletes Oracle
// connections. It edits one record that its caller owns:
//
//     CConnectDlg dlg(parent);
//     dlg.setConnection(&record);
//     if (dlg.exec() == QDialog::Accepted) ... // record holds the accepted values
//
// Constructing the dialog loads the saved connections. On OK the record holds the fields' values
// (user and database upper-cased), a record with a user has replaced its identity in the saved
// list, and the list has been written to the store; on Cancel or close the record is as it was
// handed in and the store is unchanged. Messages go through CPrompt.
class CConnectDlg : public CDialogTVL
{
    Q_OBJECT
public:
    static constexpr const char kTitle[] = "Oracle Logon";

    explicit CConnectDlg(QWidget *parent = nullptr); // over CSettingsStore::instance()
    // store must outlive the dialog.
    explicit CConnectDlg(CSettingsStore &store, QWidget *parent = nullptr);
    ~CConnectDlg() override;

    // The record to edit (not owned; it must outlive the dialog). Fills the dialog from it and from
    // the saved list: a record without a user takes the first saved record. Call before exec().
    // Without a call the dialog edits a record of its own.
    void setConnection(CSQLConnection *record);
    CSQLConnection *connection() const { return m_current; }

    // The saved connections as the dialog holds them (changes reach the store only on OK).
    CConnectionList &savedList() { return m_saved; }

    // The values of the fields now.
    CLogonForm form() const;
    // The texts of the labels now.
    const CClientLabels &clientLabels() const { return m_labels; }
    // The names the database list offers.
    QStringList databaseNames() const;

    // Opens a session with the fields' user, password, database and connect as, closes it and tells
    // the user the outcome. The fields keep what was typed.
    void testConnection();
    // Removes the selected row's connection from the saved list (the store follows on OK).
    void deleteSelected();

    void accept() override;
    void reject() override;

    CConnectionLst *list() const { return m_list; }
    QLineEdit *userEdit() const { return m_user; }
    QLineEdit *passwordEdit() const { return m_password; }
    QCheckBox *savePasswordCheck() const { return m_savePassword; }
    QComboBox *databaseCombo() const { return m_database; }
    QComboBox *connectAsCombo() const { return m_connectAs; }
    QPushButton *testButton() const { return m_test; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void showRecord(const CSQLConnection &record);
    void fillDatabaseNames(const CTNS::Environment &env);
    void fillClientLabels(const CTNS::Environment &env);
    void chooseRow(int row);

    CSettingsStore &m_store;
    CConnectionList m_saved;   // loaded by the constructor
    CSQLConnection m_own;      // edited when the caller hands in no record
    CSQLConnection *m_current; // the caller's record (or m_own); never null
    CSQLConnection m_backup;   // m_current as handed in, put back on Cancel
    CClientLabels m_labels;
    bool m_prepared = false; // setConnection has filled the dialog

    CConnectionLst *m_list = nullptr; // the widgets, owned through the widget tree
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QCheckBox *m_savePassword = nullptr;
    QComboBox *m_database = nullptr;
    QComboBox *m_connectAs = nullptr;
    QPushButton *m_test = nullptr;
    CElidedLabel *m_ociPath = nullptr;
    CElidedLabel *m_ociVersion = nullptr;
    CElidedLabel *m_oracleHome = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
