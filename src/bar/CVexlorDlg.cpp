#include "bar/CVexlorDlg.h"

#include "bar/CBarGeometry.h"
#include "bar/CBarIcons.h"
#include "bar/CBarLayoutMath.h"
#include "bar/CElementTip.h"
#include "bar/CElementTipText.h"
#include "bar/CTrayIcon.h"
#include "bar/CVexlorButton.h"
#include "connections/CConnectionList.h"
#include "core/Version.h"
#include "settings/CScriptFolders.h"
#include "settings/CSettingsStore.h"
#include "settings/Options.h"
#include "ui/CPrompt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMenu>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace {

QString barTitle() { return QString::fromLatin1(tarvolo::kAppNameVer); }

// The text a button shows: the element's name, or its folder's name when the name is empty.
QString buttonText(const CVexlorElement &element)
{
    if (!element.name().isEmpty())
        return element.name();
    QString folder = element.folderPath();
    if (folder.endsWith(u'/'))
        folder.chop(1);
    return QFileInfo(folder).fileName();
}

int iconSizeFor(int cellHeight)
{
    if (cellHeight >= 34)
        return 24;
    if (cellHeight >= 24)
        return 16;
    return std::max(cellHeight - 8, 8);
}

} // namespace

CVexlorDlg::CVexlorDlg(CScriptFolders &folders, bool startHidden, QWidget *parent)
    : CDialogTVL(parent), m_folders(folders), m_startHidden(startHidden)
{
    setObjectName(QStringLiteral("bar"));
    setWindowTitle(barTitle());
    setWindowIcon(barIcons::programIcon());
    setMouseTracking(true);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setSizeGripEnabled(false);
    m_tip = new CElementTip(this);
    m_tipDelay.setSingleShot(true);
    connect(&m_tipDelay, &QTimer::timeout, this, &CVexlorDlg::showPendingTip);
    m_modal.setOnClosed([this] {
        if (m_exitQueued)
            QTimer::singleShot(0, this, &CVexlorDlg::requestExit);
    });
    createActions();
    installEventFilter(this);
}

CVexlorDlg::~CVexlorDlg()
{
    // A bar destroyed without Exit still keeps what its elements hold.
    if (!m_finished)
        saveAndRelease();
}

void CVexlorDlg::createActions()
{
    const auto make = [this](const QString &icon, const QString &text, QKeySequence key,
                             const QString &name, void (CVexlorDlg::*slot)()) {
        auto *action = new QAction(barIcons::themed(icon), text, this);
        action->setObjectName(name);
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action); // the bar's keys, never another window's
        }
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_deleteAction =
        make(QStringLiteral("edit-delete"), tr("&Delete SQL Query"), QKeySequence(Qt::Key_Delete),
             QStringLiteral("deleteElement"), &CVexlorDlg::deleteCurrent);
    m_upAction =
        make(QStringLiteral("go-up"), tr("&Up SQL Query"), QKeySequence(Qt::CTRL | Qt::Key_Up),
             QStringLiteral("moveUp"), &CVexlorDlg::moveCurrentUp);
    m_downAction = make(QStringLiteral("go-down"), tr("&Down SQL Query"),
                        QKeySequence(Qt::CTRL | Qt::Key_Down), QStringLiteral("moveDown"),
                        &CVexlorDlg::moveCurrentDown);
    m_aboutAction = make(QStringLiteral("help-about"), tr("&About"), {}, QStringLiteral("about"),
                         &CVexlorDlg::showAbout);
    m_exitAction = make(QStringLiteral("application-exit"), tr("&Exit"), {}, QStringLiteral("exit"),
                        &CVexlorDlg::requestExit);
}

