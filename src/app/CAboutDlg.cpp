#include "app/CAboutDlg.h"

#include "app/CPictures.h"
#include "ui/CStaticLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent) : CDialogTVL(parent)
{
    setWindowTitle(QStringLiteral("About Tarvolo"));
    setObjectName(QStringLiteral("aboutDialog"));
    pictures::makePictureDialog(this);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    const QPixmap pixmap = pictures::render(QStringLiteral(":/app/about.svg"), devicePixelRatioF());
    picture->setPixmap(pixmap);
    picture->setFixedSize(pixmap.deviceIndependentSize().toSize());

    // The version sits on the picture, so its label paints no background of its own.
    m_version = new CStaticLabel(QString::fromLatin1(kVersionText), picture);
    m_version->setObjectName(QStringLiteral("versionLabel"));
    m_version->setTransparent(true);
    m_version->setTextColor(0xFFFFFF);
    CLogFont versionFont = CLogFont::generic();
    versionFont.lfHeight = -12;
    versionFont.lfWeight = 700;
    m_version->setFontDescription(versionFont);
    m_version->adjustSize();
    m_version->move(92, 84);

    auto *help = new CLinkLabel(tr("Help page"), QUrl(), this);
    help->setObjectName(QStringLiteral("helpLink"));
    help->setToolTip(tr("The help page installed with Tarvolo"));
    help->adjustSize();
    connect(help, &CLinkLabel::activated, this, [this] { showHelp(); });

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 0, 0, 0);
    bottom->addWidget(help, 0, Qt::AlignVCenter);
    bottom->addStretch(1);
    bottom->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    // The picture sits 5 pixels from the left and the top of the client area.
    layout->setContentsMargins(5, 5, 5, 8);
    layout->setSpacing(8);
    layout->addWidget(picture);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}
