#include "grid/CGridModel.h"

CGridModel::CGridModel(QObject *parent) : QAbstractTableModel(parent) {}

int CGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_store.rowCount();
}

int CGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_store.columnCount();
}

QVariant CGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_store.contains(index.row(), index.column()))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_store.text(index.row(), index.column());
    default:
        break;
    }
    const CGridCellFormat format = m_store.effectiveFormat(index.row(), index.column());
    switch (role) {
    case Qt::ForegroundRole:
        return format.textColor.isValid() ? QVariant(format.textColor) : QVariant();
    case Qt::BackgroundRole:
        return format.background.isValid() ? QVariant(format.background) : QVariant();
    case Qt::TextAlignmentRole:
        return format.alignment ? QVariant(format.alignment.toInt()) : QVariant();
    case Qt::FontRole:
        return format.font ? QVariant(*format.font) : QVariant();
    case OptionsRole:
        return format.options ? QVariant(*format.options) : QVariant();
    case InputMaskRole:
        return format.inputMask ? QVariant(*format.inputMask) : QVariant();
    default:
        return {};
    }
}

bool CGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() ||
        !m_store.setText(index.row(), index.column(), value.toString()))
        return false;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    emit cellEdited(index.row(), index.column());
    return true;
}

Qt::ItemFlags CGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_store.effectiveFormat(index.row(), index.column()).editable.value_or(true))
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const bool columns = orientation == Qt::Horizontal;
    if (section < 0 || section >= (columns ? m_store.columnCount() : m_store.rowCount()))
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        if (columns)
            return m_store.headingText(section);
        const QString text = m_store.rowHeadingText(section);
        return text.isNull() ? QString::number(m_store.rowNumber(section)) : text;
    }
    case Qt::TextAlignmentRole:
        if (m_heading.alignment)
            return m_heading.alignment.toInt();
        return int(columns ? Qt::AlignCenter : (Qt::AlignRight | Qt::AlignVCenter));
    case Qt::FontRole:
        return m_heading.font ? QVariant(*m_heading.font) : QVariant();
    case Qt::ForegroundRole:
        return m_heading.textColor.isValid() ? QVariant(m_heading.textColor) : QVariant();
    case Qt::BackgroundRole:
        return m_heading.background.isValid() ? QVariant(m_heading.background) : QVariant();
    default:
        return {};
    }
}

void CGridModel::setRowCount(int rows)
{
    rows = std::clamp(rows, 0, CGridCellStore::MaxRows);
    const int old = m_store.rowCount();
    if (rows > old) {
        beginInsertRows({}, old, rows - 1);
        m_store.setRowCount(rows);
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows, old - 1);
        m_store.setRowCount(rows);
        endRemoveRows();
    }
}

void CGridModel::setColumnCount(int columns)
{
    columns = std::clamp(columns, 0, CGridCellStore::MaxColumns);
    const int old = m_store.columnCount();
    if (columns > old) {
        beginInsertColumns({}, old, columns - 1);
        m_store.setColumnCount(columns);
        endInsertColumns();
    } else if (columns < old) {
        beginRemoveColumns({}, columns, old - 1);
        m_store.setColumnCount(columns);
        endRemoveColumns();
    }
}

int CGridModel::appendRows(CGridRowBatch &&batch)
{
    const int first = m_store.rowCount();
    const int count = std::min(batch.rowCount(), CGridCellStore::MaxRows - first);
    if (count <= 0)
        return 0;
    beginInsertRows({}, first, first + count - 1);
    m_store.appendRows(std::move(batch));
    endInsertRows();
    return count;
}

void CGridModel::clear()
{
    beginResetModel();
    m_store.clear();
    endResetModel();
}

void CGridModel::clearCells()
{
    m_store.clearCells();
    allCellsChanged();
    if (m_store.rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, m_store.rowCount() - 1);
}

void CGridModel::setText(int row, int column, const QString &text)
{
    if (m_store.setText(row, column, text))
        emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole, Qt::EditRole});
}

void CGridModel::setCellFormat(int row, int column, const CGridCellFormat &format)
{
    if (m_store.setCellFormat(row, column, format))
        emit dataChanged(index(row, column), index(row, column));
}

void CGridModel::setDefaultFormat(const CGridCellFormat &format)
{
    m_store.setDefaultFormat(format);
    allCellsChanged();
}

void CGridModel::setHeadingFormat(const CGridCellFormat &format)
{
    m_heading = format;
    if (m_store.columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_store.columnCount() - 1);
    if (m_store.rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, m_store.rowCount() - 1);
}

void CGridModel::setHeadingText(int column, const QString &text)
{
    if (m_store.setHeadingText(column, text))
        emit headerDataChanged(Qt::Horizontal, column, column);
}

void CGridModel::setRowHeadingText(int row, const QString &text)
{
    if (m_store.setRowHeadingText(row, text))
        emit headerDataChanged(Qt::Vertical, row, row);
}

void CGridModel::reorderRows(const std::vector<int> &order)
{
    const std::size_t n = std::size_t(m_store.rowCount());
    if (order.size() != n || n < 2)
        return;
    std::vector<int> newPos(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        const int old = order[i];
        if (old < 0 || std::size_t(old) >= n || newPos[std::size_t(old)] != -1)
            return;
        newPos[std::size_t(old)] = int(i);
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before)
        after.append(index(newPos[std::size_t(i.row())], i.column()));
    m_store.permuteRows(order);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CGridModel::allCellsChanged()
{
    if (m_store.rowCount() > 0 && m_store.columnCount() > 0)
        emit dataChanged(index(0, 0), index(m_store.rowCount() - 1, m_store.columnCount() - 1));
}