bool CVexlorDlg::initialise()
{
    QApplication::setQuitOnLastWindowClosed(false);
    const QString documents =
        m_documentsPath.isNull()
            ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
            : m_documentsPath;
    const CScriptFolders::Status status =
        m_folders.setUpCurrent(CSettingsStore::instance(), documents);
    if (status == CScriptFolders::Status::NoDocumentsFolder) {
        CPrompt::error(nullptr, QString::fromLatin1(CScriptFolders::kNoDocumentsMessage));
        return false;
    }
    m_scriptFolder = CVexlorElement::withTrailingSeparator(m_folders.current());

    // Without a notification area a hidden bar could not be called back, and a minimised one needs
    // its task bar button.
    m_hasTray = CTrayIcon::isAvailable();
    Qt::WindowFlags flags = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    flags |= m_hasTray ? Qt::Tool : (Qt::Window | Qt::WindowMinimizeButtonHint);
    setWindowFlags(flags);

    m_tray = new CTrayIcon(this);
    connect(m_tray, &CTrayIcon::showBarRequested, this, &CVexlorDlg::showBar);
    connect(m_tray, &CTrayIcon::showItemChosen, this, [this] {
        if (!m_modal.isOpen())
            showBar();
    });
    connect(m_tray, &CTrayIcon::helpRequested, this, &CVexlorDlg::showHelp);
    connect(m_tray, &CTrayIcon::aboutRequested, this, &CVexlorDlg::showAbout);
    connect(m_tray, &CTrayIcon::exitRequested, this, &CVexlorDlg::requestExit);
    if (m_hasTray)
        m_tray->show();

    if (status == CScriptFolders::Status::FolderNotCreated)
        CPrompt::error(nullptr, tr("The script folder %1 does not exist and could not be created, "
                                   "so the bar starts empty.")
                                    .arg(QDir::toNativeSeparators(m_scriptFolder)));
    loadFolder();
    createButtons();
    restoreBarRect();
    mergeConnections();
    if (!m_startHidden || !m_hasTray)
        showBar();
    return true;
}

void CVexlorDlg::loadFolder()
{
    m_current = nullptr;
    m_elements.clear();
    m_layout = CBarLayout();
    m_layout.readBarRect(m_scriptFolder);
    m_elements = loadScriptFolder(m_scriptFolder);
    m_layout.readOrderMap(m_scriptFolder, m_elements);
}

void CVexlorDlg::createButtons()
{
    for (size_t i = 0; i < m_elements.size(); ++i)
        createButton(*m_elements[i], int(i));
    restack();
    layoutBar();
}

void CVexlorDlg::createButton(CVexlorElement &element, int index)
{
    auto *button = new CVexlorButton(element, this);
    button->setObjectName(QStringLiteral("element%1").arg(element.elementNumber()));
    const QIcon icon = barIcons::elementIcon(element.iconPath());
    element.attachments().setIcon(QVariant::fromValue(icon));
    button->setIcon(icon);
    button->setFullText(buttonText(element));
    button->setTipText(elementTipText::toolText(element));
    button->installEventFilter(this);
    connect(button, &CVexlorButton::hovered, this, &CVexlorDlg::onButtonHovered);
    connect(button, &QPushButton::clicked, this, [this] { m_keyboardMode = false; });
    element.setButtonId(100 + index);
    element.attachments().setButton(button);
    button->show();
}

CVexlorButton *CVexlorDlg::buttonOf(const CVexlorElement &element) const
{
    return qobject_cast<CVexlorButton *>(element.attachments().button());
}

void CVexlorDlg::refreshToolTip(CVexlorElement &element)
{
    if (CVexlorButton *button = buttonOf(element))
        button->setTipText(elementTipText::toolText(element));
}

void CVexlorDlg::layoutBar()
{
    if (!m_layoutEnabled)
        return;
    m_layoutEnabled = false;
    const CBarLayoutMath::Sizes sizes = CBarLayoutMath::fromOptions();
    int count = 0;
    for (const auto &element : m_elements)
        count += buttonOf(*element) ? 1 : 0;
    const CBarLayoutMath::Result result =
        CBarLayoutMath::compute(sizes, count, height(), m_resetLayout);
    m_resetLayout = false;
    int place = 0;
    const int iconSize = iconSizeFor(sizes.btnY);
    for (const auto &element : m_elements) {
        CVexlorButton *button = buttonOf(*element);
        if (!button)
            continue;
        button->setIconSize(QSize(iconSize, iconSize));
        button->setGeometry(QRect(CBarLayoutMath::cellOrigin(sizes, result.rows, place++),
                                  QSize(sizes.btnX, sizes.btnY)));
    }
    if (sizes.fixed) {
        setFixedSize(result.clientSize);
    } else {
        setMinimumSize(sizes.btnX, sizes.btnY);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(result.clientSize);
    }
    m_layoutEnabled = true;
}

