#pragma once

#include "ui/CDialogTVL.h"

class CStaticLabel;

// "About Tarvolo": the program's picture with its version and a link to the help page shipped
// with the program. The version text is fixed here, whatever the executable's own stamp says.
class CAboutDlg : public CDialogTVL
{
    Q_OBJECT
public:
    static constexpr const char kVersionText[] = "Version 1.5";

    explicit CAboutDlg(QWidget *parent = nullptr);

    CStaticLabel *versionLabel() const { return m_version; }

private:
    CStaticLabel *m_version = nullptr;
};
