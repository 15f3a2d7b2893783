#include "execution/CDBGridCtrl.h"

#include "db/statement.h"
#include "execution/CColumnCompare.h"
#include "settings/Options.h"
#include "ui/CPrompt.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

constexpr int kDbmsColumnWidth = 1000; // pixels of the DBMS_OUTPUT column
constexpr int kColumnPadding = 30;     // pixels added to a measured column width
const QColor kNullBackground(255, 255, 0);

QColor fromColorRef(quint32 c)
{
    return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

} // namespace

CDBGridCtrl::CDBGridCtrl(QWidget *parent) : CGridCtrl(parent)
{
    // Tahoma 8 points; the font database substitutes a near font where Tahoma is absent.
    m_cellFont = QFont(QStringLiteral("Tahoma"));
    m_cellFont.setPointSize(8);
    m_cellFont.setWeight(QFont::Normal);
    m_run.setVariableSource(&m_variableSource);
    setUp();
    setRowNumbersTravel(true); // a row keeps its fetch number through sorts
    connect(this, &CGridCtrl::headingPressed, this, &CDBGridCtrl::sortByColumn);
    connect(this, &CGridCtrl::keyPressed, this, &CDBGridCtrl::onKeyPressed, Qt::DirectConnection);
    connect(this, &CGridCtrl::cellDoubleClicked, this, [this](int, int) { editCurrentCell(); });
}

CDBGridCtrl::~CDBGridCtrl() = default;

void CDBGridCtrl::setUp()
{
    db::set_rows_per_fetch(static_cast<oci::ub2>(options::clamped(options::ReadBufferSize)));
    setDefaultFont(options::FontGrid.font());
    setCurrentMarks(CurrentMark::FocusRect | CurrentMark::HighlightCell |
                    CurrentMark::HighlightRow);
    setUniformRowHeight(options::clamped(options::GridHeight));
    setDefaultCellFormat(dataCellFormat());
    m_sortColumn = 0;
    m_sortAscending = false;
}

CGridCellFormat CDBGridCtrl::dataCellFormat() const
{
    CGridCellFormat f;
    f.font = m_cellFont;
    f.textColor = fromColorRef(options::FontGrid.color());
    f.background = Qt::white;
    f.alignment = Qt::AlignHCenter | Qt::AlignTop;
    f.editable = true;
    return f;
}

void CDBGridCtrl::showMessages(const QStringList &messages)
{
    for (const QString &m : messages)
        CPrompt::error(this, m);
}

bool CDBGridCtrl::connectDatabase()
{
    const CRunReport r = m_run.open(m_connection);
    showMessages(r.messages);
    return r.ok;
}

bool CDBGridCtrl::openQuery()
{
    m_run.closeQuery();
    clear();
    return present(m_run.execute());
}

bool CDBGridCtrl::refresh()
{
    m_run.closeQuery();
    clear();
    return present(m_run.refresh());
}

bool CDBGridCtrl::present(const CRunExecution &execution)
{
    showMessages(execution.messages);
    if (execution.outcome == CRunExecution::Outcome::Query)
        setUpColumns();
    else if (execution.outcome == CRunExecution::Outcome::Statement && execution.outputRead)
        showDbmsOutput(execution.output);
    return execution.ok();
}

qint64 CDBGridCtrl::countRows()
{
    const CRunCount count = m_run.count();
    showMessages(count.messages);
    return count.ok ? count.rows : -1;
}

void CDBGridCtrl::resetGrid()
{
    m_run.close();
    clear();
    setColumnCount(0);
    setRowCount(0);
}

void CDBGridCtrl::setUpColumns()
{
    setCurrentMarks(CurrentMark::FocusRect | CurrentMark::HighlightCell |
                    CurrentMark::HighlightRow);
    setMultipleSelection(false);
    setDefaultFont(options::FontGrid.font());
    setDefaultCellFormat(dataCellFormat());
    const std::vector<CDBColumn> &columns = m_run.columns();
    const QFontMetrics metrics(m_cellFont);
    m_widths.clear();
    setColumnCount(int(columns.size()));
    for (int i = 0; i < int(columns.size()); ++i) {
        setHeadingText(i, columns[std::size_t(i)].name);
        m_widths.push_back(metrics.horizontalAdvance(columns[std::size_t(i)].name));
    }
    // Widths of the data are the first batch's; they are fixed once this returns.
    fetchBlock(!options::SizeToHeader);
    const int maxWidth = options::clamped(options::MaxColWidth);
    for (int i = 0; i < int(m_widths.size()); ++i)
        setColumnWidth(i, std::min(m_widths[std::size_t(i)], maxWidth) + kColumnPadding);
    recomputeLayout();
}

