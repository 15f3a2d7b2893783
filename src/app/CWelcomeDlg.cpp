#include "app/CWelcomeDlg.h"

#include "app/CPictures.h"
#include "settings/CScriptFolders.h"
#include "settings/Options.h"
#include "ui/CPrompt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CWelcomeDlg::CWelcomeDlg(CScriptFolders &folders, CSamplesFolder samples, QWidget *parent)
    : CDialogTVL(parent), m_folders(folders), m_samples(std::move(samples))
{
    setWindowTitle(QStringLiteral("Welcome to Tarvolo"));
    setObjectName(QStringLiteral("welcomeDialog"));
    pictures::makePictureDialog(this);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("welcomePicture"));
    picture->setPixmap(pictures::render(QStringLiteral(":/app/welcome.svg"), devicePixelRatioF()));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    static const char *const texts[3] = {"Load Sample SQL Script Folder",
                                         "Open Existing SQL Script Folder",
                                         "Continue with Default SQL Script Folder"};
    static const char *const names[3] = {"loadSamples", "openExisting", "continueDefault"};
    auto *group = new QButtonGroup(this);
    auto *choices = new QVBoxLayout;
    choices->setSpacing(10);
    for (int i = 0; i < 3; ++i) {
        m_choices[i] = new QRadioButton(QString::fromLatin1(texts[i]), this);
        m_choices[i]->setObjectName(QString::fromLatin1(names[i]));
        group->addButton(m_choices[i], i);
        choices->addWidget(m_choices[i]);
    }
    choices->addStretch(1);
    m_showAtStartup = new QCheckBox(QStringLiteral("Show at Startup"), this);
    m_showAtStartup->setObjectName(QStringLiteral("showAtStartup"));
    m_showAtStartup->setChecked(true);
    choices->addWidget(m_showAtStartup);

    auto *continueButton = new QPushButton(QStringLiteral("Continue"), this);
    continueButton->setObjectName(QStringLiteral("continueButton"));
    continueButton->setDefault(true);
    continueButton->setAutoDefault(true);
    connect(continueButton, &QPushButton::clicked, this, &CWelcomeDlg::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(continueButton);
    choices->addSpacing(6);
    choices->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    // The picture sits 5 pixels from the left and 10 from the top of the client area.
    layout->setContentsMargins(5, 10, 14, 12);
    layout->setSpacing(18);
    layout->addWidget(picture, 0, Qt::AlignTop);
    auto *right = new QVBoxLayout;
    right->setContentsMargins(0, 8, 0, 0);
    right->addLayout(choices);
    layout->addLayout(right, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    selectAction(welcome::actionFor(options::LastChooseWelcome));
    m_choices[static_cast<int>(selectedAction())]->setFocus();
}

welcome::Action CWelcomeDlg::selectedAction() const
{
    for (int i = 0; i < 3; ++i)
        if (m_choices[i]->isChecked())
            return static_cast<welcome::Action>(i);
    return welcome::Action::ContinueDefault;
}

void CWelcomeDlg::selectAction(welcome::Action action)
{
    m_choices[static_cast<int>(action)]->setChecked(true);
}

void CWelcomeDlg::abandon()
{
    m_closing = true;
    done(QDialog::Rejected);
}

void CWelcomeDlg::accept() { carryOut(); }

void CWelcomeDlg::reject() { carryOut(); }

void CWelcomeDlg::done(int result)
{
    options::ShowWelcomeDlg = m_showAtStartup->isChecked();
    QDialog::done(result);
}

void CWelcomeDlg::carryOut()
{
    if (m_closing)
        return;
    const welcome::Action action = selectedAction();
    QString folder;
    if (action == welcome::Action::LoadSamples) {
        const CSamplesFolder::Result samples = m_samples.resolve();
        if (!samples.error.isEmpty())
            CPrompt::information(this, tr("The sample folder could not be copied into your own "
                                          "folder, so it opens where it is installed: %1")
                                           .arg(samples.error));
        folder = samples.folder;
    } else if (action == welcome::Action::OpenExisting) {
        folder = CPrompt::existingFolder(this, QStringLiteral("Select a Script Folder"),
                                         m_folders.current());
    }
    if (!welcome::apply(action, folder, m_folders, options::LastChooseWelcome))
        return; // the folder browser was cancelled: the dialog stays open
    m_closing = true;
    done(QDialog::Accepted);
}
