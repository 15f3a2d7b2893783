#include "grid/CGridCtrl.h"

#include "grid/CGridDelegate.h"
#include "grid/CGridModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>

CGridCtrl::CGridCtrl(QWidget *parent)
    : QTableView(parent), m_model(new CGridModel(this)), m_delegate(new CGridDelegate(this)),
      m_marks(CurrentMark::FocusRect | CurrentMark::HighlightRow)
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setWordWrap(false);

    QHeaderView *columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setHighlightSections(false);
    columns->setSortIndicatorShown(false);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    // A heading press only notifies; it neither selects the column nor moves the current cell.
    QObject::disconnect(columns, SIGNAL(sectionPressed(int)), this, nullptr);
    QObject::disconnect(columns, SIGNAL(sectionEntered(int)), this, nullptr);
    connect(columns, &QHeaderView::sectionPressed, this, &CGridCtrl::headingPressed);

    QHeaderView *rows = verticalHeader();
    rows->setHighlightSections(false);
    rows->setMinimumWidth(QFontMetrics(rows->font()).horizontalAdvance(QStringLiteral("9999")) + 8);
    connect(rows, &QHeaderView::sectionPressed, this, [this](int row) {
        if (!multipleSelection())
            setCurrentRow(row);
    });

    connect(m_model, &CGridModel::cellEdited, this, &CGridCtrl::cellEdited);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_lastRow != -1) {
            m_lastRow = -1;
            emit currentRowChanged(-1);
        }
    });
}

CGridCtrl::~CGridCtrl() = default;

const CGridCellStore &CGridCtrl::store() const
{
    return m_model->store();
}

int CGridCtrl::rowCount() const
{
    return store().rowCount();
}

int CGridCtrl::columnCount() const
{
    return store().columnCount();
}

void CGridCtrl::setRowCount(int rows)
{
    if (rows < rowCount())
        closeOpenEditor();
    m_model->setRowCount(rows);
}

void CGridCtrl::setColumnCount(int columns)
{
    if (columns < columnCount())
        closeOpenEditor();
    const SortArrow arrow = horizontalHeader()->isSortIndicatorShown()
                                ? sortArrow(horizontalHeader()->sortIndicatorSection())
                                : SortArrow::None;
    m_model->setColumnCount(columns);
    if (arrow != SortArrow::None && horizontalHeader()->sortIndicatorSection() >= columns)
        setSortArrow(-1, SortArrow::None);
}

int CGridCtrl::appendRows(CGridRowBatch &&batch)
{
    return m_model->appendRows(std::move(batch));
}

void CGridCtrl::clear()
{
    closeOpenEditor();
    m_model->clear();
    m_sizedRows.clear();
    setSortArrow(-1, SortArrow::None);
}

void CGridCtrl::clearCells()
{
    closeOpenEditor();
    m_model->clearCells();
    applyRowHeights();
}

QString CGridCtrl::text(int row, int column) const
{
    return store().text(row, column);
}

void CGridCtrl::setText(int row, int column, const QString &text)
{
    m_model->setText(row, column, text);
}

CGridCellFormat CGridCtrl::cellFormat(int row, int column) const
{
    return store().cellFormat(row, column);
}

void CGridCtrl::setCellFormat(int row, int column, const CGridCellFormat &format)
{
    m_model->setCellFormat(row, column, format);
}

void CGridCtrl::setTextColor(int row, int column, const QColor &color)
{
    CGridCellFormat format = cellFormat(row, column);
    format.textColor = color;
    setCellFormat(row, column, format);
}

void CGridCtrl::setBackground(int row, int column, const QColor &color)
{
    CGridCellFormat format = cellFormat(row, column);
    format.background = color;
    setCellFormat(row, column, format);
}

void CGridCtrl::setAlignment(int row, int column, Qt::Alignment alignment)
{
    CGridCellFormat format = cellFormat(row, column);
    format.alignment = alignment;
    setCellFormat(row, column, format);
}

void CGridCtrl::setCellFont(int row, int column, const QFont &font)
{
    CGridCellFormat format = cellFormat(row, column);
    format.font = font;
    setCellFormat(row, column, format);
}

