// The variables dialog and its grid: history fill, type cells, the Date entry, OK and Cancel.
#include "ModalHelper.h"

#include "execution/CVariableLst.h"
#include "execution/CVariablesDlg.h"
#include "grid/CGridDelegate.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

CSQLVariable var(int kind, const QString &name, const QString &type, const QString &value,
                 const QStringList &history = {})
{
    CSQLVariable v;
    v.kind = kind;
    v.name = name;
    v.type = type;
    v.value = value;
    v.history = history;
    return v;
}

} // namespace

TEST(VariableLst, FillsEmptyValuesFromTheNewestHistoryEntryAndOffersItNewestFirst)
{
    std::vector<CSQLVariable> vars{var(0, ":ID", "Number", "", {"2", "1"}),
                                   var(1, "&T", "Number", "emp"), var(0, ":D", "Date", "")};
    CVariableLst list;
    list.fill(vars);
    ASSERT_EQ(list.rowCount(), 3);
    ASSERT_EQ(list.columnCount(), 3);
    EXPECT_EQ(list.headingText(2), "Value");

    EXPECT_EQ(vars[0].value, "1"); // taken into the variable itself
    EXPECT_EQ(list.text(0, 2), "1");
    EXPECT_EQ(list.cellFormat(0, 2).options, QStringList({"1", "2"}));
    EXPECT_EQ(list.cellFormat(0, 1).options, QStringList({"String", "Number", "Date"}));
    EXPECT_FALSE(list.store().effectiveFormat(0, 0).editable.value_or(true));

    // A substitution variable is always a String, whatever was stored.
    EXPECT_EQ(list.typeText(1), "String");
    EXPECT_FALSE(list.cellFormat(1, 1).options.has_value());

    // Date: the empty value reads as the placeholder and is entered through the date mask.
    EXPECT_EQ(list.text(2, 2), "dd.mm.yyyy");
    EXPECT_EQ(list.cellFormat(2, 2).inputMask, "99.99.9999");
}

TEST(VariableLst, ChangingTheTypeMovesTheDateEntryAlong)
{
    std::vector<CSQLVariable> vars{var(0, ":X", "String", "")};
    CVariableLst list;
    list.fill(vars);
    EXPECT_FALSE(list.cellFormat(0, 2).inputMask.has_value());

    list.setCurrentCell(0, 1);
    ASSERT_TRUE(list.editCurrentCell());
    auto *delegate = qobject_cast<CGridDelegate *>(list.itemDelegate());
    ASSERT_NE(delegate, nullptr);
    auto *combo = qobject_cast<QComboBox *>(delegate->openEditor());
    ASSERT_NE(combo, nullptr);
    combo->setCurrentText("Date");
    list.commitEditor();
    EXPECT_EQ(list.typeText(0), "Date");
    EXPECT_EQ(list.text(0, 2), "dd.mm.yyyy");
    EXPECT_EQ(list.cellFormat(0, 2).inputMask, "99.99.9999");

    list.setCurrentCell(0, 1);
    ASSERT_TRUE(list.editCurrentCell());
    combo = qobject_cast<QComboBox *>(delegate->openEditor());
    ASSERT_NE(combo, nullptr);
    combo->setCurrentText("Number");
    list.commitEditor();
    EXPECT_EQ(list.text(0, 2), ""); // the placeholder is no Number value
    EXPECT_FALSE(list.cellFormat(0, 2).inputMask.has_value());
}

TEST(VariablesDlg, OkTakesTypesAndValuesIntoTheHistoryCancelTakesNothing)
{
    std::vector<CSQLVariable> vars{var(0, ":ID", "String", "", {"2", "1"}),
                                   var(0, ":D", "Date", "")};
    {
        CVariablesDlg dialog;
        dialog.setVariables(&vars);
        ModalAnswer<CVariablesDlg> answer([](CVariablesDlg *d) {
            d->list()->setText(0, 1, "Number");
            d->list()->setText(0, 2, "7");
            d->cancelButton()->click();
        });
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_TRUE(answer.found());
    }
    EXPECT_EQ(vars[0].type, "String");
    EXPECT_EQ(vars[0].value, "1"); // only the fill from history happened
    EXPECT_EQ(vars[0].history, QStringList({"2", "1"}));

    CVariablesDlg dialog;
    dialog.setVariables(&vars);
    EXPECT_EQ(dialog.windowTitle(), "Variables");
    ModalAnswer<CVariablesDlg> answer([](CVariablesDlg *d) {
        d->list()->setText(0, 1, "Number");
        d->list()->setText(0, 2, "2");
        d->okButton()->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(answer.found());
    EXPECT_EQ(vars[0].type, "Number");
    EXPECT_EQ(vars[0].value, "2");
    EXPECT_EQ(vars[0].history, QStringList({"1", "2"}));
    // The empty Date value is taken as the placeholder, as typed.
    EXPECT_EQ(vars[1].value, "dd.mm.yyyy");
    EXPECT_EQ(vars[1].history, QStringList({"dd.mm.yyyy"}));
}
