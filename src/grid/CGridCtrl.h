#pragma once

#include "grid/CGridCellStore.h"

#include <QTableView>

class CGridModel;
class CGridDelegate;

// The spreadsheet-like grid control: a table view over a CGridModel with one heading row of column
// headings and one heading column of row numbers. Cells carry text and an optional format of their own;
// the current cell is marked with a focus rectangle and/or a highlight, its row highlighted; rows sort by
// one column through a comparison callback; the in-place editor is a line edit, an editable drop-down
// list or either with an input mask. No widget exists per cell or row.
class CGridCtrl : public QTableView
{
    Q_OBJECT
public:
    enum class CurrentMark {
        FocusRect = 0x1,     // a focus rectangle around the current cell
        HighlightCell = 0x2, // the current cell painted in the highlight colour
        HighlightRow = 0x4,  // the current cell's row tinted with the highlight colour
    };
    Q_DECLARE_FLAGS(CurrentMarks, CurrentMark)
    enum class SortArrow { None, Ascending, Descending };

    explicit CGridCtrl(QWidget *parent = nullptr);
    ~CGridCtrl() override;

    CGridModel *gridModel() const { return m_model; }
    const CGridCellStore &store() const;

    int rowCount() const;
    int columnCount() const;
    // Sets the count in one step; new rows are empty, removed rows take their texts and formats along.
    void setRowCount(int rows);
    void setColumnCount(int columns);
    // Appends a batch of rows with one notification; returns the rows taken (all of them below
    // CGridCellStore::MaxRows rows).
    int appendRows(CGridRowBatch &&batch);
    // Removes every cell, heading, row and column and the sort arrow; defaults and modes stay.
    void clear();
    // Empties every cell's text and format; the counts and headings stay.
    void clearCells();

    QString text(int row, int column) const;
    void setText(int row, int column, const QString &text);
    CGridCellFormat cellFormat(int row, int column) const;
    void setCellFormat(int row, int column, const CGridCellFormat &format);
    void setTextColor(int row, int column, const QColor &color);
    void setBackground(int row, int column, const QColor &color);
    void setAlignment(int row, int column, Qt::Alignment alignment);
    void setCellFont(int row, int column, const QFont &font);
    void setEditable(int row, int column, bool editable);
    // Makes the cell a drop-down list cell offering the options; free text may still be typed.
    void setOptions(int row, int column, const QStringList &options);
    // Gives the cell an edit mask (9 a digit, A a letter, anything else literal); empty removes it.
    void setInputMask(int row, int column, const QString &mask);

    // The default cell: formats every cell field that a cell leaves unset.
    const CGridCellFormat &defaultCellFormat() const;
    void setDefaultCellFormat(const CGridCellFormat &format);
    // The font of the headings and of cells whose format names no font.
    void setDefaultFont(const QFont &font);
    // The default heading cell: font, text colour, background and alignment of every heading.
    void setDefaultHeadingFormat(const CGridCellFormat &format);
    QString headingText(int column) const;
    void setHeadingText(int column, const QString &text);
    // A row heading text instead of the row's number; a null string brings the number back.
    void setRowHeadingText(int row, const QString &text);
    // On: every row keeps its number through sorts (see CGridCellStore::setRowNumbersTravel).
    void setRowNumbersTravel(bool on);

    // Uniform-row-height mode: every row gets `pixels`; 0 switches the mode off.
    void setUniformRowHeight(int pixels);
    int uniformRowHeight() const { return m_uniformHeight; }
    // A row's height in pixels. In uniform mode this sets the one height of all rows. Heights move
    // with their rows when sorting.
    void setRowHeight(int row, int pixels);

    CurrentMarks currentMarks() const { return m_marks; }
    void setCurrentMarks(CurrentMarks marks);
    // On: extended selection of cells with mouse and keyboard; off: only the current cell.
    void setMultipleSelection(bool on);
    bool multipleSelection() const;

    int currentRow() const;
    int currentColumn() const;
    // Moves the current cell to the row, clamped to the first and last row, keeping the column (the
    // first one when none was current). Does nothing without rows or columns.
    void setCurrentRow(int row);
    void setCurrentCell(int row, int column);

    // Sorts the rows by one column, stable, with formats and row settings moving along. The comparison
    // orders ascending; descending swaps its arguments. The current cell stays on its row.
    void sortRows(int column, const CGridCellStore::CompareFn &compare, bool descending);
    // The same for an order by numbers made from the texts, each text converted once: the fast way
    // to sort millions of rows by a number or date column.
    void sortRowsByKey(int column, const CGridCellStore::KeyFn &key, bool descending);
    // Shows a sort arrow in one heading; any arrow elsewhere goes. None removes the arrow.
    void setSortArrow(int column, SortArrow arrow);
    SortArrow sortArrow(int column) const;

    // Opens the in-place editor on the current cell; false when there is none or it is not editable.
    bool editCurrentCell();
    // Closes an open editor, writing its text into the cell.
    void commitEditor();
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

    // Pixel width of a text in a font, and in the default cell's font.
    static int textWidth(const QString &text, const QFont &font);
    int textWidth(const QString &text) const;
    // Recomputes scroll ranges and heading sizes after size changes and repaints.
    void recomputeLayout();

signals:
    // The left mouse button went down on a column heading.
    void headingPressed(int column);
    void cellDoubleClicked(int row, int column);
    // A key went down in the grid (not in an open editor). A receiver that sets *consumed keeps the
    // grid from handling the key itself. Connect directly: the flag is read after the signal returns.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers, bool *consumed);
    // The current cell moved to another row (-1 when no cell is current).
    void currentRowChanged(int row);
    // An in-place edit changed a cell's text.
    void cellEdited(int row, int column);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void updateRow(int row);
    void applySortOrder(const std::vector<int> &order);
    void applyRowHeights();
    void closeOpenEditor();

    CGridModel *m_model;         // owned through the QObject tree
    CGridDelegate *m_delegate;   // owned through the QObject tree
    CurrentMarks m_marks;           // how the current cell and its row are marked
    int m_uniformHeight = 0;     // pixels of every row in uniform mode, 0 = mode off
    QList<int> m_sizedRows;      // rows given their own header section size, to reset after a sort
    int m_lastRow = -1;          // row of the current cell last reported
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CGridCtrl::CurrentMarks)