void CGridCtrl::setEditable(int row, int column, bool editable)
{
    CGridCellFormat format = cellFormat(row, column);
    format.editable = editable;
    setCellFormat(row, column, format);
}

void CGridCtrl::setOptions(int row, int column, const QStringList &options)
{
    CGridCellFormat format = cellFormat(row, column);
    format.options = options;
    setCellFormat(row, column, format);
}

void CGridCtrl::setInputMask(int row, int column, const QString &mask)
{
    CGridCellFormat format = cellFormat(row, column);
    if (mask.isEmpty())
        format.inputMask.reset();
    else
        format.inputMask = mask;
    setCellFormat(row, column, format);
}

const CGridCellFormat &CGridCtrl::defaultCellFormat() const
{
    return store().defaultFormat();
}

void CGridCtrl::setDefaultCellFormat(const CGridCellFormat &format)
{
    m_model->setDefaultFormat(format);
}

void CGridCtrl::setDefaultFont(const QFont &font)
{
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setFont(font);
    verticalHeader()->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("9999")) + 8);
}

void CGridCtrl::setDefaultHeadingFormat(const CGridCellFormat &format)
{
    m_model->setHeadingFormat(format);
}

QString CGridCtrl::headingText(int column) const
{
    return store().headingText(column);
}

void CGridCtrl::setHeadingText(int column, const QString &text)
{
    m_model->setHeadingText(column, text);
}

void CGridCtrl::setRowNumbersTravel(bool on) { m_model->setRowNumbersTravel(on); }

void CGridCtrl::setRowHeadingText(int row, const QString &text)
{
    m_model->setRowHeadingText(row, text);
}

void CGridCtrl::setUniformRowHeight(int pixels)
{
    QHeaderView *rows = verticalHeader();
    m_uniformHeight = std::max(pixels, 0);
    if (m_uniformHeight > 0) {
        rows->setMinimumSectionSize(std::min(rows->minimumSectionSize(), m_uniformHeight));
        rows->setDefaultSectionSize(m_uniformHeight);
        rows->setSectionResizeMode(QHeaderView::Fixed);
        for (int row : std::as_const(m_sizedRows))
            if (row < rowCount())
                rows->resizeSection(row, m_uniformHeight);
        m_sizedRows.clear();
    } else {
        rows->setSectionResizeMode(QHeaderView::Interactive);
        applyRowHeights();
    }
}

void CGridCtrl::setRowHeight(int row, int pixels)
{
    if (pixels <= 0)
        return;
    if (m_uniformHeight > 0) {
        if (pixels != m_uniformHeight)
            setUniformRowHeight(pixels);
        return;
    }
    if (m_model->setRowHeight(row, pixels)) {
        verticalHeader()->resizeSection(row, pixels);
        m_sizedRows.append(row);
    }
}

void CGridCtrl::applyRowHeights()
{
    if (m_uniformHeight > 0)
        return;
    QHeaderView *rows = verticalHeader();
    const int standard = rows->defaultSectionSize();
    for (int row : std::as_const(m_sizedRows))
        if (row < rowCount())
            rows->resizeSection(row, standard);
    m_sizedRows.clear();
    const QHash<int, int> &heights = store().rowHeights();
    for (auto it = heights.cbegin(); it != heights.cend(); ++it) {
        rows->resizeSection(it.key(), it.value());
        m_sizedRows.append(it.key());
    }
}

void CGridCtrl::setCurrentMarks(CurrentMarks marks)
{
    m_marks = marks;
    viewport()->update();
}

void CGridCtrl::setMultipleSelection(bool on)
{
    if (on == multipleSelection())
        return;
    clearSelection();
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                        : QAbstractItemView::SingleSelection);
    viewport()->update();
}

bool CGridCtrl::multipleSelection() const
{
    return selectionMode() == QAbstractItemView::ExtendedSelection;
}

int CGridCtrl::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

