#include "connections/ui/CConnectDlg.h"

#include "connections/ui/CConnectionLst.h"
#include "connections/ui/CConnectionTest.h"
#include "connections/ui/CDatabaseNames.h"
#include "connections/ui/CElidedLabel.h"
#include "oracle_client/CTNS.h"
#include "settings/CSettingsStore.h"
#include "ui/CPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A size in dialog units converted to pixels with the base units of font: x the average character
// width / 4, y the height / 8.
QSize dialogUnits(const QFontMetrics &font, int x, int y)
{
    return {x * font.averageCharWidth() / 4, y * font.height() / 8};
}

QLabel *caption(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

CConnectDlg::CConnectDlg(QWidget *parent) : CConnectDlg(CSettingsStore::instance(), parent) {}

CConnectDlg::CConnectDlg(CSettingsStore &store, QWidget *parent)
    : CDialogTVL(parent), m_store(store), m_saved(store), m_current(&m_own)
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setObjectName(QStringLiteral("connectDialog"));
    createControls();
}

CConnectDlg::~CConnectDlg()
{
    // The list outlives the members it reports into; it reports nothing more.
    disconnect(m_list, nullptr, this, nullptr);
}

void CConnectDlg::createControls()
{
    m_list = new CConnectionLst(m_store, this);
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("userEdit"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_savePassword = new QCheckBox(QStringLiteral("Save password"), this);
    m_savePassword->setObjectName(QStringLiteral("savePasswordCheck"));
    m_database = new QComboBox(this);
    m_database->setObjectName(QStringLiteral("databaseCombo"));
    m_database->setEditable(true);
    m_database->setInsertPolicy(QComboBox::NoInsert);
    m_database->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_database->setMinimumContentsLength(16);
    m_connectAs = new QComboBox(this);
    m_connectAs->setObjectName(QStringLiteral("connectAsCombo"));
    m_connectAs->addItems(
        {QStringLiteral("Normal"), QStringLiteral("SYSDBA"), QStringLiteral("SYSOPER")});
    m_test = new QPushButton(QStringLiteral("Test connection"), this);
    m_test->setObjectName(QStringLiteral("testButton"));
    m_test->setIcon(QIcon::fromTheme(QStringLiteral("network-connect")));
    m_test->setAutoDefault(false);

    auto *fields = new QGridLayout;
    fields->addWidget(caption(QStringLiteral("User / Schema"), m_user, this), 0, 0);
    fields->addWidget(m_user, 0, 1);
    fields->addWidget(caption(QStringLiteral("Password"), m_password, this), 1, 0);
    fields->addWidget(m_password, 1, 1);
    fields->addWidget(m_savePassword, 2, 1);
    fields->addWidget(caption(QStringLiteral("Database"), m_database, this), 3, 0);
    fields->addWidget(m_database, 3, 1);
    fields->addWidget(caption(QStringLiteral("Connect As"), m_connectAs, this), 4, 0);
    fields->addWidget(m_connectAs, 4, 1);
    fields->setRowStretch(5, 1);
    fields->addWidget(m_test, 6, 1, Qt::AlignRight);
    fields->setColumnStretch(1, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(m_list, 3);
    top->addLayout(fields, 2);

    m_ociPath = new CElidedLabel(this);
    m_ociPath->setObjectName(QStringLiteral("ociPathLabel"));
    m_ociVersion = new CElidedLabel(this);
    m_ociVersion->setObjectName(QStringLiteral("ociVersionLabel"));
    m_oracleHome = new CElidedLabel(this);
    m_oracleHome->setObjectName(QStringLiteral("oracleHomeLabel"));
    auto *client = new QGridLayout;
    client->addWidget(new QLabel(QStringLiteral("OCI Path:"), this), 0, 0);
    client->addWidget(m_ociPath, 0, 1);
    client->addWidget(new QLabel(QStringLiteral("OCI Version:"), this), 1, 0);
    client->addWidget(m_ociVersion, 1, 1);
    client->addWidget(new QLabel(QStringLiteral("Oracle Home:"), this), 2, 0);
    client->addWidget(m_oracleHome, 2, 1);
    client->setColumnStretch(1, 1);
    client->setVerticalSpacing(2);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_ok->setDefault(true);

    auto *bottom = new QHBoxLayout;
    bottom->addLayout(client, 1);
    bottom->addSpacing(12);
    bottom->addWidget(buttons, 0, Qt::AlignBottom);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addSpacing(4);
    layout->addLayout(bottom);

    setTabOrder(m_list, m_user);
    setTabOrder(m_user, m_password);
    setTabOrder(m_password, m_savePassword);
    setTabOrder(m_savePassword, m_database);
    setTabOrder(m_database, m_connectAs);
    setTabOrder(m_connectAs, m_test);
    setTabOrder(m_test, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(buttons, &QDialogButtonBox::accepted, this, &CConnectDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CConnectDlg::reject);
    connect(m_test, &QPushButton::clicked, this, &CConnectDlg::testConnection);
    connect(m_list, &CConnectionLst::rowChosen, this, &CConnectDlg::chooseRow);
    connect(m_list, &CConnectionLst::deleteRequested, this, &CConnectDlg::deleteSelected);
    connect(m_list, &CConnectionLst::acceptRequested, this, &CConnectDlg::accept);

    resize(dialogUnits(fontMetrics(), 463, 220).expandedTo(sizeHint()));
}

void CConnectDlg::showEvent(QShowEvent *event)
{
    if (!m_prepared)
        setConnection(m_current);
    CDialogTVL::showEvent(event);
}

void CConnectDlg::setConnection(CSQLConnection *record)
{
    m_prepared = true;
    m_current = record ? record : &m_own;
    m_backup = *m_current;
    CLogonForm::prepare(*m_current, m_saved);
    m_list->fill(m_saved);
    showRecord(*m_current);
    m_list->selectRecord(*m_current);
    const CTNS::Environment env = CTNS::fromProcess();
    fillDatabaseNames(env);
    fillClientLabels(env);
    if (m_current->user().isEmpty())
        m_user->setFocus();
    else if (m_password->text().isEmpty())
        m_password->setFocus();
    else
        m_list->setFocus();
}

void CConnectDlg::showRecord(const CSQLConnection &record)
{
    const CLogonForm form = CLogonForm::of(record);
    m_user->setText(form.user);
    m_savePassword->setChecked(form.savePassword);
    m_password->setText(form.password);
    m_database->setEditText(form.database);
    m_connectAs->setCurrentIndex(form.connectAs);
}

CLogonForm CConnectDlg::form() const
{
    CLogonForm form;
    form.user = m_user->text();
    form.password = m_password->text();
    form.database = m_database->currentText();
    form.connectAs = std::max(m_connectAs->currentIndex(), 0);
    form.savePassword = m_savePassword->isChecked();
    return form;
}

QStringList CConnectDlg::databaseNames() const
{
    QStringList names;
    for (int i = 0; i < m_database->count(); ++i)
        names.append(m_database->itemText(i));
    return names;
}

void CConnectDlg::fillDatabaseNames(const CTNS::Environment &env)
{
    const QString typed = m_database->currentText();
    m_database->clear();
    m_database->addItems(CDatabaseNames::merge(CDatabaseNames::savedDatabases(m_saved),
                                               CTNS::netServiceNames(env),
                                               CDatabaseNames::providerServiceNames()));
    m_database->setEditText(typed);
}

void CConnectDlg::fillClientLabels(const CTNS::Environment &env)
{
    m_labels = CClientLabels::gather(env);
    m_ociPath->setFullText(m_labels.path);
    m_ociVersion->setFullText(m_labels.version);
    m_oracleHome->setFullText(m_labels.home);
}

void CConnectDlg::chooseRow(int row)
{
    const CSQLConnection *record = m_list->recordAt(row);
    if (record && CLogonForm::choose(record->user(), record->database(), m_saved, *m_current))
        showRecord(*m_current);
}

void CConnectDlg::deleteSelected()
{
    const CSQLConnection *record = m_list->recordAt(m_list->currentRow());
    if (!record)
        return;
    const CSQLConnection doomed = *record;
    m_saved.remove(doomed);
    m_list->fill(m_saved);
}

void CConnectDlg::testConnection()
{
    const CSQLConnection record = form().testRecord();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CConnectionTest result = CConnectionTest::run(record);
    QApplication::restoreOverrideCursor();
    if (result.ok)
        CPrompt::information(this, result.message);
    else
        CPrompt::error(this, result.message);
}

void CConnectDlg::accept()
{
    form().acceptInto(*m_current, m_saved);
    m_saved.saveAll();
    CDialogTVL::accept();
}

void CConnectDlg::reject()
{
    *m_current = m_backup;
    CDialogTVL::reject();
}