void CVexlorDlg::restoreBarRect()
{
    const CScreenRect stored = m_layout.barRect();
    if (!barGeometry::isUsable(stored)) {
        layoutBar();
        return;
    }
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    const QScreen *primary = QGuiApplication::primaryScreen();
    const QRect frame = barGeometry::ontoScreens(barGeometry::fromStored(stored), areas,
                                                 primary ? primary->availableGeometry() : QRect());
    m_restoreFrame = frame;
    applyFrameMargins();
}

// Places the frame's top-left corner where the stored rectangle has it and gives the client area
// the stored size less the frame the window manager draws (none is known before the first show;
// the first show applies the rectangle again).
void CVexlorDlg::applyFrameMargins()
{
    if (m_restoreFrame.isNull())
        return;
    const QSize margins = m_everShown ? frameGeometry().size() - size() : QSize(0, 0);
    move(m_restoreFrame.topLeft());
    const bool wasEnabled = m_layoutEnabled;
    m_layoutEnabled = false;
    resize((m_restoreFrame.size() - margins).expandedTo(QSize(1, 1)));
    m_layoutEnabled = wasEnabled;
    if (m_everShown)
        m_restoreFrame = QRect();
    layoutBar();
}

void CVexlorDlg::restack()
{
    QWidget *previous = nullptr;
    for (const auto &element : m_elements) {
        CVexlorButton *button = buttonOf(*element);
        if (!button)
            continue;
        button->raise();
        if (previous)
            QWidget::setTabOrder(previous, button);
        previous = button;
    }
}

void CVexlorDlg::mergeConnections()
{
    CConnectionList saved(CSettingsStore::instance());
    saved.mergeElementConnections(connectionsOf(m_elements));
}

void CVexlorDlg::showBar()
{
    if (m_finished)
        return;
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    layoutBar();
}

void CVexlorDlg::setAboutHandler(std::function<void(QWidget *)> handler)
{
    m_aboutHandler = std::move(handler);
}

void CVexlorDlg::showAbout()
{
    CModalGuard guard(m_modal);
    if (m_aboutHandler)
        m_aboutHandler(this);
    else
        CPrompt::message(this, QMessageBox::Information, tr("About Tarvolo"), barTitle());
}

int CVexlorDlg::indexOf(const CVexlorElement *element) const
{
    const auto it = std::find_if(m_elements.begin(), m_elements.end(),
                                 [&](const auto &e) { return e.get() == element; });
    return it == m_elements.end() ? -1 : int(it - m_elements.begin());
}

void CVexlorDlg::setCurrent(CVexlorElement *element)
{
    m_current = element;
    setWindowTitle(element ? buttonText(*element) : barTitle());
}

void CVexlorDlg::onButtonHovered(CVexlorButton *button, Qt::KeyboardModifiers modifiers)
{
    // Ctrl held counts as keyboard mode even when the bar did not see the key go down (it had
    // no focus then).
    if (m_keyboardMode || modifiers.testFlag(Qt::ControlModifier) ||
        m_current == &button->element())
        return;
    button->setFocus(Qt::MouseFocusReason);
    setCurrent(&button->element());
    // The focus change stops the application's tool tip timer for this move; without another move
    // the tip would never come, so the bar asks for it itself after the usual delay.
    m_tipButton = button;
    m_tipDelay.start(style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, button));
}

void CVexlorDlg::showPendingTip()
{
    CVexlorButton *button = m_tipButton.data();
    if (!button || m_tip->isVisible() || !button->isVisible())
        return;
    const QPoint cursor = QCursor::pos();
    if (button->rect().contains(button->mapFromGlobal(cursor)))
        m_tip->showTip(button, cursor);
}

void CVexlorDlg::navigate(int step)
{
    std::vector<CVexlorButton *> buttons;
    for (const auto &element : m_elements)
        if (CVexlorButton *b = buttonOf(*element))
            buttons.push_back(b);
    if (buttons.empty())
        return;
    const auto it = std::find(buttons.begin(), buttons.end(), focusWidget());
    const int n = int(buttons.size());
    int next = 0;
    if (it != buttons.end())
        next = (int(it - buttons.begin()) + step + n) % n;
    else if (step < 0)
        next = n - 1;
    buttons[size_t(next)]->setFocus(Qt::TabFocusReason);
    setCurrent(&buttons[size_t(next)]->element());
}

