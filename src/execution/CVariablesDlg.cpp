#include "execution/CVariablesDlg.h"

#include "execution/CVariableLst.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

CVariablesDlg::CVariablesDlg(QWidget *parent) : CDialogTVL(parent), m_list(new CVariableLst(this))
{
    setWindowTitle(QStringLiteral("Variables"));
    setObjectName(QStringLiteral("variablesDialog"));
    m_list->setObjectName(QStringLiteral("variablesList"));
    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CVariablesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CVariablesDlg::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(480, 300); // 316 x 180 dialog units at the usual dialog font
}

void CVariablesDlg::setVariables(std::vector<CSQLVariable> *variables)
{
    m_variables = variables;
    if (m_variables)
        m_list->fill(*m_variables);
    m_list->setFocus();
}

void CVariablesDlg::accept()
{
    m_list->commitEditor();
    if (m_variables)
        m_list->takeInto(*m_variables);
    CDialogTVL::accept();
}

bool CVariablesDlgSource::askValues(std::vector<CSQLVariable> &variables)
{
    CVariablesDlg dialog(m_parent);
    dialog.setVariables(&variables);
    return dialog.exec() == QDialog::Accepted;
}