void CDBGridCtrl::place(const CRowBatch &rows, bool measure)
{
    const int columnCount = rows.columnCount();
    if (!rows.isEmpty()) {
        const QFontMetrics metrics(m_cellFont);
        CGridCellFormat nullCell;
        nullCell.background = kNullBackground;
        CGridRowBatch batch;
        batch.reserve(rows.rowCount());
        std::vector<QStringView> views(static_cast<std::size_t>(columnCount));
        measure = measure && m_widths.size() == views.size();
        for (int r = 0; r < rows.rowCount(); ++r) {
            for (int i = 0; i < columnCount; ++i) {
                const QStringView text = rows.text(r, i);
                views[std::size_t(i)] = text;
                if (measure && !text.isEmpty())
                    m_widths[std::size_t(i)] = std::max(m_widths[std::size_t(i)],
                                                        metrics.horizontalAdvance(text.toString()));
            }
            batch.addRow(std::span<const QStringView>(views));
            for (int i = 0; i < columnCount; ++i)
                if (views[std::size_t(i)].isEmpty())
                    batch.setCellFormat(i, nullCell);
        }
        appendRows(std::move(batch));
    }
    showMessages(rows.messages);
}

void CDBGridCtrl::fetchBlock(bool measure) { place(m_run.fetchNext(), measure); }

void CDBGridCtrl::fetchAll()
{
    m_run.fetchAll([this](CRowBatch &&rows) {
        place(rows, false);
        return true;
    });
}

void CDBGridCtrl::showDbmsOutput(const QStringList &lines)
{
    clear();
    setCurrentMarks(CurrentMark::FocusRect);
    setMultipleSelection(true);
    setDefaultFont(options::FontDBMSOutput.font());
    CGridCellFormat f;
    f.font = options::FontDBMSOutput.font();
    f.textColor = fromColorRef(options::FontDBMSOutput.color());
    f.background = Qt::white;
    f.alignment = Qt::AlignLeft | Qt::AlignTop;
    f.editable = true;
    setDefaultCellFormat(f);
    setColumnCount(1);
    setHeadingText(0, QString());
    setColumnWidth(0, kDbmsColumnWidth);
    CGridRowBatch batch;
    batch.reserve(int(lines.size()));
    for (const QString &line : lines)
        batch.addRow(QStringList{line});
    appendRows(std::move(batch));
    viewport()->update();
}

void CDBGridCtrl::sortByColumn(int column)
{
    const std::vector<CDBColumn> &columns = m_run.columns();
    if (column < 0 || column >= int(columns.size()) || column >= columnCount())
        return;
    setSortArrow(m_sortColumn, SortArrow::None);
    if (column == m_sortColumn) {
        m_sortAscending = !m_sortAscending;
    } else {
        m_sortColumn = column;
        m_sortAscending = true;
    }
    CColumnCompare compare(columns[std::size_t(column)].kind);
    if (compare.ordersByKey())
        sortRowsByKey(
            column, [&compare](QStringView text) { return compare.key(text); }, !m_sortAscending);
    else
        sortRows(column, compare, !m_sortAscending);
    setSortArrow(column, m_sortAscending ? SortArrow::Ascending : SortArrow::Descending);
    viewport()->update();
}

void CDBGridCtrl::onKeyPressed(int key, Qt::KeyboardModifiers, bool *)
{
    if (key != Qt::Key_Down || m_run.endOfData() || !m_run.hasRows())
        return;
    if (rowCount() > 0 && currentRow() == rowCount() - 1) {
        fetchBlock(false);
        emit rowsFetched(m_run.fetchedRows());
    }
}