void CVexlorDlg::deleteCurrent()
{
    if (m_modal.isOpen() || !m_current || m_finished)
        return;
    CVexlorElement *element = m_current;
    m_tip->hideTip();
    bool yes = false;
    {
        CModalGuard guard(m_modal);
        yes = CPrompt::confirm(this, CPrompt::applicationTitle(),
                               tr("Do you really want to delete \"%1\"?").arg(element->name()));
    }
    const int index = indexOf(element);
    if (!yes || index < 0)
        return;
    QString failed;
    if (!removeElementFolder(*element, failed)) {
        CPrompt::error(this, tr("The folder %1 could not be removed, so \"%2\" stays on the bar.")
                                 .arg(QDir::toNativeSeparators(failed), element->name()));
        return;
    }
    m_layout.removeElement(*element, m_elements);
    m_elements.erase(m_elements.begin() + index); // destroys the element and its button
    setCurrent(nullptr);
    if (!m_layout.renumber(m_elements, m_scriptFolder))
        CPrompt::error(this,
                       tr("The order of the elements could not be written to %1.")
                           .arg(QDir::toNativeSeparators(CBarLayout::layoutPath(m_scriptFolder))));
    restack();
    layoutBar();
}

// Removes the element's folder as one step: it is first renamed out of the way (nothing is lost
// when that fails), then deleted; when the deletion stops half-way the folder is put back and the
// element rewrites what was removed. False, with failedPath, when the folder stays.
bool CVexlorDlg::removeElementFolder(CVexlorElement &element, QString &failedPath)
{
    QString path = element.folderPath();
    if (path.endsWith(u'/'))
        path.chop(1);
    failedPath = path;
    const QFileInfo info(path);
    if (path.isEmpty())
        return false;
    if (!info.exists() && !info.isSymLink())
        return true; // already gone
    if (info.isSymLink() || !info.isDir())
        return element.deleteFolder();
    const QString aside =
        info.absolutePath() + QStringLiteral("/.deleting-%1-%2")
                                  .arg(element.elementNumber())
                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
    if (!QDir().rename(path, aside))
        return false;
    if (QDir(aside).removeRecursively())
        return true;
    if (QDir().rename(aside, path))
        element.save();
    else
        failedPath = aside;
    return false;
}

void CVexlorDlg::moveCurrentUp() { moveCurrent(-1); }

void CVexlorDlg::moveCurrentDown() { moveCurrent(+1); }

void CVexlorDlg::moveCurrent(int step)
{
    if (m_modal.isOpen() || !m_current || m_finished)
        return;
    if (step < 0)
        m_keyboardMode = true;
    const int index = indexOf(m_current);
    const bool moved = step < 0 ? m_layout.moveUp(index, m_elements, m_scriptFolder)
                                : m_layout.moveDown(index, m_elements, m_scriptFolder);
    if (m_layout.orderMapWriteFailed())
        CPrompt::error(this,
                       tr("The new order of the elements could not be written to %1.")
                           .arg(QDir::toNativeSeparators(CBarLayout::layoutPath(m_scriptFolder))));
    if (!moved)
        return;
    restack();
    layoutBar();
    if (CVexlorButton *button = buttonOf(*m_current))
        button->setFocus(Qt::OtherFocusReason);
}

QMenu *CVexlorDlg::contextMenu()
{
    m_menu = std::make_unique<QMenu>(this);
    m_menu->setObjectName(QStringLiteral("barMenu"));
    if (m_current) {
        m_menu->addAction(m_deleteAction);
        m_menu->addSeparator();
        m_menu->addAction(m_upAction);
        m_menu->addAction(m_downAction);
        m_menu->addSeparator();
    }
    m_menu->addAction(m_aboutAction);
    m_menu->addSeparator();
    m_menu->addAction(m_exitAction);
    return m_menu.get();
}

void CVexlorDlg::requestExit()
{
    if (m_finished)
        return;
    if (m_modal.isOpen()) {
        m_exitQueued = true;
        return;
    }
    m_exitQueued = false;
    setCurrent(nullptr);
    const QStringList failures = saveAndRelease();
    hide();
    if (!failures.isEmpty())
        CPrompt::error(nullptr, tr("Tarvolo could not save everything before it ended. These "
                                   "files could not be written:\n%1")
                                    .arg(failures.join(u'\n')));
    emit finished();
}

