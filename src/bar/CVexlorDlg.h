#pragma once

#include "bar/CModalGuard.h"
#include "elements/CBarLayout.h"
#include "elements/CVexlorElement.h"
#include "ui/CDialogTVL.h"

#include <QPointer>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>

class CElementTip;
class CScriptFolders;
class CTrayIcon;
class CVexlorButton;
class QAction;
class QMenu;

// The program's main window: one button per element of the current script folder, in bar order,
// with the element commands in context menus and keys, and the icon in the notification area.
// Closing it hides it (minimises it where there is no notification area); only Exit ends it, after
// saving every element and the bar's layout file.
class CVexlorDlg : public CDialogTVL
{
    Q_OBJECT
public:
    // folders: the program's script folder list; its last entry is the current folder, and the
    // default folder is set up in it when it is empty. startHidden: the "/hide" start, invisible
    // until showBar(). The list must outlive the bar.
    CVexlorDlg(CScriptFolders &folders, bool startHidden, QWidget *parent = nullptr);
    ~CVexlorDlg() override;

    // Loads the current script folder, builds the buttons, the tray icon and the layout, merges the
    // elements' connections into the saved ones and shows the bar unless the start is hidden (a
    // desktop without a notification area shows it anyway). False, after telling the user, when the
    // bar cannot start: there is no documents folder for the default script folder.
    bool initialise();
    // Shows the bar normally, raises and activates it (tray click, a second start).
    void showBar();
    // Exit: while a modal window of the bar is open the request waits for it to close. Saves every
    // element and tvl.cfg (one message lists what could not be written), then emits finished().
    void requestExit();
    // The About command of the bar's and the tray's menus calls handler with the bar as parent,
    // holding the modal guard.
    void setAboutHandler(std::function<void(QWidget *parent)> handler);
    // Where the default script folder is made when the list is empty; the user's documents folder
    // unless set (tests). Before initialise().
    void setDocumentsPath(const QString &path) { m_documentsPath = path; }

    // The modal state every modal window of the bar holds a CModalGuard on while it is shown.
    CModalState &modalState() { return m_modal; }
    bool isExitQueued() const { return m_exitQueued; }

    // The commands; each does nothing while a modal window is open or without a current element.
    void deleteCurrent();
    void moveCurrentUp();
    void moveCurrentDown();
    void showAbout();
    // Renews the tool tip text of element's button.
    void refreshToolTip(CVexlorElement &element);

    const QString &scriptFolder() const { return m_scriptFolder; }
    const CElementList &elements() const { return m_elements; }
    const CBarLayout &barLayout() const { return m_layout; }
    CVexlorElement *currentElement() const { return m_current; }
    CVexlorButton *buttonOf(const CVexlorElement &element) const;
    bool keyboardMode() const { return m_keyboardMode; }
    bool hasTray() const { return m_hasTray; }
    CTrayIcon *trayIcon() const { return m_tray; }
    CElementTip *elementTip() const { return m_tip; }
    // The bar's context menu as it is for the current state (with or without a current element).
    QMenu *contextMenu();

signals:
    // The bar has saved and dropped its elements; the program may end.
    void finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void createActions();
    void loadFolder();
    void createButtons();
    void createButton(CVexlorElement &element, int index);
    void layoutBar();
    void restoreBarRect();
    void applyFrameMargins();
    void restack();
    void setCurrent(CVexlorElement *element);
    void onButtonHovered(CVexlorButton *button, Qt::KeyboardModifiers modifiers);
    void showPendingTip();
    void navigate(int step);
    void moveCurrent(int step);
    bool removeElementFolder(CVexlorElement &element, QString &failedPath);
    int indexOf(const CVexlorElement *element) const;
    void mergeConnections();
    QStringList saveAndRelease();
    bool handleInput(QObject *watched, QEvent *event);

    CScriptFolders &m_folders;
    bool m_startHidden;
    QString m_documentsPath;
    QString m_scriptFolder;              // the current script folder, ending in '/'
    CElementList m_elements;             // in bar order
    CBarLayout m_layout;                 // bar rectangle and order map of the current folder
    CVexlorElement *m_current = nullptr; // target of the element commands; null = none
    CModalState m_modal;
    bool m_exitQueued = false;     // Exit asked for while a modal was open
    bool m_finished = false;       // saved and released; finished() emitted
    bool m_keyboardMode = false;   // hovering does not change the current element
    bool m_layoutEnabled = true;   // false while a layout runs
    bool m_resetLayout = false;    // the next free layout uses 10 rows
    bool m_hasTray = false;        // the desktop has a notification area
    bool m_everShown = false;      // the frame geometry is the window manager's
    QRect m_restoreFrame;          // stored frame to apply once the frame margins are known
    CTrayIcon *m_tray = nullptr;   // owned through the QObject tree
    CElementTip *m_tip = nullptr;  // owned through the QObject tree
    std::unique_ptr<QMenu> m_menu; // the context menu, rebuilt for each showing
    QAction *m_deleteAction = nullptr;
    QAction *m_upAction = nullptr;
    QAction *m_downAction = nullptr;
    QAction *m_aboutAction = nullptr;
    QAction *m_exitAction = nullptr;
    std::function<void(QWidget *)> m_aboutHandler;
    QTimer m_tipDelay;                   // brings the tip of a newly hovered button
    QPointer<CVexlorButton> m_tipButton; // the button it is for
};
