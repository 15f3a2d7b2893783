#pragma once

#include "app/CSamplesFolder.h"
#include "app/CWelcomeChoice.h"
#include "ui/CDialogTVL.h"

class CScriptFolders;
class QCheckBox;
class QRadioButton;

// "Welcome to Tarvolo": lets the user pick the script folder the bar opens on. Continue, Esc and
// the close box all carry out the selected choice; only a cancelled folder browser keeps the
// dialog open. On closing, ShowWelcomeDlg takes the state of "Show at Startup" and
// LastChooseWelcome the choice carried out (both are saved with the other options at exit).
class CWelcomeDlg : public CDialogTVL
{
    Q_OBJECT
public:
    CWelcomeDlg(CScriptFolders &folders, CSamplesFolder samples = CSamplesFolder(),
                QWidget *parent = nullptr);

    welcome::Action selectedAction() const;
    void selectAction(welcome::Action action);

    // Closes the dialog without carrying out a choice (the program is asked to end).
    void abandon();

    void accept() override; // Continue
    void reject() override; // Esc and the close box: the same as Continue
    void done(int result) override;

private:
    void carryOut();

    CScriptFolders &m_folders;
    CSamplesFolder m_samples;
    QRadioButton *m_choices[3] = {};
    QCheckBox *m_showAtStartup = nullptr;
    bool m_closing = false; // a choice was carried out or the dialog was abandoned
};
