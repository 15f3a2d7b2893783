#pragma once

#include "grid/CGridCellStore.h"

#include <QAbstractTableModel>

// The item model over a cell store. Every change goes through it so that views hear of it with one
// notification per operation: a bulk append or a row count change is one insertion, a sort one layout
// change that carries the persistent indexes (the current cell, an open editor) along with their rows.
class CGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role {
        OptionsRole = Qt::UserRole + 1, // QStringList of a drop-down cell; invalid for other cells
        InputMaskRole,                  // the cell's edit mask, 9 = digit, A = letter
    };

    explicit CGridModel(QObject *parent = nullptr);

    const CGridCellStore &store() const { return m_store; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setRowCount(int rows);
    void setColumnCount(int columns);
    // Appends with one insertion; returns the rows taken (see CGridCellStore::appendRows).
    int appendRows(CGridRowBatch &&batch);
    void clear();
    void clearCells();

    void setText(int row, int column, const QString &text);
    void setCellFormat(int row, int column, const CGridCellFormat &format);
    void setDefaultFormat(const CGridCellFormat &format);
    void setHeadingFormat(const CGridCellFormat &format);
    const CGridCellFormat &headingFormat() const { return m_heading; }
    void setHeadingText(int column, const QString &text);
    void setRowHeadingText(int row, const QString &text);
    bool setRowHeight(int row, int pixels) { return m_store.setRowHeight(row, pixels); }
    void setRowNumbersTravel(bool on)
    {
        m_store.setRowNumbersTravel(on);
        if (m_store.rowCount() > 0)
            emit headerDataChanged(Qt::Vertical, 0, m_store.rowCount() - 1);
    }

    // Moves the rows into `order` (as CGridCellStore::sortOrder gives it) with one layout change that
    // carries every persistent index along with its row. Any other order changes nothing.
    void reorderRows(const std::vector<int> &order);

signals:
    // A cell's text was changed through setData (an in-place edit).
    void cellEdited(int row, int column);

private:
    void allCellsChanged();

    CGridCellStore m_store;
    CGridCellFormat m_heading; // the heading cells' font, colours and alignment
};
