#include "bar/CTrayIcon.h"

#include "bar/CBarIcons.h"

#include <QMenu>
#include <QSystemTrayIcon>

CTrayIcon::CTrayIcon(QObject *parent)
    : QObject(parent), m_menu(std::make_unique<QMenu>()), m_icon(new QSystemTrayIcon(this))
{
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    m_show = m_menu->addAction(tr("&Tarvolo"), this, &CTrayIcon::showItemChosen);
    m_show->setObjectName(QStringLiteral("trayShow"));
    m_menu->setDefaultAction(m_show);
    m_menu->addSeparator();
    m_menu->addAction(barIcons::themed(QStringLiteral("help-contents")), tr("&Help"), this,
                      &CTrayIcon::helpRequested);
    m_menu->addAction(barIcons::themed(QStringLiteral("help-about")), tr("&About"), this,
                      &CTrayIcon::aboutRequested);
    m_menu->addSeparator();
    m_menu->addAction(barIcons::themed(QStringLiteral("application-exit")), tr("&Exit"), this,
                      &CTrayIcon::exitRequested);

    m_icon->setIcon(barIcons::programIcon());
    m_icon->setToolTip(QStringLiteral("Tarvolo"));
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger)
            emit showBarRequested();
    });
}

CTrayIcon::~CTrayIcon()
{
    m_icon->setContextMenu(nullptr);
    m_icon->hide();
}

bool CTrayIcon::isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool CTrayIcon::show()
{
    if (!isAvailable())
        return false;
    m_icon->show();
    return true;
}

void CTrayIcon::remove() { m_icon->hide(); }

bool CTrayIcon::isShown() const { return m_icon->isVisible(); }
