#include "grid/CGridCtrl.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A shown 3 × 3 grid holding "r/c" with its in-place editing driven from the keyboard.
class GridEditingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_grid.setColumnCount(3);
        m_grid.setRowCount(3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                m_grid.setText(r, c, QStringLiteral("%1/%2").arg(r).arg(c));
        m_grid.resize(400, 200);
        m_grid.show();
        QApplication::setActiveWindow(&m_grid);
        m_grid.setFocus();
        QApplication::processEvents();
    }

    // Starts the editor on a cell and gives back the editor widget (a combo box or a line edit).
    QWidget *edit(int row, int column)
    {
        m_grid.setCurrentCell(row, column);
        if (!m_grid.editCurrentCell())
            return nullptr;
        QApplication::processEvents();
        QWidget *focus = QApplication::focusWidget();
        if (focus && qobject_cast<QComboBox *>(focus->parentWidget()))
            return focus->parentWidget();
        return focus;
    }

    // A key in the editor; the view takes the edit back after the key has been handled.
    static void press(QWidget *editor, Qt::Key key)
    {
        QTest::keyClick(editor, key);
        QApplication::processEvents();
    }

    CGridCtrl m_grid;
};

} // namespace

TEST_F(GridEditingTest, LineEditorCommitsOnEnterAndRevertsOnEscape)
{
    QSignalSpy edited(&m_grid, &CGridCtrl::cellEdited);
    auto *line = qobject_cast<QLineEdit *>(edit(1, 1));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), u"1/1");
    line->selectAll();
    QTest::keyClicks(line, "changed");
    press(line, Qt::Key_Return);
    EXPECT_EQ(m_grid.text(1, 1), u"changed");
    EXPECT_FALSE(m_grid.isEditing());
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited[0][0].toInt(), 1);
    EXPECT_EQ(edited[0][1].toInt(), 1);

    line = qobject_cast<QLineEdit *>(edit(2, 0));
    ASSERT_NE(line, nullptr);
    QTest::keyClicks(line, "zzz");
    press(line, Qt::Key_Escape);
    EXPECT_EQ(m_grid.text(2, 0), u"2/0");
    EXPECT_EQ(edited.count(), 1);

    // Read-only cells and a grid without a current cell open no editor.
    m_grid.setEditable(0, 2, false);
    EXPECT_EQ(edit(0, 2), nullptr);
    m_grid.clear();
    EXPECT_FALSE(m_grid.editCurrentCell());
}

TEST_F(GridEditingTest, DropDownCellOffersItsOptionsAndTakesTypedText)
{
    m_grid.setOptions(0, 1, {u"String"_qs, u"Number"_qs, u"Date"_qs});
    m_grid.setText(0, 1, u"Number"_qs);
    auto *combo = qobject_cast<QComboBox *>(edit(0, 1));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), u"Date");
    EXPECT_EQ(combo->currentText(), u"Number");
    // Picking the next option takes it at once.
    press(combo, Qt::Key_Down);
    EXPECT_EQ(m_grid.text(0, 1), u"Date");
    EXPECT_FALSE(m_grid.isEditing());

    // Free text typed over the options is taken as typed.
    combo = qobject_cast<QComboBox *>(edit(0, 1));
    ASSERT_NE(combo, nullptr);
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "Other");
    press(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(m_grid.text(0, 1), u"Other");
    EXPECT_EQ(m_grid.cellFormat(0, 1).options->size(), 3); // typing adds no option
}

TEST_F(GridEditingTest, InputMaskTakesDigitsOnlyAndBlankInputLeavesTheCell)
{
    m_grid.setInputMask(2, 2, u"99.99.9999"_qs);
    m_grid.setText(2, 2, u"dd.mm.yyyy"_qs);
    auto *line = qobject_cast<QLineEdit *>(edit(2, 2));
    ASSERT_NE(line, nullptr);
    press(line, Qt::Key_Return); // nothing typed
    EXPECT_EQ(m_grid.text(2, 2), u"dd.mm.yyyy");

    line = qobject_cast<QLineEdit *>(edit(2, 2));
    ASSERT_NE(line, nullptr);
    QTest::keyClicks(line, "a07x12b2026");
    press(line, Qt::Key_Return);
    EXPECT_EQ(m_grid.text(2, 2), u"07.12.2026");

    // A drop-down cell with a mask: history options and masked typing together.
    m_grid.setOptions(1, 2, {u"01.01.2020"_qs});
    m_grid.setInputMask(1, 2, u"99.99.9999"_qs);
    auto *combo = qobject_cast<QComboBox *>(edit(1, 2));
    ASSERT_NE(combo, nullptr);
    combo->lineEdit()->setCursorPosition(0);
    QTest::keyClicks(combo->lineEdit(), "3112x1999");
    press(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(m_grid.text(1, 2), u"31.12.1999");

    // A partly typed date is taken as it stands; checking it is the caller's business.
    line = qobject_cast<QLineEdit *>(edit(2, 2));
    ASSERT_NE(line, nullptr);
    line->clear();
    QTest::keyClicks(line, "12");
    press(line, Qt::Key_Return);
    EXPECT_FALSE(m_grid.isEditing());
    EXPECT_TRUE(m_grid.text(2, 2).startsWith(u"12."));
}

TEST_F(GridEditingTest, SortingOrClearingWhileEditingNeverLosesTrackOfTheEditor)
{
    auto *line = qobject_cast<QLineEdit *>(edit(0, 0));
    ASSERT_NE(line, nullptr);
    line->setText(u"9"_qs);
    m_grid.sortRows(0, [](QStringView a, QStringView b) { return a.compare(b); }, false);
    EXPECT_FALSE(m_grid.isEditing());
    EXPECT_EQ(m_grid.text(2, 0), u"9"); // committed, then sorted last
    EXPECT_EQ(m_grid.currentRow(), 2);

    ASSERT_NE(edit(1, 1), nullptr);
    m_grid.setRowCount(1); // the edited row goes away
    EXPECT_FALSE(m_grid.isEditing());
    EXPECT_EQ(m_grid.rowCount(), 1);
    ASSERT_NE(edit(0, 1), nullptr);
    m_grid.clear();
    EXPECT_FALSE(m_grid.isEditing());
}
