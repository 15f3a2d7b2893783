#include "app/CStandInWindow.h"

#include "settings/CScriptFolders.h"
#include "settings/CSettingsStore.h"
#include "ui/CPrompt.h"
#include "ui/CStaticLabel.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

CStandInWindow::CStandInWindow(CScriptFolders &folders, bool startHidden, QObject *parent)
    : IMainWindow(parent), m_folders(folders), m_startHidden(startHidden)
{
}

CStandInWindow::~CStandInWindow() { delete m_window; }

bool CStandInWindow::initialise()
{
    const CScriptFolders::Status status = m_folders.setUpCurrent(CSettingsStore::instance());
    if (status == CScriptFolders::Status::NoDocumentsFolder) {
        CPrompt::error(nullptr, QString::fromLatin1(CScriptFolders::kNoDocumentsMessage));
        return false;
    }

    m_window = new QWidget(nullptr, Qt::Window);
    m_window->setObjectName(QStringLiteral("mainWindow"));
    m_window->setWindowTitle(QStringLiteral("Tarvolo"));
    m_folderLabel = new CStaticLabel(QDir::toNativeSeparators(m_folders.current()), m_window);
    m_folderLabel->setObjectName(QStringLiteral("scriptFolder"));
    auto *about = new QPushButton(QStringLiteral("&About"), m_window);
    about->setObjectName(QStringLiteral("aboutButton"));
    auto *exit = new QPushButton(QStringLiteral("E&xit"), m_window);
    exit->setObjectName(QStringLiteral("exitButton"));
    connect(about, &QPushButton::clicked, this, [this] {
        if (!m_about || m_inModal)
            return;
        m_inModal = true;
        m_about(m_window);
        m_inModal = false;
        if (m_exitPending)
            requestExit();
    });
    connect(exit, &QPushButton::clicked, this, &CStandInWindow::requestExit);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(about);
    buttons->addWidget(exit);
    auto *layout = new QVBoxLayout(m_window);
    layout->addWidget(m_folderLabel);
    layout->addLayout(buttons);
    if (status == CScriptFolders::Status::FolderNotCreated)
        CPrompt::information(m_window, QStringLiteral("The script folder %1 could not be created.")
                                           .arg(QDir::toNativeSeparators(m_folders.current())));
    if (!m_startHidden)
        showBar();
    return true;
}

void CStandInWindow::showBar()
{
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void CStandInWindow::requestExit()
{
    if (m_inModal) {
        m_exitPending = true;
        return;
    }
    if (m_window)
        m_window->hide();
    emit finished();
}

void CStandInWindow::setAboutHandler(std::function<void(QWidget *)> handler)
{
    m_about = std::move(handler);
}
