#pragma once

#include <QObject>

#include <functional>

class QWidget;

// The program's main window as start-up sees it: the bar of elements. Start-up creates it after
// the welcome dialog, runs the event loop until finished() and then saves the settings.
class IMainWindow : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~IMainWindow() override;

    // Loads the current script folder and shows the window unless the start is hidden. False when
    // the window cannot start, after telling the user why.
    virtual bool initialise() = 0;
    // Shows, raises and activates the window (a later start of the program asks for this).
    virtual void showBar() = 0;
    // Ends the window through its normal exit (saving its state); finished() follows, perhaps only
    // once an open modal window has closed.
    virtual void requestExit() = 0;
    // The About command of the window's menus calls handler with the parent for the dialog.
    virtual void setAboutHandler(std::function<void(QWidget *parent)> handler) = 0;

signals:
    // The window has saved and destroyed its state; the program may end.
    void finished();
};