// Takes the tray icon away, stores the bar rectangle, saves every element's configuration and
// tvl.cfg, and drops the elements. The files that could not be written, as native paths.
QStringList CVexlorDlg::saveAndRelease()
{
    m_finished = true;
    QStringList failures;
    if (m_tray)
        m_tray->remove();
    m_tip->hideTip();
    if (m_everShown)
        m_layout.setBarRect(barGeometry::toStored(frameGeometry()));
    for (const auto &element : m_elements)
        if (!element->saveConfiguration(false))
            failures << QDir::toNativeSeparators(element->lastFailure());
    m_current = nullptr;
    m_elements.clear();
    // A folder that could not be made was reported at the start; there is nothing to keep there.
    if (QFileInfo(m_scriptFolder).isDir() && !m_layout.writeBarRect(m_scriptFolder))
        failures << QDir::toNativeSeparators(CBarLayout::layoutPath(m_scriptFolder));
    return failures;
}

bool CVexlorDlg::handleInput(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<CVexlorButton *>(watched);
    switch (event->type()) {
    case QEvent::ToolTip:
        if (button) {
            m_tip->showTip(button, static_cast<QHelpEvent *>(event)->globalPos());
            return true;
        }
        return false;
    case QEvent::Leave:
    case QEvent::Wheel:
        m_tipDelay.stop();
        m_tip->hideTip();
        return false;
    case QEvent::MouseButtonPress: {
        m_tipDelay.stop();
        m_tip->hideTip();
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        m_keyboardMode = false;
        contextMenu()->popup(mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::KeyRelease:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Control)
            m_keyboardMode = false;
        return false;
    case QEvent::KeyPress: {
        m_tipDelay.stop();
        m_tip->hideTip();
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        switch (key->key()) {
        case Qt::Key_Control:
            m_keyboardMode = true;
            return false;
        case Qt::Key_Escape:
            if (options::HideMainDlgOnESC)
                close();
            return true; // never ends the dialog
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return true; // Enter belongs to the bar, not to a default button
        case Qt::Key_Up:
        case Qt::Key_Left:
            if (mods != Qt::NoModifier)
                return false;
            if (key->key() == Qt::Key_Up)
                m_keyboardMode = true;
            navigate(-1);
            return true;
        case Qt::Key_Down:
        case Qt::Key_Right:
            if (mods != Qt::NoModifier)
                return false;
            navigate(+1);
            return true;
        default:
            return false;
        }
    }
    default:
        return false;
    }
}

bool CVexlorDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this || qobject_cast<CVexlorButton *>(watched))
        if (handleInput(watched, event))
            return true;
    return CDialogTVL::eventFilter(watched, event);
}

void CVexlorDlg::closeEvent(QCloseEvent *event)
{
    if (m_finished) {
        event->accept();
        return;
    }
    event->ignore();
    m_tipDelay.stop();
    m_tip->hideTip();
    if (m_hasTray)
        hide();
    else
        showMinimized();
}

void CVexlorDlg::reject() { close(); }

void CVexlorDlg::keyPressEvent(QKeyEvent *event)
{
    // Esc and Enter were handled by the filter; QDialog would reject or press a default button.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    CDialogTVL::keyPressEvent(event);
}

void CVexlorDlg::mouseMoveEvent(QMouseEvent *event)
{
    // The mouse over the bar's own background: no element is current.
    if (m_current)
        setCurrent(nullptr);
    CDialogTVL::mouseMoveEvent(event);
}

void CVexlorDlg::resizeEvent(QResizeEvent *event)
{
    CDialogTVL::resizeEvent(event);
    if (m_layoutEnabled && !CBarLayoutMath::fromOptions().fixed)
        layoutBar();
}

void CVexlorDlg::changeEvent(QEvent *event)
{
    CDialogTVL::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_current)
        if (CVexlorButton *button = buttonOf(*m_current))
            button->setFocus(Qt::ActiveWindowFocusReason);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        m_tip->hideTip();
}

void CVexlorDlg::showEvent(QShowEvent *event)
{
    CDialogTVL::showEvent(event);
    if (m_everShown)
        return;
    m_everShown = true;
    // The window manager reports its frame once the window is mapped.
    if (!m_restoreFrame.isNull())
        QTimer::singleShot(150, this, &CVexlorDlg::applyFrameMargins);
}
