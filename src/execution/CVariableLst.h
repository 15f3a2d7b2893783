#pragma once

#include "elements/CSQLVariable.h"
#include "execution/CDateType.h"
#include "grid/CGridCtrl.h"

#include <vector>

// The grid of the variables dialog: one row per variable with its name (read-only), its type (a
// drop-down of String, Number and Date for bind variables, a plain "String" for substitution
// variables) and its value (a drop-down of its history, newest first, free text allowed). A value
// whose row has the type Date is entered through the mask "99.99.9999" and reads "dd.mm.yyyy" while
// empty.
class CVariableLst : public CGridCtrl
{
    Q_OBJECT
public:
    static constexpr int kNameColumn = 0;
    static constexpr int kTypeColumn = 1;
    static constexpr int kValueColumn = 2;

    explicit CVariableLst(QWidget *parent = nullptr);

    // Shows the variables; an empty value with a history first takes the newest entry (in the
    // variable itself).
    void fill(std::vector<CSQLVariable> &variables);

    // The type and the value of a row as the dialog takes them.
    QString typeText(int row) const;
    QString valueText(int row) const;

    // Gives every variable its row's type and value and adds the value to its history.
    void takeInto(std::vector<CSQLVariable> &variables) const;

    static QString datePlaceholder() { return QStringLiteral("dd.mm.yyyy"); }

private:
    // Puts the value cell of a row in line with the row's type.
    void applyValueRule(int row);

    CDateType m_dateType; // gives the date mask
};