int CGridCtrl::currentColumn() const
{
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

void CGridCtrl::setCurrentRow(int row)
{
    setCurrentCell(row, std::max(currentColumn(), 0));
}

void CGridCtrl::setCurrentCell(int row, int column)
{
    row = store().clampRow(row);
    if (row < 0 || columnCount() == 0)
        return;
    column = std::clamp(column, 0, columnCount() - 1);
    const QModelIndex index = m_model->index(row, column);
    selectionModel()->setCurrentIndex(index, multipleSelection()
                                                 ? QItemSelectionModel::NoUpdate
                                                 : QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void CGridCtrl::sortRows(int column, const CGridCellStore::CompareFn &compare, bool descending)
{
    commitEditor();
    applySortOrder(store().sortOrder(column, compare, descending));
}

void CGridCtrl::sortRowsByKey(int column, const CGridCellStore::KeyFn &key, bool descending)
{
    commitEditor();
    applySortOrder(store().sortOrderByKey(column, key, descending));
}

void CGridCtrl::applySortOrder(const std::vector<int> &order)
{
    clearSelection();
    m_model->reorderRows(order);
    applyRowHeights();
    const int row = currentRow();
    if (row != m_lastRow) {
        m_lastRow = row;
        emit currentRowChanged(row);
    }
    viewport()->update();
}

void CGridCtrl::setSortArrow(int column, SortArrow arrow)
{
    QHeaderView *columns = horizontalHeader();
    if (arrow == SortArrow::None) {
        if (column < 0 || column == columns->sortIndicatorSection())
            columns->setSortIndicatorShown(false);
        return;
    }
    if (column < 0 || column >= columnCount())
        return;
    // The heading draws Qt's descending indicator as an upward arrow: an ascending sort shows it.
    columns->setSortIndicator(column, arrow == SortArrow::Ascending ? Qt::DescendingOrder
                                                                    : Qt::AscendingOrder);
    columns->setSortIndicatorShown(true);
}

CGridCtrl::SortArrow CGridCtrl::sortArrow(int column) const
{
    const QHeaderView *columns = horizontalHeader();
    if (!columns->isSortIndicatorShown() || columns->sortIndicatorSection() != column)
        return SortArrow::None;
    return columns->sortIndicatorOrder() == Qt::DescendingOrder ? SortArrow::Ascending
                                                                : SortArrow::Descending;
}

bool CGridCtrl::editCurrentCell()
{
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !(m_model->flags(index) & Qt::ItemIsEditable))
        return false;
    scrollTo(index);
    return edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

void CGridCtrl::commitEditor()
{
    QWidget *editor = m_delegate->openEditor();
    if (!editor || state() != QAbstractItemView::EditingState)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CGridCtrl::closeOpenEditor()
{
    QWidget *editor = m_delegate->openEditor();
    if (editor && state() == QAbstractItemView::EditingState)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

int CGridCtrl::textWidth(const QString &text, const QFont &font)
{
    return QFontMetrics(font).horizontalAdvance(text);
}

int CGridCtrl::textWidth(const QString &text) const
{
    return textWidth(text, defaultCellFormat().font.value_or(font()));
}

void CGridCtrl::recomputeLayout()
{
    updateGeometries();
    viewport()->update();
}

void CGridCtrl::keyPressEvent(QKeyEvent *event)
{
    bool consumed = false;
    emit keyPressed(event->key(), event->modifiers(), &consumed);
    if (consumed) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (index.isValid())
        emit cellDoubleClicked(index.row(), index.column());
}

void CGridCtrl::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (previous.isValid())
        updateRow(previous.row());
    if (current.isValid() && (!previous.isValid() || previous.row() != current.row()))
        updateRow(current.row());
    const int row = current.isValid() ? current.row() : -1;
    if (row != m_lastRow) {
        m_lastRow = row;
        emit currentRowChanged(row);
    }
}

void CGridCtrl::updateRow(int row)
{
    const int top = rowViewportPosition(row);
    if (top >= -rowHeight(row) && top < viewport()->height())
        viewport()->update(QRect(0, top, viewport()->width(), rowHeight(row)));
}
