#pragma once

#include "elements/CSQLVariable.h"
#include "execution/IVariableSource.h"
#include "ui/CDialogTVL.h"

#include <vector>

class CVariableLst;
class QPushButton;

// The modal dialog in which the user gives the values of a statement's variables before it runs. OK
// takes every row's type and value into the variables and adds each value to its history; Cancel
// takes nothing (only empty values may have been filled from their history when it opened).
class CVariablesDlg : public CDialogTVL
{
    Q_OBJECT
public:
    explicit CVariablesDlg(QWidget *parent = nullptr);

    // The list shown and changed on OK; owned by the caller, set before the dialog is shown.
    void setVariables(std::vector<CSQLVariable> *variables);

    CVariableLst *list() const { return m_list; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void accept() override;

private:
    std::vector<CSQLVariable> *m_variables = nullptr; // not owned
    CVariableLst *m_list;                             // owned through the widget tree
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

// The variables dialog as the source of a run's values: every ask shows it modally over parent.
class CVariablesDlgSource : public IVariableSource
{
public:
    explicit CVariablesDlgSource(QWidget *parent) : m_parent(parent) {}
    bool askValues(std::vector<CSQLVariable> &variables) override;

private:
    QWidget *m_parent; // not owned
};
