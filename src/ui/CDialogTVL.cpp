#include "ui/CDialogTVL.h"

#include "ui/CPrompt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace {

CDialogTVL::UrlOpener g_opener; // empty = QDesktopServices

} // namespace

CDialogTVL::CDialogTVL(QWidget *parent) : QDialog(parent) {}

CDialogTVL::~CDialogTVL() = default;

QString CDialogTVL::helpPagePath()
{
    const QString relative = QStringLiteral("help/index.html");
    QDir dir(QCoreApplication::applicationDirPath());
    QStringList candidates{dir.filePath(relative),
                           dir.filePath(QStringLiteral("../share/tarvolo/") + relative)};
    // A program run from a build tree finds the page a few folders up.
    for (int up = 0; up < 4 && dir.cdUp(); ++up)
        candidates << dir.filePath(relative)
                   << dir.filePath(QStringLiteral("resources/") + relative);
    for (const QString &path : std::as_const(candidates))
        if (QFileInfo(path).isFile())
            return QFileInfo(path).canonicalFilePath();
    return {};
}

void CDialogTVL::setUrlOpener(UrlOpener opener) { g_opener = std::move(opener); }

void CDialogTVL::showHelp()
{
    // An open welcome window is the program's introduction: it comes to the top instead.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle() == QLatin1String("Welcome to Tarvolo")) {
            window->raise();
            window->activateWindow();
            return;
        }
    }
    const QString path = helpPagePath();
    if (path.isEmpty()) {
        CPrompt::information(this, tr("The help page was not found."));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    const bool opened = g_opener ? g_opener(url) : QDesktopServices::openUrl(url);
    if (!opened)
        CPrompt::information(this, tr("The help page %1 could not be opened.").arg(path));
}

void CDialogTVL::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            if (m_lastFocus && m_lastFocus->isEnabled() && m_lastFocus->isVisible())
                m_lastFocus->setFocus(Qt::ActiveWindowFocusReason);
        } else {
            QWidget *focus = focusWidget();
            if (focus && isAncestorOf(focus))
                m_lastFocus = focus;
        }
    }
    QDialog::changeEvent(event);
}

void CDialogTVL::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        showHelp();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
