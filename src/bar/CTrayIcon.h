#pragma once

#include <QObject>

#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

// The bar's icon in the notification area: the program icon with the tip "Tarvolo". A left click
// asks for the bar; the context menu offers "&Tarvolo" (the default item, drawn bold), Help, About
// and Exit. The menu's commands are signals; the bar decides what they do.
class CTrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit CTrayIcon(QObject *parent = nullptr);
    ~CTrayIcon() override;

    // Whether the desktop has a notification area to put the icon in.
    static bool isAvailable();

    // Shows the icon; false when there is no notification area (the icon then stays away).
    bool show();
    // Takes the icon out of the notification area.
    void remove();
    bool isShown() const;

    QMenu *menu() const { return m_menu.get(); }
    QSystemTrayIcon *icon() const { return m_icon; }
    QAction *showAction() const { return m_show; }

signals:
    void showBarRequested(); // left click on the icon
    void showItemChosen();   // the "&Tarvolo" item
    void helpRequested();
    void aboutRequested();
    void exitRequested();

private:
    std::unique_ptr<QMenu> m_menu; // a menu has no QObject parent to own it
    QSystemTrayIcon *m_icon;       // owned through the QObject tree
    QAction *m_show;
};
