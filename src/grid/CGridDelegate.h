#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class CGridCtrl;

// Paints the cells of a CGridCtrl (background, the current cell's marks and row tint, text, a drop-down
// arrow) and makes its in-place editors: an editable combo box for drop-down cells, a line edit for the
// others, either with the cell's input mask.
class CGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CGridDelegate(CGridCtrl *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    // Writes the editor's text into the cell; a masked editor in which nothing was typed leaves the
    // cell as it was.
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    // The editor open now, if any.
    QWidget *openEditor() const { return m_editor; }

private:
    CGridCtrl *m_grid;                   // the grid painted, not owned
    mutable QPointer<QWidget> m_editor;  // the last editor made; null once it is gone
};
