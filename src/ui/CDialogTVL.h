#pragma once

#include <QDialog>
#include <QPointer>
#include <QUrl>

#include <functional>

// The common base of the program's dialogs. It gives the keyboard focus back to the control that
// had it when the dialog was deactivated, and answers the help command (F1) by raising the welcome
// window when one is open, else by opening the program's help page in the browser.
class CDialogTVL : public QDialog
{
    Q_OBJECT
public:
    // Opens a URL with the desktop's program for it; true when that worked.
    using UrlOpener = std::function<bool(const QUrl &)>;

    explicit CDialogTVL(QWidget *parent = nullptr);
    ~CDialogTVL() override;

    // The help page: help/index.html next to the executable, in <prefix>/share/tarvolo, or in a
    // folder above the executable's (a build tree); an empty string when none exists.
    static QString helpPagePath();
    // Replaces the opener (QDesktopServices by default); an empty function restores it. For tests.
    static void setUrlOpener(UrlOpener opener);

    // Brings an open "Welcome to Tarvolo" window to the top; without one, opens the help page and
    // tells the user through the prompt when there is none or it cannot open.
    void showHelp();

    // The control that had the focus when the dialog was last deactivated, if it still exists.
    QWidget *rememberedFocus() const { return m_lastFocus; }

    // The hot-key list of the dialog goes here: empty for every dialog but the bar window, which
    // registers its global and per-element keys through it.

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QWidget> m_lastFocus; // focus child at the last deactivation
};
